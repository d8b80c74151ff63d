#pragma once

#include <QHash>
#include <QString>

namespace Module1 {

// The well-known folders, looked up once at start-up. Only ProgramsDir is read elsewhere; the rest
// are kept for whatever needs them later. On freedesktop systems each holds its XDG equivalent and
// stays empty where the desktop has none (SendTo, Favorites, network and printer links ...).
struct SystemFolders
{
    QString WindowsDir;
    QString SystemDir;
    QString TempDir;          // never ends in a separator
    QString DesktopDir;
    QString SendToDir;
    QString PersonalDir;
    QString ProgramsDir;      // where the program's Start-menu folder goes
    QString StartupDir;
    QString StartMenuDir;
    QString FavoritesDir;
    QString RecentDir;
    QString NetHoodDir;
    QString FontsDir;
    QString CookiesDir;
    QString HistoryDir;
    QString InternetCacheDir;
    QString TemplatesDir;
    QString AppDataDir;
    QString PrintHoodDir;
};

// The folder strings of this run (empty until LoadSystemFolders has run).
SystemFolders &systemFolders();

// Fills systemFolders() from the system. Never fails; a folder the system does not know stays empty.
void LoadSystemFolders();

// Where the freedesktop folders come from. fromProcess() reads the XDG variables of the running
// program with their documented defaults; tests build one around a temporary home.
struct XdgEnvironment
{
    QString home;
    QString dataHome;   // $XDG_DATA_HOME, default ~/.local/share
    QString configHome; // $XDG_CONFIG_HOME, default ~/.config
    QString cacheHome;  // $XDG_CACHE_HOME, default ~/.cache
    QString tempDir;    // $TMPDIR, default /tmp

    static XdgEnvironment fromProcess();
};

// The folders as a freedesktop system names them, read from the user-dirs.dirs file under
// configHome for the user's own folders.
SystemFolders xdgSystemFolders(const XdgEnvironment &env);

// Reads the XDG user-dirs file (lines such as XDG_DESKTOP_DIR="$HOME/Desktop"). Keys are the
// names without "XDG_" and "_DIR" (DESKTOP, DOCUMENTS, TEMPLATES ...); values are absolute paths.
// A folder set to the home folder itself means "none" and is left out.
QHash<QString, QString> parseUserDirs(const QString &text, const QString &home);

} // namespace Module1
