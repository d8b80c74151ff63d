#include "SystemFolders.h"

#include "SystemFolders_win.h"

namespace Module1 {

void LoadSystemFolders()
{
    Win32Shell::FolderStrings w;
    Win32Shell::loadSystemFolders(w);
    SystemFolders &f = systemFolders();
    auto q = [](const std::wstring &s) { return QString::fromStdWString(s); };
    f.WindowsDir = q(w.WindowsDir);
    f.SystemDir = q(w.SystemDir);
    f.TempDir = q(w.TempDir);
    f.DesktopDir = q(w.DesktopDir);
    f.SendToDir = q(w.SendToDir);
    f.PersonalDir = q(w.PersonalDir);
    f.ProgramsDir = q(w.ProgramsDir);
    f.StartupDir = q(w.StartupDir);
    f.StartMenuDir = q(w.StartMenuDir);
    f.FavoritesDir = q(w.FavoritesDir);
    f.RecentDir = q(w.RecentDir);
    f.NetHoodDir = q(w.NetHoodDir);
    f.FontsDir = q(w.FontsDir);
    f.CookiesDir = q(w.CookiesDir);
    f.HistoryDir = q(w.HistoryDir);
    f.InternetCacheDir = q(w.InternetCacheDir);
    f.TemplatesDir = q(w.TemplatesDir);
    f.AppDataDir = q(w.AppDataDir);
    f.PrintHoodDir = q(w.PrintHoodDir);
}

} // namespace Module1
