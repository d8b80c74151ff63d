// The Win32 layer, cross-compiled and run under wine: the system folders, the shell link and the
// registry reader behind the system-information button. Plain C++: no Qt on this side.
//
// The values the registry tests read are put there by run_win32_tests.sh with `reg add` under
// HKLM\Software\TanvicQuorvelTest before this program runs.

#include "about/Registry_win.h"
#include "about/RegistryValue.h"
#include "shell/SystemFolders_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cwctype>
#include <string>

namespace {

int g_failures = 0;
int g_checks = 0;

std::string narrow(const std::wstring &s)
{
    if (s.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void check(bool ok, const char *what, int line)
{
    ++g_checks;
    if (!ok) {
        ++g_failures;
        std::printf("FAIL line %d: %s\n", line, what);
    }
}

void checkEqual(const std::wstring &actual, const std::wstring &expected, const char *what, int line)
{
    ++g_checks;
    if (actual != expected) {
        ++g_failures;
        std::printf("FAIL line %d: %s\n   actual:   \"%s\"\n   expected: \"%s\"\n", line, what,
                    narrow(actual).c_str(), narrow(expected).c_str());
    }
}

#define CHECK(x) check((x), #x, __LINE__)
#define CHECK_EQ(a, b) checkEqual((a), (b), #a " == " #b, __LINE__)

std::wstring lower(std::wstring s)
{
    for (auto &c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool endsWith(const std::wstring &s, const std::wstring &tail)
{
    return s.size() >= tail.size() && lower(s.substr(s.size() - tail.size())) == lower(tail);
}

const wchar_t kTestKey[] = L"Software\\TanvicQuorvelTest";
const wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";

void setString(const wchar_t *key, const wchar_t *name, const std::wstring &value, bool withNul = true)
{
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    const DWORD bytes = static_cast<DWORD>((value.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()), bytes);
    RegCloseKey(k);
}

bool writeEmptyFile(const std::wstring &path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

int countFiles(const std::wstring &pattern)
{
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        ++n;
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return n;
}

void systemFolders()
{
    Win32Shell::FolderStrings f;
    Win32Shell::loadSystemFolders(f);
    CHECK(endsWith(f.WindowsDir, L":\\windows"));
    CHECK(endsWith(f.SystemDir, L"\\system32"));
    CHECK(!f.TempDir.empty());
    CHECK(f.TempDir.back() != L'\\');
    CHECK(GetFileAttributesW(f.TempDir.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    CHECK(endsWith(f.ProgramsDir, L"\\Start Menu\\Programs"));
    CHECK(endsWith(f.StartMenuDir, L"\\Start Menu"));
    CHECK(endsWith(f.StartupDir, L"\\Programs\\Startup"));
    CHECK(!f.DesktopDir.empty() && !f.PersonalDir.empty() && !f.AppDataDir.empty());
    CHECK(!f.FontsDir.empty() && !f.TemplatesDir.empty() && !f.SendToDir.empty());
    // Each folder is its own: no string inherits the one queried before it.
    CHECK(f.SendToDir != f.DesktopDir && f.StartupDir != f.ProgramsDir && f.NetHoodDir != f.RecentDir);
    for (const std::wstring *s : {&f.DesktopDir, &f.ProgramsDir, &f.AppDataDir, &f.FontsDir})
        CHECK(s->empty() || s->back() != L'\\');
}

void shortcut(const std::wstring &temp)
{
    const std::wstring folder = temp + L"\\quorvel 测试\\Tanvic软件\\";
    CreateDirectoryW((temp + L"\\quorvel 测试").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    // Wine's shell links keep the target as an item list of ANSI names, so this folder name stays
    // ASCII; Chinese is covered by the link's own folder and its description.
    const std::wstring programFolder = temp + L"\\program folder";
    CreateDirectoryW(programFolder.c_str(), nullptr);
    const std::wstring target = programFolder + L"\\TanvicQuorvel.exe";
    CHECK(writeEmptyFile(target));
    const std::wstring link = folder + L"TanvicQuorvel.lnk";
    const std::wstring description = L"学习各种语言或者速记各种词汇的最佳工具！";

    CHECK(Win32Shell::writeShortcut(link, target, L"older description", folder));
    CHECK(Win32Shell::writeShortcut(link, target, description, folder));
    CHECK(countFiles(folder + L"*.lnk") == 1);

    std::wstring readTarget, readDescription, readFolder;
    CHECK(Win32Shell::readShortcut(link, readTarget, readDescription, readFolder));
    CHECK_EQ(lower(readTarget), lower(target));
    CHECK_EQ(readDescription, description);
    CHECK_EQ(readFolder, folder);

    // A folder that is not there: nothing is written and nothing breaks.
    CHECK(!Win32Shell::writeShortcut(temp + L"\\no such folder\\x.lnk", target, description, folder));
}

void getKeyValue()
{
    using Win32Registry::GetKeyValue;
    using Win32Registry::kLocalMachine;
    std::wstring v = L"stale";

    CHECK(GetKeyValue(kLocalMachine, kTestKey, L"Sz", v));
    CHECK_EQ(v, L"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");

    setString(kTestKey, L"SzNoNul", L"no terminator", false);
    CHECK(GetKeyValue(kLocalMachine, kTestKey, L"SzNoNul", v));
    CHECK_EQ(v, L"no terminator");

    CHECK(GetKeyValue(kLocalMachine, kTestKey, L"Chinese", v));
    CHECK_EQ(v, L"系统信息");

    CHECK(GetKeyValue(kLocalMachine, kTestKey, L"Dword", v));
    CHECK_EQ(v, L"&h00001A2B");

    // Another type: the result is true and the text stays as it was.
    v = L"kept";
    CHECK(GetKeyValue(kLocalMachine, kTestKey, L"Expand", v));
    CHECK_EQ(v, L"kept");

    v = L"stale";
    CHECK(!GetKeyValue(kLocalMachine, kTestKey, L"NoSuchValue", v));
    CHECK_EQ(v, L"");
    v = L"stale";
    CHECK(!GetKeyValue(kLocalMachine, L"Software\\TanvicQuorvelNoSuchKey", L"Sz", v));
    CHECK_EQ(v, L"");
    // Longer than the 1024-byte buffer: not read.
    v = L"stale";
    setString(kTestKey, L"Long", std::wstring(600, L'x'));
    CHECK(!GetKeyValue(kLocalMachine, kTestKey, L"Long", v));
    CHECK_EQ(v, L"");
}

// A key that grants everyone the reading of its values and nothing else, as HKEY_LOCAL_MACHINE
// does for a standard user: the reader must still get the value.
void getKeyValueReadOnlyKey()
{
    const wchar_t key[] = L"Software\\TanvicQuorvelTest\\ReadOnly";
    setString(key, L"Sz", L"readable");
    PSECURITY_DESCRIPTOR sd = nullptr;
    // Protected DACL: Everyone (WD) may query values (0x1), nothing more.
    CHECK(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x1;;;WD)", SDDL_REVISION_1, &sd, nullptr));
    HKEY k = nullptr;
    CHECK(RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, WRITE_DAC, &k) == ERROR_SUCCESS);
    CHECK(RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS);
    RegCloseKey(k);
    LocalFree(sd);

    // The restriction holds here, or the check below would prove nothing.
    HKEY writable = nullptr;
    const LONG writeOpen = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &writable);
    if (writable)
        RegCloseKey(writable);
    CHECK(writeOpen == ERROR_ACCESS_DENIED);

    std::wstring v;
    CHECK(Win32Registry::GetKeyValue(Win32Registry::kLocalMachine, key, L"Sz", v));
    CHECK_EQ(v, L"readable");
}

void sysInfoCommand(const std::wstring &temp)
{
    std::wstring command = L"stale";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMsinfoKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kLocationKey);
    CHECK(!Win32Registry::findSysInfoCommand(command));
    CHECK_EQ(command, L"");

    // Only the tools folder, without the tool in it.
    const std::wstring tools = temp + L"\\shared tools";
    CreateDirectoryW(tools.c_str(), nullptr);
    setString(kLocationKey, L"MSINFO", tools);
    CHECK(!Win32Registry::findSysInfoCommand(command));

    // ... and with it.
    CHECK(writeEmptyFile(tools + L"\\MSINFO32.EXE"));
    CHECK(Win32Registry::findSysInfoCommand(command));
    CHECK_EQ(command, tools + L"\\MSINFO32.EXE");

    // The PATH value wins and is taken as it stands, even when nothing is there.
    setString(kMsinfoKey, L"PATH", L"C:\\gone\\msinfo32.exe");
    CHECK(Win32Registry::findSysInfoCommand(command));
    CHECK_EQ(command, L"C:\\gone\\msinfo32.exe");
}

void decodeMatchesRegistry()
{
    // The same bytes the registry hands back, decoded without it.
    const unsigned char dword[] = {0x2B, 0x1A, 0, 0};
    std::u16string text;
    RegistryValue::decode(REG_DWORD, dword, sizeof dword, text);
    CHECK(text == u"&h00001A2B");
}

} // namespace

int wmain()
{
    wchar_t tempBuffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, tempBuffer);
    std::wstring temp = tempBuffer;
    if (!temp.empty() && temp.back() == L'\\')
        temp.pop_back();

    systemFolders();
    shortcut(temp);
    getKeyValue();
    getKeyValueReadOnlyKey();
    sysInfoCommand(temp);
    decodeMatchesRegistry();

    std::printf("%d checks, %d failed\n", g_checks, g_failures);
    return g_failures == 0 ? 0 : 1;
}
