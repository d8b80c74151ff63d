#include "SystemFolders_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace Win32Shell {

namespace {

std::wstring fromBuffer(const wchar_t *buffer, UINT reported, UINT capacity)
{
    // 0 is failure; a length of at least the capacity means the buffer was too small.
    if (reported == 0 || reported >= capacity)
        return {};
    return std::wstring(buffer, reported);
}

std::wstring specialFolder(int csidl)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    std::wstring path;
    if (SHGetPathFromIDListW(list, buffer))
        path = buffer;
    CoTaskMemFree(list);
    return path;
}

// COM for the duration of one operation; the GUI thread usually has it already.
class ComScope
{
public:
    ComScope() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    HRESULT m_hr;
};

template <typename T>
void release(T *&p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

void loadSystemFolders(FolderStrings &out)
{
    wchar_t buffer[MAX_PATH + 1];

    buffer[0] = L'\0';
    out.WindowsDir = fromBuffer(buffer, GetWindowsDirectoryW(buffer, MAX_PATH), MAX_PATH);
    buffer[0] = L'\0';
    out.SystemDir = fromBuffer(buffer, GetSystemDirectoryW(buffer, MAX_PATH), MAX_PATH);
    buffer[0] = L'\0';
    out.TempDir = fromBuffer(buffer, GetTempPathW(MAX_PATH, buffer), MAX_PATH);
    if (!out.TempDir.empty() && out.TempDir.back() == L'\\')
        out.TempDir.pop_back();

    out.DesktopDir = specialFolder(CSIDL_DESKTOP);
    out.SendToDir = specialFolder(CSIDL_SENDTO);
    out.PersonalDir = specialFolder(CSIDL_PERSONAL);
    out.ProgramsDir = specialFolder(CSIDL_PROGRAMS);
    out.StartupDir = specialFolder(CSIDL_STARTUP);
    out.StartMenuDir = specialFolder(CSIDL_STARTMENU);
    out.FavoritesDir = specialFolder(CSIDL_FAVORITES);
    out.RecentDir = specialFolder(CSIDL_RECENT);
    out.NetHoodDir = specialFolder(CSIDL_NETHOOD);
    out.FontsDir = specialFolder(CSIDL_FONTS);
    out.CookiesDir = specialFolder(CSIDL_COOKIES);
    out.HistoryDir = specialFolder(CSIDL_HISTORY);
    out.InternetCacheDir = specialFolder(CSIDL_INTERNET_CACHE);
    out.TemplatesDir = specialFolder(CSIDL_TEMPLATES);
    out.AppDataDir = specialFolder(CSIDL_APPDATA);
    out.PrintHoodDir = specialFolder(CSIDL_PRINTHOOD);
}

bool writeShortcut(const std::wstring &linkPath, const std::wstring &target,
                   const std::wstring &description, const std::wstring &workingFolder)
{
    if (GetFileAttributesW(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(linkPath.c_str());

    ComScope com;
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&link))) || !link)
        return false;
    // Each field on its own: one that is refused does not keep the others from being written.
    link->SetPath(target.c_str());
    link->SetDescription(description.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());

    bool saved = false;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) && file)
        saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
    release(file);
    release(link);
    return saved;
}

bool readShortcut(const std::wstring &linkPath, std::wstring &target, std::wstring &description,
                  std::wstring &workingFolder)
{
    ComScope com;
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&link))) || !link)
        return false;
    bool loaded = false;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) && file
        && SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ))) {
        loaded = true;
        wchar_t buffer[INFOTIPSIZE + 1] = {};
        target.clear();
        description.clear();
        workingFolder.clear();
        if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = buffer;
        buffer[0] = L'\0';
        if (SUCCEEDED(link->GetDescription(buffer, INFOTIPSIZE)))
            description = buffer;
        buffer[0] = L'\0';
        if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)))
            workingFolder = buffer;
    }
    release(file);
    release(link);
    return loaded;
}

} // namespace Win32Shell
