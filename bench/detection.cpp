// Measures how word files are told apart: a real Chinese-English word list written as GBK must
// never be taken for UTF-8, and the same lines written as UTF-8 must be read as UTF-8. A
// measurement, not a test: it prints rates.
//
//   quorvel-detection [--fragments] [--all-pairs | --random-pairs N] <list>...
//
// Each list is a UTF-8 text of "word  meaning" lines, a GBK word file (such as the starter words),
// or the output of `msgunfmt --no-wrap` on a Chinese message catalogue (a .po text), whose short
// English messages and their Chinese translations make a word list of real phrases. Only lines
// whose meaning holds Chinese are used. Every line is written as a file of one line, and every two
// consecutive lines as a file of two lines (with --all-pairs: every ordered pair of lines; with
// --random-pairs N: N pairs drawn at random, the same ones every run). --fragments replaces the
// lines by short ones, the hardest case: every run of one to three hanzi found in the meanings,
// after a short English word.
#include "wordlist/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <cstdio>

namespace {

bool hasChinese(const QString &s)
{
    for (const QChar c : s) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    }
    return false;
}

QString unescapePo(QString s)
{
    s.replace(QStringLiteral("\\n"), QStringLiteral(" "));
    s.replace(QStringLiteral("\\t"), QStringLiteral(" "));
    s.replace(QStringLiteral("\\\""), QStringLiteral("\""));
    return s.simplified();
}

// Short English messages with a Chinese translation, as "English  中文".
QStringList linesFromPo(const QString &text)
{
    static const QRegularExpression pair(QStringLiteral("^msgid \"(.*)\"\\nmsgstr \"(.*)\"$"),
                                         QRegularExpression::MultilineOption);
    QStringList lines;
    auto it = pair.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString en = unescapePo(m.captured(1));
        QString zh = unescapePo(m.captured(2));
        zh.remove(u' ');
        zh.remove(QChar(0x3000));
        if (en.isEmpty() || zh.isEmpty() || en.count(u' ') > 3 || zh.size() > 30)
            continue;
        if (en.contains(u'%') || zh.contains(u'%') || en.contains(u'\\') || zh.contains(u'\\'))
            continue;
        lines << en + QStringLiteral("  ") + zh;
    }
    return lines;
}

QStringList readList(const QString &path)
{
    QString text;
    QString error;
    if (!TextFile::read(path, &text, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return {};
    }
    if (text.contains(QStringLiteral("\r\nmsgstr \"")))
        return linesFromPo(text.split(QStringLiteral("\r\n")).join(u'\n'));
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

struct Rate
{
    qint64 files = 0;
    qint64 wrong = 0;
    qint64 validUtf8 = 0; // GBK files whose bytes are also valid UTF-8: the ones at risk
    QStringList examples;
};

bool isValidUtf8(const QByteArray &b)
{
    return QString::fromUtf8(b).toUtf8() == b;
}

void check(Rate &gbkRate, Rate &utf8Rate, const QString &fileText)
{
    const QByteArray gbk = TextFile::encode(fileText);
    TextFile::Encoding enc{};
    QString back = TextFile::decode(gbk, &enc);
    ++gbkRate.files;
    if (isValidUtf8(gbk))
        ++gbkRate.validUtf8;
    if (enc != TextFile::Encoding::Gbk || back != fileText) {
        ++gbkRate.wrong;
        if (gbkRate.examples.size() < 5)
            gbkRate.examples << fileText.trimmed();
    }
    back = TextFile::decode(fileText.toUtf8(), &enc);
    ++utf8Rate.files;
    if (enc != TextFile::Encoding::Utf8 || back != fileText) {
        ++utf8Rate.wrong;
        if (utf8Rate.examples.size() < 5)
            utf8Rate.examples << fileText.trimmed();
    }
}

void report(const char *what, const Rate &r)
{
    std::printf("%-34s %9lld files, %7lld misread (%.4f%%)", what, static_cast<long long>(r.files),
                static_cast<long long>(r.wrong), r.files ? 100.0 * double(r.wrong) / double(r.files) : 0.0);
    if (r.validUtf8)
        std::printf(", %lld of them valid UTF-8", static_cast<long long>(r.validUtf8));
    std::printf("\n");
    for (const QString &e : r.examples)
        std::printf("    e.g. %s\n", qPrintable(e.left(120)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool allPairs = args.removeAll(QStringLiteral("--all-pairs")) > 0;
    const bool fragments = args.removeAll(QStringLiteral("--fragments")) > 0;
    qint64 randomPairs = 0;
    if (const qsizetype i = args.indexOf(QStringLiteral("--random-pairs")); i >= 0 && i + 1 < args.size()) {
        randomPairs = args.at(i + 1).toLongLong();
        args.remove(i, 2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr,
                     "usage: quorvel-detection [--fragments] [--all-pairs | --random-pairs N] <list>...\n");
        return 2;
    }
    QStringList lines;
    QSet<QString> seen;
    for (const QString &path : std::as_const(args)) {
        for (const QString &l : readList(path)) {
            const QString line = l.trimmed();
            if (!hasChinese(line) || seen.contains(line))
                continue;
            // Only lines GBK can hold: the word file is meant to be GBK.
            if (TextFile::decode(TextFile::encode(line)) != line)
                continue;
            seen.insert(line);
            lines << line;
        }
    }
    if (fragments) {
        const QStringList words{QStringLiteral("a"), QStringLiteral("go"), QStringLiteral("cat"),
                                QStringLiteral("why"), QStringLiteral("hill")};
        QSet<QString> seenFragments;
        QStringList shortLines;
        for (const QString &line : std::as_const(lines)) {
            const QString meaning = line.mid(line.indexOf(QStringLiteral("  ")) + 2);
            qsizetype start = 0;
            for (qsizetype i = 0; i <= meaning.size(); ++i) {
                const bool hanzi =
                    i < meaning.size() && meaning[i].unicode() >= 0x4E00 && meaning[i].unicode() <= 0x9FFF;
                if (hanzi)
                    continue;
                for (qsizetype len = 1; len <= 3; ++len) {
                    for (qsizetype j = start; j + len <= i; ++j) {
                        const QString f = meaning.mid(j, len);
                        if (!seenFragments.contains(f)) {
                            seenFragments.insert(f);
                            shortLines << words[shortLines.size() % words.size()] + QStringLiteral("  ") + f;
                        }
                    }
                }
                start = i + 1;
            }
        }
        lines = shortLines;
    }
    const QString crlf = QStringLiteral("\r\n");
    Rate gbk1, utf1, gbk2, utf2;
    for (const QString &l : std::as_const(lines))
        check(gbk1, utf1, l + crlf);
    const qsizetype n = lines.size();
    if (allPairs) {
        for (qsizetype i = 0; i < n; ++i)
            for (qsizetype j = 0; j < n; ++j)
                if (i != j)
                    check(gbk2, utf2, lines[i] + crlf + lines[j] + crlf);
    } else if (randomPairs > 0 && n > 1) {
        QRandomGenerator rng(20261207);
        for (qint64 k = 0; k < randomPairs; ++k) {
            const qsizetype i = rng.bounded(n);
            const qsizetype j = rng.bounded(n);
            check(gbk2, utf2, lines[i] + crlf + lines[j] + crlf);
        }
    } else {
        for (qsizetype i = 0; i + 1 < n; ++i)
            check(gbk2, utf2, lines[i] + crlf + lines[i + 1] + crlf);
    }
    std::printf("%lld distinct lines with Chinese\n", static_cast<long long>(n));
    report("GBK, one line per file:", gbk1);
    report("GBK, two lines per file:", gbk2);
    report("UTF-8, one line per file:", utf1);
    report("UTF-8, two lines per file:", utf2);
    return 0;
}
