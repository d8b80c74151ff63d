#include "WordPairs.h"

#include "LargeBuffer.h"

#include "TextFile.h"
#include "WordListModel.h"

#include <vector>

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

bool hasSpace(QStringView s)
{
    for (QChar c : s) {
        if (c == u' ' || c == QChar(0x3000))
            return true;
    }
    return false;
}

QString withoutSpaces(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] != u' ' && s[i] != QChar(0x3000))
        ++i;
    if (i == s.size())
        return s.toString();
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c != u' ' && c != QChar(0x3000))
            out.append(c);
    }
    return out;
}

// The separator of a trimmed line: the first run of two spaces, else the last single space.
// Returns its position and sets its length, or -1 when the line has none.
qsizetype findSeparator(QStringView line, qsizetype *length)
{
    const auto *d = reinterpret_cast<const char16_t *>(line.utf16());
    const qsizetype n = line.size();
    qsizetype lastSingle = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] != u' ')
            continue;
        if (i + 1 < n && d[i + 1] == u' ') {
            *length = 2;
            return i;
        }
        lastSingle = i;
    }
    *length = 1;
    return lastSingle;
}

void importText(const QString &text, WordListModel &list, bool reversed)
{
    std::vector<WordEntry> batch;
    // Into an empty list every line is new; into a full one most may be duplicates, which are
    // dropped before anything is allocated for them (re-importing a file costs lookups only).
    const bool checkList = list.count() > 0;
    if (!checkList) {
        batch.reserve(static_cast<size_t>(text.count(u'\n')) + 1);
        LargeBuffer::advise(batch);
    }
    QString tabbed; // holds a line whose tabs were widened to two spaces
    const auto *d = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        // Lines end at CR LF only; a lone CR stays in its line.
        qsizetype end = pos;
        bool hasTab = false;
        while (end < n && !(d[end] == u'\r' && end + 1 < n && d[end + 1] == u'\n')) {
            hasTab |= d[end] == u'\t';
            ++end;
        }
        QStringView line(d + pos, end - pos);
        pos = end + 2;
        if (hasTab) {
            tabbed = line.toString();
            tabbed.replace(u'\t', QStringLiteral("  "));
            line = tabbed;
        }
        line = trimSpaces(line);
        qsizetype sepLen = 0;
        const qsizetype sep = findSeparator(line, &sepLen);
        if (sep < 0) {
            if (!line.isEmpty() && !(checkList && list.containsPair(line, QStringView())))
                batch.push_back(WordEntry{line.toString(), QString(), QString()});
            continue;
        }
        const QStringView before = trimSpaces(line.first(sep));
        const QStringView after = trimSpaces(line.sliced(sep + sepLen));
        if (reversed) {
            if (before.isEmpty() || after.isEmpty() || (checkList && list.containsPair(after, before)))
                continue;
            batch.push_back(WordEntry{after.toString(), before.toString(), QString()});
        } else {
            if (before.isEmpty())
                continue;
            if (checkList && !hasSpace(after) && list.containsPair(before, after))
                continue;
            QString meaning = withoutSpaces(after);
            if (meaning.isEmpty())
                continue;
            batch.push_back(WordEntry{before.toString(), std::move(meaning), QString()});
        }
    }
    list.appendEntries(std::move(batch));
}

} // namespace

namespace {

// Calls `line` with each line the writer puts out (without its CR LF), in list order.
template<typename LineFn>
void forEachLine(const WordListModel &list, LineFn line)
{
    QString buffer;
    for (const WordEntry &e : list.entries()) {
        buffer.clear();
        buffer += e.word;
        buffer += u"  ";
        buffer += e.meaning;
        const QStringView trimmed = trimSpaces(buffer);
        if (!trimmed.isEmpty())
            line(trimmed);
    }
}

} // namespace

QByteArray encodeList(const WordListModel &list)
{
    if (list.count() == 0)
        return QByteArrayLiteral("\r\n");
    qsizetype size = 0;
    for (const WordEntry &e : list.entries())
        size += e.word.size() + 2 * e.meaning.size() + 4;
    QByteArray out;
    out.reserve(size);
    LargeBuffer::adviseHugePages(out.data(), std::size_t(size));
    forEachLine(list, [&out](QStringView line) {
        TextFile::encodeAppend(line, out);
        out += "\r\n";
    });
    return out;
}

} // namespace WordPairs

namespace Module1 {

void ImportWordPairs(const QString &text, WordListModel &list)
{
    WordPairs::importText(text, list, false);
}

void ImportWordPairsReversed(const QString &text, WordListModel &list)
{
    WordPairs::importText(text, list, true);
}

} // namespace Module1
