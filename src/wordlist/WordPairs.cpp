#include "WordPairs.h"

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

QString withoutSpaces(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c != u' ' && c != QChar(0x3000))
            out.append(c);
    }
    return out;
}

void importText(const QString &text, WordListModel &list, bool reversed)
{
    std::vector<WordEntry> batch;
    QString tabbed; // holds a line whose tabs were widened to two spaces
    qsizetype pos = 0;
    const qsizetype n = text.size();
    const QStringView all(text);
    while (pos < n) {
        qsizetype end = all.indexOf(u"\r\n", pos);
        if (end < 0)
            end = n;
        QStringView line = all.sliced(pos, end - pos);
        pos = end + 2;
        if (line.contains(u'\t')) {
            tabbed = line.toString();
            tabbed.replace(u'\t', QStringLiteral("  "));
            line = tabbed;
        }
        line = trimSpaces(line);
        qsizetype sep = line.indexOf(u"  ");
        qsizetype sepLen = 2;
        if (sep < 0) {
            sep = line.lastIndexOf(u' ');
            sepLen = 1;
        }
        if (sep < 0) {
            if (!line.isEmpty())
                batch.push_back(WordEntry{line.toString(), QString(), QString()});
            continue;
        }
        const QStringView before = trimSpaces(line.first(sep));
        const QStringView after = trimSpaces(line.sliced(sep + sepLen));
        if (reversed) {
            if (before.isEmpty() || after.isEmpty())
                continue;
            batch.push_back(WordEntry{after.toString(), before.toString(), QString()});
        } else {
            QString meaning = withoutSpaces(after);
            if (before.isEmpty() || meaning.isEmpty())
                continue;
            batch.push_back(WordEntry{before.toString(), std::move(meaning), QString()});
        }
    }
    list.appendEntries(std::move(batch));
}

} // namespace

QString formatList(const WordListModel &list)
{
    if (list.count() == 0)
        return QStringLiteral("\r\n");
    qsizetype size = 0;
    for (const WordEntry &e : list.entries())
        size += e.word.size() + e.meaning.size() + 4;
    QString out;
    out.reserve(size);
    QString line;
    for (const WordEntry &e : list.entries()) {
        line.clear();
        line += e.word;
        line += u"  ";
        line += e.meaning;
        const QStringView trimmed = trimSpaces(line);
        if (trimmed.isEmpty())
            continue;
        out += trimmed;
        out += u"\r\n";
    }
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
