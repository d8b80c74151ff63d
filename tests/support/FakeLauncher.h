#pragma once

#include "shell/Launcher.h"

#include <QList>
#include <QPair>

// Launcher for tests: records the requests, starts nothing.
class FakeLauncher : public Launcher
{
public:
    bool openUrl(const QUrl &url) override
    {
        urls.append(url);
        return succeed;
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        programs.append({program, arguments});
        return succeed;
    }

    QList<QUrl> urls;
    QList<QPair<QString, QStringList>> programs;
    bool succeed = true;
};
