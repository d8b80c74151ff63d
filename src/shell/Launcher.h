#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Everything the program hands to the desktop: web pages, mail, other programs. Production opens
// them with the user's default handlers and never builds a shell command line from text; tests
// record the requests.
class Launcher
{
public:
    virtual ~Launcher() = default;
    // Opens an address (http, https, mailto) with the user's default handler.
    virtual bool openUrl(const QUrl &url) = 0;
    // Starts a program with arguments, detached, without a shell.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
};
