#pragma once

#include <QObject>

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface thread, so that a
// terminated program runs the same shutdown as a closed one: settings stored, word bank saved.
// SIGXFSZ is ignored, so a write past the file-size limit fails like any other write.
// Does nothing on platforms without POSIX signals.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested();
};
