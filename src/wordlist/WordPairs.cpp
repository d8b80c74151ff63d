#include "WordPairs.h"

#include "LargeBuffer.h"
#include "TextFile.h"
#include "WordListModel.h"
#include "text/GbkCodec.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>

namespace WordPairs {

QStringView trimSpaces(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

namespace {

// ---- The line rules, once for text and once for GBK bytes ----
//
// In GBK, a byte below 0x30 is always a character of its own: it never occurs inside a two- or
// four-byte sequence, and a broken sequence before it ends there. So space, tab, CR and LF can be
// found in the bytes exactly where the decoded text has them, and the same rules serve both.

struct Span
{
    qsizetype begin = 0;
    qsizetype end = 0;
    bool isEmpty() const { return begin == end; }
    qsizetype size() const { return end - begin; }
};

// Eight bytes at a time: a mask with the top bit set in (at least) the first byte below `limit`,
// and in no byte before it (limit at most 0x80).
inline uint64_t bytesBelow(uint64_t v, uint64_t limit)
{
    return (v - limit * 0x0101010101010101ull) & ~v & 0x8080808080808080ull;
}

inline uint64_t load8(const char *p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The first space in [from, to), or `to`.
qsizetype nextSpace(const char *d, qsizetype from, qsizetype to)
{
    if constexpr (std::endian::native == std::endian::little) {
        for (; from + 8 <= to; from += 8) {
            if (const uint64_t m = bytesBelow(load8(d + from) ^ 0x2020202020202020ull, 1))
                return from + std::countr_zero(m) / 8;
        }
    }
    while (from < to && d[from] != ' ')
        ++from;
    return from;
}

qsizetype nextSpace(const char16_t *d, qsizetype from, qsizetype to)
{
    while (from < to && d[from] != u' ')
        ++from;
    return from;
}

// Splits one line (tabs already widened to two spaces) into word and meaning:
// spaces trimmed at both ends; the separator is the first run of two spaces, else the last single
// space; both sides trimmed. The meaning is `reversed` ? the side before : the side after. Returns
// false for a line that adds nothing (empty, or a side that must not be empty is). A line
// without a separator is a word with an empty meaning, in either direction.
template<typename Ch>
bool splitLine(const Ch *d, qsizetype n, bool reversed, Span *word, Span *meaning)
{
    qsizetype b = 0, e = n;
    while (b < e && d[b] == Ch(' '))
        ++b;
    while (e > b && d[e - 1] == Ch(' '))
        --e;
    if (b == e)
        return false;
    qsizetype sep = -1, sepLength = 1, lastSingle = -1;
    for (qsizetype i = nextSpace(d, b, e); i < e; i = nextSpace(d, i + 1, e)) {
        if (i + 1 < e && d[i + 1] == Ch(' ')) {
            sep = i;
            sepLength = 2;
            break;
        }
        lastSingle = i;
    }
    if (sep < 0)
        sep = lastSingle;
    if (sep < 0) {
        *word = {b, e};
        *meaning = {e, e};
        return true;
    }
    auto trimmed = [d](qsizetype from, qsizetype to) {
        while (from < to && d[from] == Ch(' '))
            ++from;
        while (to > from && d[to - 1] == Ch(' '))
            --to;
        return Span{from, to};
    };
    const Span before = trimmed(b, sep);
    const Span after = trimmed(sep + sepLength, e);
    if (before.isEmpty() || (reversed && after.isEmpty()))
        return false;
    *word = reversed ? after : before;
    *meaning = reversed ? before : after;
    return true;
}

// A forward meaning loses every space and ideographic space wherever they stand. In place;
// returns the new length.
qsizetype squeezeSpaces(char16_t *d, qsizetype n)
{
    qsizetype out = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] != u' ' && d[i] != u'\u3000')
            d[out++] = d[i];
    }
    return out;
}

void copyUnits(char16_t *to, const char16_t *from, qsizetype n)
{
    if (n > 0)
        std::memcpy(to, from, size_t(n) * sizeof(char16_t));
}

// Adds the entry of one line of text (no line end in it), by the rules above; false when the
// line holds no entry.
bool addLine(QStringView line, bool reversed, WordListModel::Appender &add, QString &widened)
{
    if (line.contains(u'\t')) {
        widened = line.toString();
        widened.replace(u'\t', QStringLiteral("  "));
        line = widened;
    }
    const auto *d = reinterpret_cast<const char16_t *>(line.utf16());
    Span word, meaning;
    if (!splitLine(d, line.size(), reversed, &word, &meaning))
        return false;
    char16_t *to = add.room(meaning.size() + word.size());
    if (!to)
        return false;
    copyUnits(to, d + meaning.begin, meaning.size());
    qsizetype meaningLength = meaning.size();
    if (!reversed && meaningLength > 0) {
        meaningLength = squeezeSpaces(to, meaningLength);
        if (meaningLength == 0)
            return false;
    }
    copyUnits(to + meaningLength, d + word.begin, word.size());
    add.add(meaningLength, word.size());
    return true;
}

Module1::ImportCounts importText(QStringView text, WordListModel &list, bool reversed)
{
    using Stop = Module1::ImportCounts::Stop;
    Module1::ImportCounts counts;
    qsizetype offered = 0; // lines that made an entry, duplicates included
    std::optional<WordListModel::Appender> add;
    try {
        add.emplace(list, list.count() == 0 ? text.count(u'\n') + 1 : 0);
        QString widened; // a line whose tabs were widened to two spaces
        const auto *d = reinterpret_cast<const char16_t *>(text.utf16());
        const qsizetype n = text.size();
        qsizetype pos = 0;
        while (pos < n && !add->ranOutOfRoom()) {
            // Lines end at CR LF only; a lone CR stays in its line.
            qsizetype end = pos;
            while (end < n && !(d[end] == u'\r' && end + 1 < n && d[end + 1] == u'\n'))
                ++end;
            offered += addLine(text.sliced(pos, end - pos), reversed, *add, widened);
            pos = end + 2;
        }
        if (add->ranOutOfRoom())
            counts.stopped = add->listFull() ? Stop::ListFull : Stop::OutOfMemory;
    } catch (const std::bad_alloc &) {
        // What was read so far still goes into the list; the rest of the text is missing.
        counts.stopped = Stop::OutOfMemory;
    }
    if (add)
        counts.added = add->finish();
    counts.alreadyListed = offered - counts.added;
    return counts;
}

// One GBK field straight into the list's text; returns the units written. Plain ASCII (most
// words) is widened on the spot; the codec takes over at the first byte above it.
qsizetype decodeField(const char *bytes, Span s, char16_t *to)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes + s.begin);
    const qsizetype n = s.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, p + i, 8);
        if (v & 0x8080808080808080ull)
            break;
        for (int k = 0; k < 8; ++k)
            to[i + k] = p[i + k];
    }
    while (i < n && p[i] < 0x80) {
        to[i] = p[i];
        ++i;
    }
    return i == n ? n : i + GbkCodec::decode(bytes + s.begin + i, n - i, to + i);
}

// How far the GBK reader gets before it gives the bytes behind it back.
constexpr qsizetype kDiscardStep = qsizetype(4) << 20;

// Adds the entry of one line of GBK bytes (no line end in it).
void addGbkLine(const char *line, qsizetype n, bool hasTab, WordListModel::Appender &add, std::string &widened)
{
    if (hasTab) {
        widened.clear();
        for (qsizetype i = 0; i < n; ++i) {
            if (line[i] == '\t')
                widened += "  ";
            else
                widened += line[i];
        }
        line = widened.data();
        n = qsizetype(widened.size());
    }
    Span word, meaning;
    if (!splitLine(line, n, false, &word, &meaning))
        return;
    // Never more units than bytes, so the bytes' length is room enough.
    char16_t *to = add.room(meaning.size() + word.size());
    if (!to)
        return;
    qsizetype meaningLength = decodeField(line, meaning, to);
    if (meaningLength > 0) {
        meaningLength = squeezeSpaces(to, meaningLength);
        if (meaningLength == 0)
            return;
    }
    const qsizetype wordLength = decodeField(line, word, to + meaningLength);
    add.add(meaningLength, wordLength);
}

} // namespace

namespace {

// The GBK reader. With `consumed` set, the bytes behind the reader go back to the system as it
// moves on, so the file and the list it becomes are not both held in full.
bool importGbk(const char *d, qsizetype n, WordListModel &list, char *consumed)
{
    qsizetype lines = 0;
    if (list.count() == 0) {
        for (const char *p = d, *end = d + n; (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p))));
             ++p)
            ++lines;
    }
    WordListModel::Appender add(list, lines + 1);
    std::string widened;
    // A line ends at CR LF, a lone CR or a lone LF, as the text reader sees them once their line
    // ends are made CR LF.
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype end = pos;
        bool hasTab = false;
        // Eight bytes at a time to the next byte below 0x0E (tab, LF and CR are).
        for (;;) {
            if (std::endian::native == std::endian::little && end + 8 <= n) {
                const uint64_t m = bytesBelow(load8(d + end), 0x0E);
                if (!m) {
                    end += 8;
                    continue;
                }
                end += std::countr_zero(m) / 8;
            } else {
                while (end < n && static_cast<unsigned char>(d[end]) > '\r')
                    ++end;
                if (end >= n)
                    break;
            }
            const char c = d[end];
            if (c == '\n' || c == '\r')
                break;
            hasTab |= c == '\t';
            ++end;
        }
        addGbkLine(d + pos, end - pos, hasTab, add, widened);
        pos = end + ((end + 1 < n && d[end] == '\r' && d[end + 1] == '\n') ? 2 : 1);
        if (consumed && pos < n && pos - (consumed - d) >= kDiscardStep) {
            LargeBuffer::discard(consumed, size_t(pos - (consumed - d)));
            // On from the start of the page the reader is in, which was not given back.
            consumed = reinterpret_cast<char *>(reinterpret_cast<quintptr>(d + pos) & ~quintptr((2 << 20) - 1));
        }
    }
    add.finish();
    return !add.ranOutOfRoom();
}

} // namespace

void importGbkBytes(QByteArrayView bytes, WordListModel &list)
{
    importGbk(bytes.data(), bytes.size(), list, nullptr);
}

bool importWordBank(QByteArray &&bytes, WordListModel &list)
{
    // The bank is GBK, the format's own encoding; a byte-order mark alone says otherwise.
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QString text = TextFile::decode(bytes);
        bytes = QByteArray();
        return importText(text, list, false).stopped == Module1::ImportCounts::Stop::None;
    }
    // Only bytes nobody else holds may be given back while they are read.
    char *consumed = bytes.isDetached() ? bytes.data() : nullptr;
    const bool whole = importGbk(bytes.constData(), bytes.size(), list, consumed);
    bytes = QByteArray();
    return whole;
}

namespace {

// The line the writer puts out for one entry: word, two spaces, meaning, trimmed of spaces at
// both ends; as up to three pieces, so nothing is copied to build it.
struct OutLine
{
    QStringView first;
    bool separator = false;
    QStringView last;
};

bool outLine(QStringView word, QStringView meaning, OutLine *line)
{
    qsizetype b = 0;
    while (b < word.size() && word[b] == u' ')
        ++b;
    word = word.sliced(b);
    qsizetype e = meaning.size();
    while (e > 0 && meaning[e - 1] == u' ')
        --e;
    meaning = meaning.first(e);
    if (word.isEmpty()) {
        // The separator is leading space too.
        meaning = trimSpaces(meaning);
        *line = {meaning, false, {}};
        return !meaning.isEmpty();
    }
    if (meaning.isEmpty()) {
        *line = {trimSpaces(word), false, {}};
        return true;
    }
    *line = {word, true, meaning};
    return true;
}

qsizetype encodeView(QStringView s, char *out)
{
    return GbkCodec::encode(s.utf16(), s.size(), out);
}

} // namespace

namespace {

qsizetype maxRowBytes(const WordListModel &list, int row)
{
    return GbkCodec::maxEncodedSize(list.word(row).size() + list.meaning(row).size()) + 4;
}

// Encodes rows from *row on into `out` while the next one surely fits in `room` bytes; returns
// the bytes written and leaves *row at the first row not written.
qsizetype encodeRows(const WordListModel &list, Rows which, int *row, char *out, qsizetype room)
{
    char *to = out;
    for (; *row < list.count(); ++*row) {
        const int r = *row;
        if (which == Rows::Known && !list.isKnown(r))
            continue;
        if (maxRowBytes(list, r) > room - (to - out))
            break;
        OutLine line;
        if (!outLine(list.word(r), list.meaning(r), &line))
            continue;
        to += encodeView(line.first, to);
        if (line.separator) {
            *to++ = ' ';
            *to++ = ' ';
            to += encodeView(line.last, to);
        }
        *to++ = '\r';
        *to++ = '\n';
    }
    return to - out;
}

// Bytes a piece of the written list holds at most (more only for a longer single entry).
constexpr qsizetype kPieceBytes = qsizetype(1) << 20;

// The next piece of the written list, from *row on, into `piece`; returns whether more follow.
bool nextPiece(const WordListModel &list, Rows which, int *row, QByteArray &piece)
{
    const qsizetype room = std::max(kPieceBytes, *row < list.count() ? maxRowBytes(list, *row) : 0);
    piece.resize(room);
    piece.truncate(encodeRows(list, which, row, piece.data(), room));
    return *row < list.count();
}

} // namespace

bool encodePiece(const WordListModel &list, int *row, QByteArray &piece, Rows which)
{
    if (list.count() == 0 || (which == Rows::Known && *row == 0 && list.knownCount() == 0)) {
        piece = QByteArrayLiteral("\r\n");
        return false;
    }
    return nextPiece(list, which, row, piece);
}

QByteArray encodeList(const WordListModel &list, Rows which)
{
    QByteArray out;
    QByteArray piece;
    int row = 0;
    for (bool more = true; more;) {
        more = encodePiece(list, &row, piece, which);
        out += piece;
    }
    return out;
}

bool writeList(const WordListModel &list, const QString &path, QString *error, Rows which, qint64 maxBytes)
{
    int row = 0;
    return TextFile::writeChunks(
        path, [&](QByteArray &piece) { return encodePiece(list, &row, piece, which); }, error, maxBytes);
}

} // namespace WordPairs

namespace Module1 {

ImportCounts ImportWordPairs(const QString &text, WordListModel &list)
{
    return WordPairs::importText(text, list, false);
}

ImportCounts ImportWordPairsReversed(const QString &text, WordListModel &list)
{
    return WordPairs::importText(text, list, true);
}

} // namespace Module1
