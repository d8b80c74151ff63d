#include "TerminationSignals.h"

// Without POSIX signals there is nothing to catch; the end of the desktop session reaches the
// program through Qt's session manager instead (see main.cpp).
TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
