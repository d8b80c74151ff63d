#include "DesktopLauncher.h"

#include <QDesktopServices>
#include <QProcess>

bool DesktopLauncher::openUrl(const QUrl &url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool DesktopLauncher::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}
