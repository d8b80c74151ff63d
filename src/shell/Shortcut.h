#pragma once

#include <QString>

namespace Module1 {

// Writes the program's Start-menu entry named `name` into `folder`, replacing an older one: a
// shell link (name + ".lnk") on Windows, a desktop entry (name + ".desktop") with its icon beside
// it elsewhere. Appends the separator to `folder` when it lacks one. An empty folder (the folder
// could not be made) writes nothing. Failures are swallowed.
void MakeShortcut(const QString &name, const QString &description, const QString &target,
                  QString &folder);

} // namespace Module1

// The platform's own entry file, written into `folder` (ending in a separator), replacing an older
// one. One implementation per platform, chosen by CMake: Shortcut_win.cpp (a shell link),
// Shortcut_xdg.cpp (a desktop entry with its icon beside it).
namespace StartMenuEntry {
void write(const QString &folder, const QString &name, const QString &description, const QString &target);
} // namespace StartMenuEntry

// The freedesktop Desktop Entry format, as far as the program's entry needs it.
namespace DesktopEntry {

struct Fields
{
    QString name;
    QString comment;
    QString program; // absolute path of the executable
    QString path;    // working folder
    QString icon;    // absolute path of the icon file
    QString wmClass;
};

// A value of type string: backslash, newline, tab and CR escaped, a leading space kept as "\s".
QString escapeValue(const QString &value);

// One argument of an Exec line: always double-quoted, with ", `, $ and \ escaped inside the quotes
// and % doubled, then escaped as a string value. Whatever the path holds, it stays one argument
// and nothing in it is expanded.
QString execArgument(const QString &argument);

// The whole file, UTF-8.
QByteArray compose(const Fields &fields);

// True when a launcher may refuse the path as an Exec program: the format forbids "=" in it and
// GLib refuses any "%" in it, even doubled.
bool unfitAsExecProgram(const QString &program);

} // namespace DesktopEntry
