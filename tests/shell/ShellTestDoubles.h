#pragma once

// Recording stand-ins for the launcher and the dialogs, for the shell and About tests.

#include "shell/Dialogs.h"
#include "shell/Launcher.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>

class RecordingLauncher : public Launcher
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

class RecordingDialogs : public Dialogs
{
public:
    void message(QWidget *, Icon icon, const QString &text) override
    {
        messages.append(text);
        icons.append(icon);
    }
    bool question(QWidget *, const QString &text) override
    {
        messages.append(text);
        return true;
    }
    QString openFileName(QWidget *, const FileRequest &) override { return {}; }
    QString saveFileName(QWidget *, const FileRequest &) override { return {}; }

    QStringList messages;
    QList<Icon> icons;
};
