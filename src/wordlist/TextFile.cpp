#include "TextFile.h"

#include "LargeBuffer.h"
#include "text/GbkCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstring>

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

// UTF-16 files may hold halves of surrogate pairs, which are no characters: each becomes U+FFFD,
// as a damaged sequence does in every other encoding, so the list never holds one.
QString replaceLoneSurrogates(QString text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// GBK as the format's files hold it, decoded as its superset GB18030 (see GbkCodec).
QString decodeGbk(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    LargeBuffer::adviseHugePages(out.data(), std::size_t(out.size()) * sizeof(QChar));
    out.truncate(GbkCodec::decode(bytes.data(), bytes.size(), reinterpret_cast<char16_t *>(out.data())));
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
        text = replaceLoneSurrogates(decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2)));
    } else if (bytes.startsWith("\xFE\xFF")) {
        enc = Encoding::Utf16BE;
        text = replaceLoneSurrogates(decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2)));
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

void encodeAppend(QStringView text, QByteArray &out)
{
    const qsizetype old = out.size();
    qsizetype room = GbkCodec::maxEncodedSize(text.size());
    if (out.capacity() - old < room)
        room = GbkCodec::encodedSize(text); // exactly what is needed: no growing past the reserve
    out.resize(old + room);
    out.resize(old + GbkCodec::encode(text.utf16(), text.size(), out.data() + old));
}

QByteArray encode(QStringView text)
{
    return GbkCodec::encode(text);
}

bool read(const QString &path, QString *text, QString *error)
{
    text->clear();
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
    QByteArray bytes;
    const qint64 size = file.size();
    if (size > 0 && !file.isSequential()) {
        bytes.resize(size);
        LargeBuffer::adviseHugePages(bytes.data(), std::size_t(size));
        const qint64 got = file.read(bytes.data(), size);
        bytes.resize(got < 0 ? 0 : got);
        if (got == size)
            bytes += file.readAll(); // the file grew while we read it
    } else {
        bytes = file.readAll();
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
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
