#include "Shortcut.h"

#include "SystemFolders_win.h"

#include <QDir>

namespace StartMenuEntry {

void write(const QString &folder, const QString &name, const QString &description, const QString &target)
{
    Win32Shell::writeShortcut(QString(folder + name + QStringLiteral(".lnk")).toStdWString(),
                              QDir::toNativeSeparators(target).toStdWString(),
                              description.toStdWString(), folder.toStdWString());
}

} // namespace StartMenuEntry
