#pragma once

// The registry side of the system-information launcher: plain Win32, no Qt in the interface.

#include <cstdint>
#include <string>

namespace Win32Registry {

constexpr std::uintptr_t kLocalMachine = 0x80000002; // HKEY_LOCAL_MACHINE
constexpr std::uintptr_t kCurrentUser = 0x80000001;  // HKEY_CURRENT_USER

// Reads the value `valueName` of the key `keyName` under `root` into keyVal (decoded as
// RegistryValue::decode says). False, with keyVal emptied, when the key cannot be opened or the
// value cannot be read; true for a value of any type, even one that leaves keyVal unchanged.
bool GetKeyValue(std::uintptr_t root, const std::wstring &keyName, const std::wstring &valueName,
                 std::wstring &keyVal);

// The system-information tool's command: the MSINFO "PATH" value as it stands, else the "Shared
// Tools Location" folder's MSINFO32.EXE when that file exists. False when neither gives one.
bool findSysInfoCommand(std::wstring &command);

} // namespace Win32Registry
