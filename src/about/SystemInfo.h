#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Launcher;

namespace SystemInfo {

// A system-information tool a freedesktop system may have, with the arguments that open its
// overview.
struct Tool
{
    QString program;
    QStringList arguments;
};

// The tools tried, in order; the first one found on PATH is started.
QList<Tool> candidateTools();

// Starts the system-information tool through the launcher: on Windows the one the registry names,
// elsewhere the first candidate found on PATH. False when there is none or it would not start.
bool start(Launcher &launcher);

// The text shown when start() fails.
QString unavailableMessage();

} // namespace SystemInfo
