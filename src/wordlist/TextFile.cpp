#include "TextFile.h"

#include "LargeBuffer.h"
#include "RegularFile.h"
#include "text/GbkCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstring>
#include <new>
#include <vector>


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

// How much a character speaks for the text being Chinese as people write it. GB2312, the core of
// GBK, ranks its characters: the 3755 common hanzi and the punctuation and full-width rows count
// most, the 3008 rarer hanzi a little; characters only GBK's extension holds, and scripts a
// Chinese word list does not mix in, count against.
enum CharClass : quint8
{
    Foreign = 0,
    Common = 1,
    Rare = 2
};

// Scores count per byte, so that a reading which makes fewer, longer characters of the same bytes
// gains nothing by that alone: a common character is worth one point a byte in either encoding.
constexpr int kCommonScore = 2;       // GBK, two bytes
constexpr int kRareScore = 1;         // GBK, two bytes
constexpr int kForeignScore = -2;     // GBK, two bytes
constexpr int kBrokenScore = -8;      // GBK, a byte that starts no character
constexpr int kUtf8CommonScore = 3;   // UTF-8, three bytes
constexpr int kUtf8RareScore = 1;     // UTF-8, three bytes
constexpr int kUtf8ForeignScore = -3; // UTF-8, three or four bytes

// The class of every character of the Basic Multilingual Plane, from GB2312's own rows.
const std::vector<quint8> &charClasses()
{
    static const std::vector<quint8> table = [] {
        std::vector<quint8> t(0x10000, Foreign);
        auto mark = [&](int leadFrom, int leadTo, CharClass cls) {
            QByteArray rows;
            for (int lead = leadFrom; lead <= leadTo; ++lead) {
                for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                    rows += char(lead);
                    rows += char(trail);
                }
            }
            const QString chars = decodeGbk(rows);
            for (const QChar c : chars) {
                if (c.unicode() >= 0x80 && c.unicode() != 0xFFFD)
                    t[c.unicode()] = cls;
            }
        };
        mark(0xA1, 0xA1, Common); // punctuation: 、。·…“”〔〕〈〉《》「」【】 and the like
        mark(0xA3, 0xA3, Common); // full-width letters, digits and signs
        mark(0xB0, 0xD7, Common); // the common hanzi
        mark(0xD8, 0xF7, Rare);   // the rarer hanzi
        return t;
    }();
    return table;
}

// What the bytes are worth read as GBK, straight from the byte ranges: GB2312's rows by their lead
// byte, anything else GBK holds as foreign, a broken sequence as very foreign.
qint64 gbkScore(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qint64 score = 0;
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b == 0x80 || b == 0xFF || i + 1 >= n) {
            score += kBrokenScore;
            ++i;
            continue;
        }
        const unsigned char t = p[i + 1];
        if (t < 0x40 || t == 0x7F || t == 0xFF) {
            score += kBrokenScore;
            ++i;
            continue;
        }
        if (t >= 0xA1 && (b == 0xA1 || b == 0xA3 || (b >= 0xB0 && b <= 0xD7)))
            score += kCommonScore;
        else if (t >= 0xA1 && b >= 0xD8 && b <= 0xF7)
            score += kRareScore;
        else
            score += kForeignScore;
        i += 2;
    }
    return score;
}

// What strictly valid UTF-8 is worth read as UTF-8. Letters of the Latin, IPA and combining blocks
// (U+0080..U+036F: accents, phonetic spelling) neither help nor hurt: GBK bytes misread as UTF-8
// produce exactly these. A Chinese meaning spelled in UTF-8 is three bytes a character, which GBK
// text almost never lines up into.
qint64 utf8Score(QStringView text)
{
    const std::vector<quint8> &classes = charClasses();
    qint64 score = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x370 || QChar::isSurrogate(u))
            continue;
        switch (classes[u]) {
        case Common:
            score += kUtf8CommonScore;
            break;
        case Rare:
            score += kUtf8RareScore;
            break;
        default:
            // A hanzi outside GB2312 (a name, a traditional form) is no evidence either way;
            // anything else is foreign to a Chinese word list.
            if (u < 0x4E00 || u > 0x9FFF)
                score += kUtf8ForeignScore;
            break;
        }
    }
    return score;
}

// True only on strong evidence that the bytes are UTF-8: strictly valid, and read as UTF-8 they
// make Chinese text that is more plausible than what the same bytes make read as GBK. Without
// Chinese in it (accented letters only, say) valid UTF-8 stays GBK, the format's own encoding:
// any short GBK text of hanzi can be valid UTF-8 by accident ("为什么" is CE AA CA B2 C3 B4).
bool looksLikeUtf8(const QByteArray &bytes, QString *decoded)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    bool wide = false; // at least one three- or four-byte sequence
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int len = utf8SequenceLength(p, end);
        if (len == 0)
            return false;
        wide = wide || len > 2;
        p += len;
    }
    if (!wide)
        return false;
    QString text = QString::fromUtf8(bytes);
    const qint64 asUtf8 = utf8Score(text);
    if (asUtf8 <= 0 || asUtf8 <= gbkScore(bytes))
        return false;
    *decoded = std::move(text);
    return true;
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

namespace {
// A byte-order mark names the encoding outright.
bool decodeMarked(const QByteArray &bytes, QString *text, Encoding *enc)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *enc = Encoding::Utf8Bom;
        *text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        *enc = Encoding::Utf16LE;
        *text = replaceLoneSurrogates(decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2)));
    } else if (bytes.startsWith("\xFE\xFF")) {
        *enc = Encoding::Utf16BE;
        *text = replaceLoneSurrogates(decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2)));
    } else {
        return false;
    }
    return true;
}
// UTF-16 without a byte-order mark: GBK and UTF-8 text never holds a zero byte, while UTF-16 of a
// word list (Latin letters, digits, spaces, line ends) has one in most of its units, always on
// the same side. Returns the byte order found, or false.
bool looksLikeUtf16(const QByteArray &bytes, Encoding *enc)
{
    const qsizetype n = bytes.size() / 2 * 2;
    if (n < 4)
        return false;
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < n; ++i)
        zeros[i & 1] += bytes[i] == 0;
    const qsizetype units = n / 2;
    for (int high = 0; high < 2; ++high) {
        // High bytes (the even ones in big-endian order) zero in at least a quarter of the units,
        // the other side almost never.
        if (zeros[high] * 4 >= units && zeros[1 - high] * 16 <= zeros[high]) {
            *enc = high == 0 ? Encoding::Utf16BE : Encoding::Utf16LE;
            return true;
        }
    }
    return false;
}

} // namespace

QString decode(const QByteArray &bytes, Encoding *detected)
{
    Encoding enc = Encoding::Gbk;
    QString text;
    if (!decodeMarked(bytes, &text, &enc)) {
        if (looksLikeUtf16(bytes, &enc))
            text = replaceLoneSurrogates(decodeWith(
                enc == Encoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, bytes));
        else if (looksLikeUtf8(bytes, &text))
            enc = Encoding::Utf8;
        else
            text = decodeGbk(bytes);
    }
    if (detected)
        *detected = enc;
    return normaliseLineEnds(std::move(text));
}

QString decodeWordBank(const QByteArray &bytes, Encoding *detected)
{
    Encoding enc = Encoding::Gbk;
    QString text;
    if (!decodeMarked(bytes, &text, &enc))
        text = decodeGbk(bytes);
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

namespace {
qint64 roundUpToMB(qint64 size)
{
    return (size + (1 << 20) - 1) >> 20;
}

QString tooLargeMessage(qint64 size, qint64 maxBytes)
{
    return QStringLiteral("文件有 %1 MB，超过了本程序能读取的 %2 MB").arg(roundUpToMB(size)).arg(maxBytes >> 20);
}

QString tooLargeToWriteMessage(qint64 maxBytes)
{
    return QStringLiteral("文件将超过 %1 MB，本程序以后无法再读取它").arg(maxBytes >> 20);
}

QString notAFileMessage()
{
    return QStringLiteral("它不是普通文件（文件夹、管道或设备不能读取）");
}

} // namespace

bool readBytes(const QString &path, QByteArray *bytes, QString *error, qint64 maxBytes)
{
    bytes->clear();
    QString why;
    auto fail = [&](const QString &reason) {
        bytes->clear();
        bytes->squeeze();
        if (error)
            *error = reason;
        return false;
    };
    QFile file;
    file.setFileName(path);
    switch (RegularFile::openForReading(path, file, &why)) {
    case RegularFile::Open::Opened:
        break;
    case RegularFile::Open::NotAFile:
        return fail(notAFileMessage());
    case RegularFile::Open::Failed:
        return fail(why);
    }
    const qint64 size = file.size();
    if (size > maxBytes)
        return fail(tooLargeMessage(size, maxBytes));
    // One read into a buffer of the file's size: no growing and copying for a large bank.
    try {
        bytes->resize(size);
        if (size > 0)
            LargeBuffer::adviseHugePages(bytes->data(), std::size_t(size));
        qint64 got = size > 0 ? file.read(bytes->data(), size) : 0;
        if (got < 0)
            return fail(file.errorString());
        bytes->resize(got);
        if (got == size) {
            // The file grew while we read it: take the rest, up to the limit.
            char chunk[16 * 1024];
            for (;;) {
                const qint64 n = file.read(chunk, sizeof chunk);
                if (n < 0)
                    return fail(file.errorString());
                if (n == 0)
                    break;
                if (bytes->size() + n > maxBytes)
                    return fail(tooLargeMessage(bytes->size() + n, maxBytes));
                bytes->append(chunk, n);
            }
        }
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("内存不足"));
    }
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
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

void keepFromLookingLikeBom(QByteArray &bytes)
{
    // GBK text can begin with the bytes of UTF-8's byte-order mark (a line starting "锘" followed
    // by a character whose lead byte is BF): an empty line first, which every reader skips, keeps
    // the file from being read as UTF-8.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.prepend("\r\n");
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    bool given = false;
    return writeChunks(
        path,
        [&](QByteArray &chunk) {
            if (!given)
                chunk = bytes;
            given = true;
            return false;
        },
        error);
}

bool write(QIODevice &device, const std::function<bool(QByteArray &)> &next, QString *error, qint64 maxBytes)
{
    // A write the disk takes only in part returns that part without an error; the next one fails
    // with the system's reason ("No space left on device"), which is what the user is told.
    auto writeAll = [&](const char *data, qsizetype size) {
        for (qsizetype done = 0; done < size;) {
            const qint64 n = device.write(data + done, size - done);
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    };
    auto writeFailed = [&] {
        if (error) {
            const auto *file = qobject_cast<const QFileDevice *>(&device);
            const bool told = file ? file->error() != QFileDevice::NoError : !device.errorString().isEmpty();
            *error = told ? device.errorString() : QStringLiteral("写入失败");
        }
        return false;
    };
    QByteArray chunk;
    qint64 total = 0;
    for (bool more = true, first = true; more;) {
        chunk.truncate(0); // keeps its room for the next piece
        more = next(chunk);
        if (chunk.isEmpty())
            continue;
        // The same guard as keepFromLookingLikeBom(), on the first bytes of the file.
        const bool markGuard = first && chunk.startsWith("\xEF\xBB\xBF");
        total += chunk.size() + (markGuard ? 2 : 0);
        if (maxBytes >= 0 && total > maxBytes) {
            if (error)
                *error = tooLargeToWriteMessage(maxBytes);
            return false;
        }
        if (markGuard && !writeAll("\r\n", 2))
            return writeFailed();
        first = false;
        if (!writeAll(chunk.constData(), chunk.size()))
            return writeFailed();
    }
    return true;
}

bool writeChunks(const QString &path, const std::function<bool(QByteArray &)> &next, QString *error, qint64 maxBytes,
                 const std::function<bool()> &cancelled)
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
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    QString why;
    if (!write(file, next, &why, maxBytes))
        return fail(why);
    if (cancelled && cancelled())
        return fail(QStringLiteral("已取消"));
    if (!file.flush())
        return fail(file.errorString());
    if (!RegularFile::syncToDisk(file, &why))
        return fail(why);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace TextFile
