#pragma once

// The registry side of the system-information launcher: plain Win32, no Qt in the interface.

#include <cstdint>
#include <string>

namespace Win32Registry {

// A registry root by its 32-bit number. On 64-bit Windows the predefined handles are these
// numbers sign-extended, so a root is turned into the system's own HKEY, never cast.
enum class Root : std::uint32_t {
    CurrentUser = 0x80000001,  // HKEY_CURRENT_USER
    LocalMachine = 0x80000002, // HKEY_LOCAL_MACHINE
};
constexpr Root kLocalMachine = Root::LocalMachine;
constexpr Root kCurrentUser = Root::CurrentUser;

// Reads the value `valueName` of the key `keyName` under `root` into keyVal (decoded as
// RegistryValue::decode says). The key is opened for reading values only, which a standard user
// (and an administrator under UAC) is granted under HKEY_LOCAL_MACHINE. False, with keyVal
// emptied, when the key cannot be opened or the value cannot be read; true for a value of any
// type, even one that leaves keyVal unchanged.
bool GetKeyValue(Root root, const std::wstring &keyName, const std::wstring &valueName,
                 std::wstring &keyVal);

// The system-information tool's command: the MSINFO "PATH" value as it stands, else the "Shared
// Tools Location" folder's MSINFO32.EXE when that file exists. False when neither gives one.
bool findSysInfoCommand(std::wstring &command);

} // namespace Win32Registry
