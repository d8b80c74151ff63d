// The word-pair reader (both directions) and writer.
#include "ListHelpers.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"
#include "text/GbkCodec.h"

#include <QTemporaryDir>

#include <QRandomGenerator>
#include <QTest>

namespace {
// The tables write ␣ for a space, ⇥ for a tab and ▯ for an ideographic space.
QString vis(QString s)
{
    return s.replace(u'␣', u' ').replace(u'⇥', u'\t').replace(u'▯', QChar(0x3000));
}

QStringList rows(const WordListModel &list)
{
    QStringList out;
    for (const WordEntry &e : list.entries())
        out << e.word.toString() + u'|' + e.meaning.toString();
    return out;
}

// The bank's bytes read both ways, into lists that already hold `before`: field by field from the
// bytes, and as text by the general reader. Returns false (and says where) when they differ.
// The byte reader as the bank is loaded: on bytes of its own, which it gives back as it reads.
bool readersAgree(const QByteArray &bytes, const QByteArray &before = {})
{
    WordListModel fromBytes, fromText;
    Module1::ImportWordPairs(TextFile::normaliseLineEnds(GbkCodec::decode(before)), fromBytes);
    Module1::ImportWordPairs(TextFile::normaliseLineEnds(GbkCodec::decode(before)), fromText);
    if (!WordPairs::importWordBank(QByteArray(bytes.constData(), bytes.size()), fromBytes))
        return false;
    Module1::ImportWordPairs(TextFile::decodeWordBank(bytes), fromText);
    QStringList a = rows(fromBytes), b = rows(fromText);
    for (int i = 0; i < fromBytes.count() && i < fromText.count(); ++i) {
        a[i] += u'|' + fromBytes.entry(i).key().toString();
        b[i] += u'|' + fromText.entry(i).key().toString();
    }
    if (a == b)
        return true;
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    qWarning() << "bytes:" << bytes.left(200).toHex(' ') << "\nfirst difference at entry" << i << ":"
               << a.mid(i, 3) << "from bytes," << b.mid(i, 3) << "from text";
    return false;
}
} // namespace

class TestWordPairs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void forwardLine_data();
    void forwardLine();
    void reversedLine_data();
    void reversedLine();
    void duplicatesAndKeys();
    void wholeTexts();
    void writer_data();
    void writer();
    void writerReadBack_data();
    void writerReadBack();
    void roundTripOfRandomEntries();
    void bankReaderMatchesTextReader_data();
    void bankReaderMatchesTextReader();
    void bankReaderMatchesTextReaderOnRandomBytes();
    void writtenFileMatchesEncodedList();
    void bankIsGbkUnlessItHasAByteOrderMark_data();
    void bankIsGbkUnlessItHasAByteOrderMark();
    void bankThatBeginsLikeAMarkReadsBack();
};

void TestWordPairs::forwardLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected"); // word|meaning, or empty when the line is skipped
    auto row = [](const char *name, const char *line, QStringList expected) {
        QTest::newRow(name) << vis(QString::fromUtf8(line)) << expected;
    };
    row("double space", "apple␣␣苹果", {u"apple|苹果"_qs});
    row("tab", "apple⇥苹果", {u"apple|苹果"_qs});
    row("single space", "apple␣苹果", {u"apple|苹果"_qs});
    row("last single space", "ice␣cream␣冰淇淋", {u"ice cream|冰淇淋"_qs});
    row("spaces removed from meaning", "ice␣cream␣␣冰␣淇淋", {u"ice cream|冰淇淋"_qs});
    row("no double space: last single", "abandon␣放弃␣抛弃", {u"abandon 放弃|抛弃"_qs});
    row("first double space", "a␣␣b␣␣c", {u"a|bc"_qs});
    row("one part", "apple", {u"apple|"_qs});
    row("ideographic space is no separator", "apple▯苹果", {vis(u"apple▯苹果|"_qs)});
    row("ideographic spaces removed from meaning", "apple␣␣苹▯果", {u"apple|苹果"_qs});
    row("meaning empty after removal", "apple␣␣▯", {});
    row("empty line", "", {});
    row("spaces only", "␣␣␣", {});
    row("outer spaces trimmed", "␣␣apple␣␣苹果␣␣", {u"apple|苹果"_qs});
    row("tab at the end is trimmed", "apple⇥", {u"apple|"_qs});
    row("lone CR stays in the line", "a\rb␣␣c", {u"a\rb|c"_qs});
}

void TestWordPairs::forwardLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    WordListModel list;
    Module1::ImportWordPairs(line, list);
    QCOMPARE(rows(list), expected);
}

void TestWordPairs::reversedLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char *name, const char *line, QStringList expected) {
        QTest::newRow(name) << vis(QString::fromUtf8(line)) << expected;
    };
    row("double space", "苹果␣␣apple", {u"apple|苹果"_qs});
    row("last single space", "苹果␣apple␣pie", {u"pie|苹果 apple"_qs});
    row("inner spaces kept", "to␣give␣up␣␣abandon", {u"abandon|to give up"_qs});
    row("one part not exchanged", "苹果", {u"苹果|"_qs});
    row("ideographic spaces kept", "天真▯的␣␣naive", {vis(u"naive|天真▯的"_qs)});
    row("empty side", "␣␣apple", {u"apple|"_qs});
}

void TestWordPairs::reversedLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    WordListModel list;
    Module1::ImportWordPairsReversed(line, list);
    QCOMPARE(rows(list), expected);
}

void TestWordPairs::duplicatesAndKeys()
{
    WordListModel list;
    Module1::ImportWordPairs(vis(u"apple␣␣苹果\r\napple␣␣苹果\r\napple␣苹果"_qs), list);
    QCOMPARE(list.count(), 1);

    // Same key from a different pair: dropped.
    Module1::ImportWordPairs(vis(u"ab␣␣c\r\nb␣␣ca"_qs), list);
    QCOMPARE(rows(list), (QStringList{u"apple|苹果"_qs, u"ab|c"_qs}));

    // A one-part line equal to a key is a duplicate; keys compare exactly (case-sensitive).
    Module1::ImportWordPairs(u"苹果apple\r\n苹果Apple"_qs, list);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.entry(2).word, u"苹果Apple"_qs);

    // Forward and reverse give the same key.
    Module1::ImportWordPairsReversed(vis(u"苹果␣␣apple"_qs), list);
    QCOMPARE(list.count(), 3);

    // After an edit the old content is still a duplicate and the new one is not, until re-read.
    list.setEntry(0, u"pear"_qs, u"梨"_qs);
    Module1::ImportWordPairs(vis(u"apple␣␣苹果\r\npear␣␣梨"_qs), list);
    QCOMPARE(list.count(), 4);
    QCOMPARE(list.entry(3).word, u"pear"_qs);
    QVERIFY(list.containsKey(u"苹果apple"_qs));
}

void TestWordPairs::wholeTexts()
{
    WordListModel list;
    Module1::ImportWordPairs(QString(), list);
    QCOMPARE(list.count(), 0);
    Module1::ImportWordPairs(u"a  1\r\n\r\nb  2\r\n"_qs, list);
    QCOMPARE(rows(list), (QStringList{u"a|1"_qs, u"b|2"_qs}));
    // Appends after what is there; order of the text kept.
    Module1::ImportWordPairs(u"c  3\r\na  1\r\nd  4"_qs, list);
    QCOMPARE(rows(list), (QStringList{u"a|1"_qs, u"b|2"_qs, u"c|3"_qs, u"d|4"_qs}));
}

void TestWordPairs::writer_data()
{
    QTest::addColumn<QStringList>("entries"); // word|meaning
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty list") << QStringList{} << QByteArray("\r\n");
    QTest::newRow("apple") << QStringList{u"apple|苹果"_qs}
                           << QByteArray::fromHex("6170706C652020C6BBB9FB0D0A");
    QTest::newRow("no meaning") << QStringList{u"apple|"_qs} << QByteArray("apple\r\n");
    QTest::newRow("both empty writes nothing") << QStringList{u"|"_qs, u"a|b"_qs} << QByteArray("a  b\r\n");
    QTest::newRow("empty word") << QStringList{u"|x"_qs} << QByteArray("x\r\n");
    QTest::newRow("outer spaces trimmed") << QStringList{u" a |b "_qs} << QByteArray("a   b\r\n");
    QTest::newRow("outside GBK kept as GB18030") << QStringList{u"x|𠀀"_qs} << QByteArray::fromHex("78202095328236")
                                                                                  + "\r\n";
    QTest::newRow("euro as GBK writes it") << QStringList{u"€|x"_qs} << QByteArray("\x80  x\r\n");
}

void TestWordPairs::writer()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);
    WordListModel list;
    // Entries as an edit may leave them, so the writer sees exactly these fields.
    for (const QString &e : entries) {
        list.addEntry(QString(u"placeholder"_qs + QString::number(list.count())), QString());
        list.setEntry(list.count() - 1, e.section(u'|', 0, 0), e.section(u'|', 1));
    }
    QCOMPARE(WordPairs::encodeList(list), bytes);
}

void TestWordPairs::writerReadBack_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<QString>("readBack"); // word|meaning after writing and reading again
    QTest::newRow("reverse import meaning loses spaces") << u"abandon"_qs << u"to give up"_qs << u"abandon|togiveup"_qs;
    QTest::newRow("word with space and no meaning") << u"ice cream"_qs << QString() << u"ice|cream"_qs;
    QTest::newRow("empty list reads nothing") << QString() << QString() << QString();
}

void TestWordPairs::writerReadBack()
{
    QFETCH(QString, word);
    QFETCH(QString, meaning);
    QFETCH(QString, readBack);
    WordListModel list;
    if (!word.isEmpty())
        list.addEntry(word, meaning);
    WordListModel again;
    Module1::ImportWordPairs(TextFile::decode(WordPairs::encodeList(list)), again);
    QCOMPARE(rows(again), readBack.isEmpty() ? QStringList{} : QStringList{readBack});
}

void TestWordPairs::roundTripOfRandomEntries()
{
    // Entries that meet the round-trip conditions come back exactly, in order, through the bytes.
    QRandomGenerator rng(42);
    const QString wordChars = u"abcxyzABC0123456789-'.éü€中文字𠀀 "_qs;
    const QString meaningChars = u"苹果放弃天真的中文abc€ü𠀁é,;"_qs;
    auto pick = [&](const QString &chars, int maxLen, bool allowSpace) {
        QString s;
        const int len = 1 + rng.bounded(maxLen);
        while (s.size() < len) {
            qsizetype i = rng.bounded(chars.size());
            if (chars[i].isLowSurrogate())
                --i;
            const QString c = chars[i].isHighSurrogate() ? chars.mid(i, 2) : chars.mid(i, 1);
            if (c == u" " && (!allowSpace || s.isEmpty() || s.endsWith(u' ')))
                continue;
            s += c;
        }
        while (s.endsWith(u' '))
            s.chop(1);
        return s;
    };
    for (int round = 0; round < 50; ++round) {
        WordListModel list;
        for (int i = 0; i < 200; ++i) {
            const bool noMeaning = rng.bounded(10) == 0;
            const QString meaning = noMeaning ? QString() : pick(meaningChars, 6, false);
            const QString word = pick(wordChars, 12, !noMeaning);
            list.addEntry(word, meaning);
        }
        const QByteArray bytes = WordPairs::encodeList(list);
        WordListModel again;
        Module1::ImportWordPairs(TextFile::decode(bytes), again);
        QCOMPARE(rows(again), rows(list));
    }
}

void TestWordPairs::bankReaderMatchesTextReader_data()
{
    // In GBK: C6BB B9FB = 苹果, A1A1 = ideographic space, 81308130 = a four-byte character.
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("every line end") << QByteArray("a  \xC6\xBB\r\nb \xB9\xFB\nc\rd  e\r\r\nf\n\r");
    QTest::newRow("tabs") << QByteArray("\ta\t\xC6\xBB\t\r\nb\t\tc d\r\n\t\r\n");
    QTest::newRow("spaces at the ends") << QByteArray("   a  b   \r\n  \r\n x \r\n");
    QTest::newRow("ideographic spaces") << QByteArray("a  \xA1\xA1\xC6\xBB\xA1\xA1\r\nb  \xA1\xA1\r\n\xA1\xA1\xA1\xA1\r\n");
    QTest::newRow("broken before a separator") << QByteArray("a\xC6  \xB9\r\n\xC6 \xC6\t\xC6\r\xC6\n\xC6");
    QTest::newRow("four-byte and damaged four-byte")
        << QByteArray("a  \x81\x30\x81\x30\r\nb  \x81\x30 \x30\r\nc  \x81\x30\x81\r\n\x81\x30");
    static const char controls[] = "\x80  \xFF\r\na\0b  c\x0B\x0C\r\nz\x1F  y";
    QTest::newRow("euro, FF, NUL, other controls") << QByteArray(controls, sizeof controls - 1);
    QTest::newRow("duplicates and key clashes") << QByteArray("ab  c\r\nb  ca\r\nab c\r\ncab\r\nab\r\n");
    QTest::newRow("long line") << QByteArray(70000, 'w') + "  " + QByteArray(30000, '\xB0') + "\xA1\r\n";
    // Past the 4 MiB steps in which the reader gives the bytes behind it back, with lines and
    // characters across every step.
    QByteArray large;
    for (int i = 0; large.size() < (9 << 20); ++i)
        large += "word" + QByteArray::number(i) + (i % 7 ? "  \xC6\xBB\xB9\xFB" : "\t\x81\x30\x81\x30 x") + QByteArray::number(i % 13)
                 + (i % 5 ? "\r\n" : "\n");
    QTest::newRow("9 MiB") << large;
}

void TestWordPairs::bankReaderMatchesTextReader()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(readersAgree(bytes));
    // And into a list that already holds some of it.
    QVERIFY(readersAgree(bytes, bytes.left(bytes.size() / 2)));
}

void TestWordPairs::bankReaderMatchesTextReaderOnRandomBytes()
{
    // Texts made of the pieces that matter to the line rules and the decoder, in any order.
    const QByteArray pieces[] = {" ", "  ", "\t", "\r", "\n", "\r\n", "a", "word", "\xC6\xBB", "\xB9\xFB",
                                 "\xA1\xA1", "\xC6", "\x80", "\xFF", "\x81\x30\x81\x30", "\x81\x30", "\x30", "\x7F"};
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        const int count = 1 + rng.bounded(120);
        for (int i = 0; i < count; ++i)
            bytes += pieces[rng.bounded(int(std::size(pieces)))];
        QVERIFY2(readersAgree(bytes, round % 3 == 0 ? bytes.left(rng.bounded(bytes.size() + 1)) : QByteArray()),
                 qPrintable(QString::number(round)));
    }
}

void TestWordPairs::writtenFileMatchesEncodedList()
{
    // The file is written in pieces; no entry may be lost or doubled where one piece ends, and an
    // entry longer than a piece still goes out whole.
    WordListModel list;
    std::vector<WordPair> batch;
    for (int i = 0; i < 60000; ++i)
        batch.push_back(WordPair{u"word%1"_qs.arg(i), u"意思%1"_qs.arg(i % 977)});
    batch.push_back(WordPair{QString(400000, QChar(0x4E2D)), u"长"_qs});
    for (int i = 0; i < 10; ++i)
        batch.push_back(WordPair{u"tail%1"_qs.arg(i), QString()});
    ListHelpers::appendEntries(list, batch);
    QByteArray expected;
    for (const WordPair &p : batch)
        expected += GbkCodec::encode(p.meaning.isEmpty() ? p.word : p.word + u"  " + p.meaning) + "\r\n";
    QCOMPARE(WordPairs::encodeList(list).size(), expected.size());
    QVERIFY(WordPairs::encodeList(list) == expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"list.txt"_qs);
    QVERIFY(WordPairs::writeList(list, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == expected);
}

void TestWordPairs::bankIsGbkUnlessItHasAByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    const QByteArray utf8 = u"apple  苹果\nbook  书\r\n"_qs.toUtf8();
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + utf8 << QStringList{u"apple|苹果"_qs, u"book|书"_qs};
    const QString text = u"apple  苹果\r\n"_qs;
    QTest::newRow("UTF-16 LE with mark")
        << "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
        << QStringList{u"apple|苹果"_qs};
    // The same UTF-8 bytes without a mark are read as GBK, never guessed.
    QTest::newRow("UTF-8 without mark") << utf8
                                        << QStringList{u"apple|"_qs + GbkCodec::decode(utf8.sliced(7, 6)),
                                                       u"book|"_qs + GbkCodec::decode(utf8.sliced(20, 3))};
}

void TestWordPairs::bankIsGbkUnlessItHasAByteOrderMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    WordListModel list;
    WordPairs::importWordBank(QByteArray(bytes), list);
    QCOMPARE(rows(list), expected);
}

void TestWordPairs::bankThatBeginsLikeAMarkReadsBack()
{
    // "锘勘" is EF BB BF B1 in GBK: the first three bytes are UTF-8's byte-order mark.
    WordListModel list;
    list.addEntry(u"锘勘"_qs, u"x"_qs);
    list.addEntry(u"apple"_qs, u"苹果"_qs);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wb.dcb"_qs);
    QVERIFY(WordPairs::writeList(list, path));
    QByteArray bytes;
    QVERIFY(TextFile::readBytes(path, &bytes));
    WordListModel again;
    WordPairs::importWordBank(std::move(bytes), again);
    QCOMPARE(rows(again), rows(list));
}

QTEST_GUILESS_MAIN(TestWordPairs)
#include "tst_wordpairs.moc"
