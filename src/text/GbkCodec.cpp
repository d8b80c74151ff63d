#include "GbkCodec.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace GbkCodec {

namespace {

// A run of BMP characters whose four-byte codes follow one another: code number `index` (counted
// from 81 30 81 30) is character `first`, and so on for `length` characters.
struct FourRun
{
    quint16 index;
    char16_t first;
    quint16 length;
};

#include "GbkTables.inc"

// Four-byte codes from 81 30 81 30 are numbered in order; the BMP takes the first 39420, the other
// planes run on from 90 30 81 30 (number 189000) for U+10000 onwards.
constexpr quint32 kBmpFourCount = 39420;
constexpr quint32 kSupplementaryBase = 189000;

constexpr quint32 fourIndex(quint32 b1, quint32 b2, quint32 b3, quint32 b4)
{
    return ((b1 - 0x81) * 10 + (b2 - 0x30)) * 1260 + (b3 - 0x81) * 10 + (b4 - 0x30);
}

static_assert(fourIndex(0x84, 0x31, 0xA4, 0x39) == kBmpFourCount - 1); // U+FFFF
static_assert(fourIndex(0x90, 0x30, 0x81, 0x30) == kSupplementaryBase);

char16_t bmpFromFourIndex(quint32 index)
{
    const FourRun *run = std::upper_bound(std::begin(kFourByIndex), std::end(kFourByIndex), index,
                                          [](quint32 i, const FourRun &r) { return i < r.index; });
    --run; // the first run starts at 0
    return char16_t(run->first + (index - run->index));
}

quint32 fourIndexOfBmp(char16_t c)
{
    const FourRun *run = std::upper_bound(std::begin(kFourByChar), std::end(kFourByChar), c,
                                          [](char16_t ch, const FourRun &r) { return ch < r.first; });
    --run; // only called for characters from 0x80 on, where the first run starts
    return run->index + quint32(c - run->first);
}

char *putFour(quint32 index, char *out)
{
    out[3] = char(0x30 + index % 10);
    index /= 10;
    out[2] = char(0x81 + index % 126);
    index /= 126;
    out[1] = char(0x30 + index % 10);
    out[0] = char(0x81 + index / 10);
    return out + 4;
}

bool isAllAscii(const unsigned char *p)
{
    quint64 w;
    std::memcpy(&w, p, 8);
    return (w & 0x8080808080808080ULL) == 0;
}

bool isAllAsciiUtf16(const char16_t *p)
{
    quint64 w;
    std::memcpy(&w, p, 8);
    return (w & 0xFF80FF80FF80FF80ULL) == 0;
}

} // namespace

qsizetype decode(const char *in, qsizetype n, char16_t *out) noexcept
{
    const auto *p = reinterpret_cast<const unsigned char *>(in);
    char16_t *dst = out;
    qsizetype i = 0;
    while (i < n) {
        // Word lists are mostly ASCII words between Chinese meanings: take ASCII eight at a time.
        while (i + 8 <= n && isAllAscii(p + i)) {
            for (int k = 0; k < 8; ++k)
                dst[k] = p[i + k];
            dst += 8;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned b = p[i];
        if (b < 0x80) {
            *dst++ = char16_t(b);
            ++i;
            continue;
        }
        if (b == 0x80) {
            *dst++ = u'\u20AC';
            ++i;
            continue;
        }
        if (b != 0xFF && i + 1 < n) {
            const unsigned t = p[i + 1];
            if (t >= 0x40) {
                if (t != 0x7F && t != 0xFF) {
                    *dst++ = kPairs[(b - 0x81) * 191 + (t - 0x40)];
                    i += 2;
                    continue;
                }
            } else if (t >= 0x30 && t <= 0x39 && i + 3 < n) {
                const unsigned b3 = p[i + 2];
                const unsigned b4 = p[i + 3];
                if (b3 >= 0x81 && b3 <= 0xFE && b4 >= 0x30 && b4 <= 0x39) {
                    const quint32 index = fourIndex(b, t, b3, b4);
                    if (index < kBmpFourCount) {
                        *dst++ = bmpFromFourIndex(index);
                        i += 4;
                        continue;
                    }
                    if (index >= kSupplementaryBase && index - kSupplementaryBase < 0x100000) {
                        const quint32 u = index - kSupplementaryBase; // code point - 0x10000
                        *dst++ = char16_t(0xD800 + (u >> 10));
                        *dst++ = char16_t(0xDC00 + (u & 0x3FF));
                        i += 4;
                        continue;
                    }
                }
            }
        }
        // Nothing valid starts here: one replacement character, then on with the next byte.
        *dst++ = u'\uFFFD';
        ++i;
    }
    return dst - out;
}

qsizetype encode(const char16_t *in, qsizetype n, char *out) noexcept
{
    char *dst = out;
    for (qsizetype i = 0; i < n; ++i) {
        // ASCII four at a time, as in decode().
        while (i + 4 <= n && isAllAsciiUtf16(in + i)) {
            for (int k = 0; k < 4; ++k)
                dst[k] = char(in[i + k]);
            dst += 4;
            i += 4;
        }
        if (i >= n)
            break;
        const char16_t c = in[i];
        if (c < 0x80) {
            *dst++ = char(c);
            continue;
        }
        const quint16 v = kBmpBytes[c];
        if (v > 0xFF) {
            dst[0] = char(v >> 8);
            dst[1] = char(v & 0xFF);
            dst += 2;
            continue;
        }
        if (v != 0) { // the euro sign, one byte as GBK writes it
            *dst++ = char(v);
            continue;
        }
        if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
                const quint32 u = (quint32(c - 0xD800) << 10 | quint32(in[i + 1] - 0xDC00));
                dst = putFour(kSupplementaryBase + u, dst);
                ++i;
            } else {
                dst = putFour(fourIndexOfBmp(u'\uFFFD'), dst);
            }
            continue;
        }
        dst = putFour(fourIndexOfBmp(c), dst);
    }
    return dst - out;
}

qsizetype encodedSize(const char16_t *in, qsizetype n) noexcept
{
    qsizetype size = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            ++size;
            continue;
        }
        const quint16 v = kBmpBytes[c];
        if (v != 0) {
            size += v > 0xFF ? 2 : 1;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1]))
            ++i;
        size += 4;
    }
    return size;
}

QString decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    out.truncate(decode(bytes.data(), bytes.size(), reinterpret_cast<char16_t *>(out.data())));
    return out;
}

QByteArray encode(QStringView text)
{
    QByteArray out(encodedSize(text), Qt::Uninitialized);
    encode(text.utf16(), text.size(), out.data());
    return out;
}

} // namespace GbkCodec
