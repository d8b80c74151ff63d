#pragma once

// The Windows side of the system folders and the Start-menu shortcut: plain Win32, no Qt in the
// interface, so that it builds with any Windows compiler and its tests run under wine.

#include <string>

namespace Win32Shell {

struct FolderStrings
{
    std::wstring WindowsDir;
    std::wstring SystemDir;
    std::wstring TempDir; // without its trailing backslash
    std::wstring DesktopDir;
    std::wstring SendToDir;
    std::wstring PersonalDir;
    std::wstring ProgramsDir;
    std::wstring StartupDir;
    std::wstring StartMenuDir;
    std::wstring FavoritesDir;
    std::wstring RecentDir;
    std::wstring NetHoodDir;
    std::wstring FontsDir;
    std::wstring CookiesDir;
    std::wstring HistoryDir;
    std::wstring InternetCacheDir;
    std::wstring TemplatesDir;
    std::wstring AppDataDir;
    std::wstring PrintHoodDir;
};

// Fills every string in table order. A folder the system has no path for is left empty (rather
// than inheriting the previous query's answer).
void loadSystemFolders(FolderStrings &out);

// Deletes any file at linkPath, then writes a shell link there pointing at target, with the
// description and the working folder. Every failing step is skipped; true when the file was saved.
bool writeShortcut(const std::wstring &linkPath, const std::wstring &target,
                   const std::wstring &description, const std::wstring &workingFolder);

// Reads a shell link back (used by the tests). False when it cannot be loaded.
bool readShortcut(const std::wstring &linkPath, std::wstring &target, std::wstring &description,
                  std::wstring &workingFolder);

} // namespace Win32Shell
