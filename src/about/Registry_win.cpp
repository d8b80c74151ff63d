#include "Registry_win.h"

#include "RegistryValue.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace Win32Registry {

namespace {
// Reading one value needs nothing more; asking for write access too would be refused to a
// standard user under HKEY_LOCAL_MACHINE.
constexpr REGSAM kAccess = KEY_QUERY_VALUE;
constexpr DWORD kBufferSize = 1024;

HKEY rootKey(Root root)
{
    switch (root) {
    case Root::CurrentUser:
        return HKEY_CURRENT_USER;
    case Root::LocalMachine:
        break;
    }
    return HKEY_LOCAL_MACHINE;
}

bool fileExists(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

bool GetKeyValue(Root root, const std::wstring &keyName, const std::wstring &valueName,
                 std::wstring &keyVal)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootKey(root), keyName.c_str(), 0, kAccess, &key) != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    unsigned char buffer[kBufferSize] = {};
    DWORD size = kBufferSize;
    DWORD type = 0;
    bool ok = false;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, buffer, &size) == ERROR_SUCCESS) {
        std::u16string text(keyVal.begin(), keyVal.end());
        RegistryValue::decode(type, buffer, size, text);
        keyVal.assign(text.begin(), text.end());
        ok = true;
    } else {
        keyVal.clear();
    }
    RegCloseKey(key);
    return ok;
}

bool findSysInfoCommand(std::wstring &command)
{
    std::wstring value;
    if (GetKeyValue(kLocalMachine, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value)) {
        // Used as it stands: a tool that is gone shows up when it fails to start.
        command = value;
        return true;
    }
    if (GetKeyValue(kLocalMachine, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", value)) {
        const std::wstring path = value + L"\\MSINFO32.EXE";
        if (fileExists(path)) {
            command = path;
            return true;
        }
    }
    command.clear();
    return false;
}

} // namespace Win32Registry
