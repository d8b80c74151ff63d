#pragma once

#include "Launcher.h"

// Opens addresses with the user's default browser or mail program and starts programs detached.
class DesktopLauncher : public Launcher
{
public:
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
};
