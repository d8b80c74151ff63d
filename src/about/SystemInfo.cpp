#include "SystemInfo.h"

#include "shell/Launcher.h"

#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "Registry_win.h"
#endif

namespace SystemInfo {

QList<Tool> candidateTools()
{
    return {
        {QStringLiteral("hardinfo2"), {}},
        {QStringLiteral("hardinfo"), {}},
        {QStringLiteral("kinfocenter"), {}},
        {QStringLiteral("xfce4-about"), {}},
        {QStringLiteral("gnome-control-center"), {QStringLiteral("info-overview")}},
        {QStringLiteral("lshw-gtk"), {}},
    };
}

bool start(Launcher &launcher)
{
#ifdef Q_OS_WIN
    std::wstring command;
    if (!Win32Registry::findSysInfoCommand(command) || command.empty())
        return false;
    return launcher.startProgram(QString::fromStdWString(command), {});
#else
    const QList<Tool> tools = candidateTools();
    for (const Tool &tool : tools) {
        const QString path = QStandardPaths::findExecutable(tool.program);
        if (!path.isEmpty())
            return launcher.startProgram(path, tool.arguments);
    }
    return false;
#endif
}

QString unavailableMessage()
{
    return QStringLiteral("此时系统信息不可用");
}

} // namespace SystemInfo
