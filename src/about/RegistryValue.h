#pragma once

// How a registry value read into a buffer becomes the text GetKeyValue hands back. Plain C++, no
// Windows headers, so that every platform's tests exercise it.

#include <cstddef>
#include <string>

namespace RegistryValue {

constexpr unsigned long kString = 1;         // REG_SZ
constexpr unsigned long kExpandString = 2;   // REG_EXPAND_SZ
constexpr unsigned long kDword = 4;          // REG_DWORD

// `data` holds the first `size` bytes the registry reported, as the wide-character API returns
// them (UTF-16 little-endian for strings).
// - REG_SZ: the text, without its terminating NUL when the last character is one.
// - REG_DWORD: "&h" and the bytes in hexadecimal, two digits each, from the last byte to the
//   first (the value 0x1A2B becomes "&h00001A2B").
// - any other type: keyVal is left as it was.
void decode(unsigned long type, const unsigned char *data, std::size_t size, std::u16string &keyVal);

} // namespace RegistryValue
