#include "TextFile.h"

#include "LargeBuffer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace TextFile {

namespace {

// Length of the strictly valid UTF-8 sequence starting at p (no overlong forms, no surrogates,
// nothing above U+10FFFF), or 0 when there is none.
int utf8SequenceLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = p[0];
    auto cont = [&](int i, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return p + i < end && p[i] >= lo && p[i] <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(1) ? 2 : 0;
    if (c == 0xE0)
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF)
        return cont(1) && cont(2) ? 3 : 0;
    if (c == 0xED)
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (c == 0xF0)
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (c >= 0xF1 && c <= 0xF3)
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (c == 0xF4)
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

// True when the bytes are strictly valid UTF-8 and hold enough multi-byte sequences that reading
// them as GBK is implausible. A short text that is valid either way (one accented letter, say)
// stays GBK, the format's own encoding.
bool looksLikeUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    int evidence = 0;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int len = utf8SequenceLength(p, end);
        if (len == 0)
            return false;
        // A three- or four-byte sequence is far less likely to arise from GBK by chance.
        evidence += len == 2 ? 1 : 2;
        p += len;
    }
    return evidence >= 3;
}

QString decodeWith(QStringConverter::Encoding enc, QByteArrayView bytes)
{
    QStringDecoder dec(enc, QStringConverter::Flag::Stateless);
    return dec.decode(bytes);
}

// The two-byte area of GB18030 (which GBK files use), as a table: (lead - 0x81) * 191 +
// (trail - 0x40) gives the character, 0 where the pair is not one. Built once from the platform's
// converter in a single call.
const std::vector<char16_t> &pairTable()
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(126 * 191, 0);
        QByteArray all;
        all.reserve(126 * 190 * 2);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                all += char(lead);
                all += char(trail);
            }
        }
        QStringDecoder dec("GB18030", QStringConverter::Flag::Stateless);
        const QString chars = dec.isValid() ? dec.decode(all) : QString();
        const bool aligned = chars.size() * 2 == all.size();
        for (qsizetype i = 0; i * 2 < all.size(); ++i) {
            const auto lead = static_cast<unsigned char>(all[i * 2]);
            const auto trail = static_cast<unsigned char>(all[i * 2 + 1]);
            char16_t c = 0;
            if (aligned) {
                c = chars[i].unicode();
            } else if (dec.isValid()) {
                const QString one = dec.decode(QByteArrayView(all).sliced(i * 2, 2));
                c = one.size() == 1 ? one[0].unicode() : 0;
            }
            t[(lead - 0x81) * 191 + (trail - 0x40)] = c == 0xFFFD ? 0 : c;
        }
        return t;
    }();
    return table;
}

} // namespace

// GBK as the format's files hold it, decoded as its superset GB18030. 0x80 is the euro sign, as
// GBK writers put it. A broken sequence becomes U+FFFD and the read goes on with the next byte,
// so one damaged character never takes the text after it along.
qsizetype decodeGbkInto(const char *in, qsizetype n, char16_t *dst)
{
    const std::vector<char16_t> &table = pairTable();
    std::optional<QStringDecoder> four; // opening a converter is costly: only when needed
    char16_t *const start = dst;
    const auto *p = reinterpret_cast<const unsigned char *>(in);
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            *dst++ = b;
            ++i;
            continue;
        }
        if (b == 0x80) {
            *dst++ = 0x20AC;
            ++i;
            continue;
        }
        if (b == 0xFF || i + 1 >= n) {
            *dst++ = 0xFFFD;
            ++i;
            continue;
        }
        const unsigned char t = p[i + 1];
        if (t >= 0x30 && t <= 0x39) {
            // A four-byte sequence: rare, left to the converter.
            if (i + 3 < n && p[i + 2] >= 0x81 && p[i + 2] <= 0xFE && p[i + 3] >= 0x30 && p[i + 3] <= 0x39) {
                if (!four)
                    four.emplace("GB18030", QStringConverter::Flag::Stateless);
                const QString c = four->isValid() ? four->decode(QByteArrayView(in + i, 4)) : QString();
                // Never more units than bytes: a four-byte sequence is at most two units.
                if (!c.isEmpty() && c.size() <= 4) {
                    memcpy(dst, c.utf16(), size_t(c.size()) * 2);
                    dst += c.size();
                    i += 4;
                    continue;
                }
            }
            *dst++ = 0xFFFD;
            ++i;
            continue;
        }
        const char16_t c = (t >= 0x40 && t <= 0xFE && t != 0x7F) ? table[(b - 0x81) * 191 + (t - 0x40)] : 0;
        if (c == 0) {
            *dst++ = 0xFFFD;
            ++i;
            continue;
        }
        *dst++ = c;
        i += 2;
    }
    return dst - start;
}

namespace {

QString decodeGbk(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    LargeBuffer::adviseHugePages(out.data(), std::size_t(out.size()) * sizeof(QChar));
    out.truncate(decodeGbkInto(bytes.data(), bytes.size(), reinterpret_cast<char16_t *>(out.data())));
    return out;
}

} // namespace

QString normaliseLineEnds(QString text)
{
    // Most files already use CR LF throughout: check first, copy only when needed.
    const qsizetype n = text.size();
    const QChar *d = text.constData();
    bool clean = true;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == u'\r') {
            if (i + 1 < n && d[i + 1] == u'\n') {
                ++i;
                continue;
            }
            clean = false;
            break;
        }
        if (d[i] == u'\n') {
            clean = false;
            break;
        }
    }
    if (clean)
        return text;
    QString out;
    out.reserve(n + n / 16);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = d[i];
        if (c == u'\r') {
            out += u"\r\n";
            if (i + 1 < n && d[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString decode(const QByteArray &bytes, Encoding *detected)
{
    Encoding enc = Encoding::Gbk;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        enc = Encoding::Utf8Bom;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        enc = Encoding::Utf16LE;
        text = decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        enc = Encoding::Utf16BE;
        text = decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else if (looksLikeUtf8(bytes)) {
        enc = Encoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        text = decodeGbk(bytes);
    }
    if (detected)
        *detected = enc;
    return normaliseLineEnds(std::move(text));
}

namespace {

// How each character of the Basic Multilingual Plane is written: its GBK bytes when GBK holds it
// (and they read back as that very character), otherwise its GB18030 bytes. Built once. The GBK
// converter silently drops some characters (soft hyphen, zero-width joiner, bidi marks) and maps
// others to look-alikes; checking every character's round trip catches all of them.
struct CharBytes
{
    quint8 len = 0;
    char bytes[4] = {};
};

const std::vector<CharBytes> &bmpTable()
{
    static const std::vector<CharBytes> table = [] {
        std::vector<CharBytes> t(0x10000);
        QStringEncoder gbk("GBK", QStringConverter::Flag::Stateless);
        QStringEncoder gb18030("GB18030", QStringConverter::Flag::Stateless);
        for (char32_t c = 0; c < 0x10000; ++c) {
            CharBytes &cb = t[c];
            if (c < 0x80) {
                cb.len = 1;
                cb.bytes[0] = static_cast<char>(c);
                continue;
            }
            if (c >= 0xD800 && c < 0xE000) {
                cb.len = 1;
                cb.bytes[0] = '?'; // a lone surrogate is no character at all
                continue;
            }
            const QChar ch(static_cast<char16_t>(c));
            QByteArray b = gbk.isValid() ? gbk.encode(QStringView(&ch, 1)) : QByteArray();
            if (b.isEmpty() || b.size() > 2 || b == "?" || decodeGbk(b) != QStringView(&ch, 1))
                b = gb18030.encode(QStringView(&ch, 1));
            cb.len = static_cast<quint8>(qMin<qsizetype>(b.size(), 4));
            memcpy(cb.bytes, b.constData(), cb.len);
        }
        return t;
    }();
    return table;
}

} // namespace

qsizetype encodeTo(const char16_t *text, qsizetype n, char *out)
{
    const std::vector<CharBytes> &table = bmpTable();
    std::optional<QStringEncoder> gb18030; // opening a converter is costly: only when needed
    char *const start = out;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1])) {
            // Outside the BMP only GB18030's four-byte form can hold it.
            if (!gb18030)
                gb18030.emplace("GB18030", QStringConverter::Flag::Stateless);
            const QByteArray b = gb18030->encode(QStringView(text + i, 2));
            const qsizetype len = qMin<qsizetype>(b.size(), 4);
            memcpy(out, b.constData(), size_t(len));
            out += len;
            ++i;
        } else {
            const CharBytes &cb = table[c];
            memcpy(out, cb.bytes, cb.len);
            out += cb.len;
        }
    }
    return out - start;
}

void encodeAppend(QStringView text, QByteArray &out)
{
    const qsizetype at = out.size();
    out.resize(at + 4 * text.size());
    out.truncate(at + encodeTo(reinterpret_cast<const char16_t *>(text.utf16()), text.size(), out.data() + at));
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    encodeAppend(text, out);
    return out;
}

bool readBytes(const QString &path, QByteArray *bytes, QString *error)
{
    bytes->clear();
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("这是一个文件夹");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // One read into a buffer of the file's size: no growing and copying for a large bank.
    const qint64 size = file.size();
    if (size > 0 && !file.isSequential()) {
        bytes->resize(size);
        LargeBuffer::adviseHugePages(bytes->data(), std::size_t(size));
        const qint64 got = file.read(bytes->data(), size);
        bytes->resize(got < 0 ? 0 : got);
        if (got == size)
            *bytes += file.readAll(); // the file grew while we read it
    } else {
        *bytes = file.readAll();
    }
    if (file.error() != QFileDevice::NoError) {
        bytes->clear();
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool read(const QString &path, QString *text, QString *error)
{
    text->clear();
    QByteArray bytes;
    if (!readBytes(path, &bytes, error))
        return false;
    *text = decode(bytes);
    return true;
}

bool write(const QString &path, QStringView text, QString *error)
{
    return writeBytes(path, encode(text), error);
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        file.cancelWriting();
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("同名的文件夹已存在"));
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(file.errorString());
#ifdef Q_OS_UNIX
    // On disk before it replaces the old file, so a power cut never leaves an empty word bank.
    if (::fsync(file.handle()) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
#endif
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace TextFile
