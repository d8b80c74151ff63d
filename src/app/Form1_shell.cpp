// The main window's shell integration: the Start-menu entry, the web links and the About window.
#include "Form1.h"

void Form1::makeStartMenuEntry() {}

void Form1::connectShellSignals() {}
