#include "RegistryValue.h"

namespace RegistryValue {

void decode(unsigned long type, const unsigned char *data, std::size_t size, std::u16string &keyVal)
{
    if (type == kString) {
        std::u16string text;
        text.reserve(size / 2);
        // An odd trailing byte is not part of any character.
        for (std::size_t i = 0; i + 1 < size; i += 2)
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        if (!text.empty() && text.back() == u'\0')
            text.pop_back();
        keyVal = text;
    } else if (type == kDword) {
        static const char16_t digits[] = u"0123456789ABCDEF";
        std::u16string text = u"&h";
        for (std::size_t i = size; i > 0; --i) {
            text.push_back(digits[data[i - 1] >> 4]);
            text.push_back(digits[data[i - 1] & 0x0F]);
        }
        keyVal = text;
    }
}

} // namespace RegistryValue
