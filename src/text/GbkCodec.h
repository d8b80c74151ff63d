#pragma once

#include <QtGlobal>

#include <QString>
#include <QStringView>

// GBK, the word-pair format's encoding, with GB18030 (2005 edition) for every character GBK lacks,
// from tables compiled into the program: the same bytes on every platform, whatever text
// converters the platform's Qt has.
namespace GbkCodec {

// Decodes GBK bytes (read as its superset GB18030; byte 0x80 is the euro sign, as GBK writers
// put it) into UTF-16 at `out`. Never writes more code units than there are input bytes.
// A damaged sequence becomes U+FFFD and decoding goes on with the next byte.
// Returns the number of UTF-16 code units written.
qsizetype decode(const char *in, qsizetype n, char16_t *out) noexcept;

// Upper bound of the bytes encode() writes for n UTF-16 code units.
constexpr qsizetype maxEncodedSize(qsizetype n) { return 4 * n; }

// Encodes UTF-16 as GBK bytes where GBK holds the character, GB18030 four-byte sequences for the
// rest. Returns the number of bytes written to `out` (room for maxEncodedSize(n) bytes).
// Every UTF-16 text can be encoded: a lone surrogate, which is no character, is written as
// U+FFFD, just as a damaged byte sequence reads as U+FFFD.
qsizetype encode(const char16_t *in, qsizetype n, char *out) noexcept;

// The number of bytes encode() writes for the text: its length in code page 936, with characters
// outside it counted as their four GB18030 bytes.
qsizetype encodedSize(const char16_t *in, qsizetype n) noexcept;

// Conveniences over the above.
QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);
inline qsizetype encodedSize(QStringView text) noexcept
{
    return encodedSize(text.utf16(), text.size());
}

} // namespace GbkCodec
