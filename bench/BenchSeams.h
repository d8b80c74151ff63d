#pragma once

#include "shell/Dialogs.h"
#include "shell/Launcher.h"

// Dialogs that answer at once and a launcher that opens nothing, for benchmarks that drive the
// windows.
class BenchDialogs : public Dialogs
{
public:
    void message(QWidget *, Icon, const QString &) override {}
    QString openFileName(QWidget *, const FileRequest &) override { return answer; }
    QString saveFileName(QWidget *, const FileRequest &) override { return answer; }
    QString answer;
};

class BenchLauncher : public Launcher
{
public:
    bool openUrl(const QUrl &) override { return true; }
    bool startProgram(const QString &, const QStringList &) override { return true; }
};
