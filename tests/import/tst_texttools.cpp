// The import window's two replace tools.
#include "import/TextTools.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QTest>

class TestTextTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replaceAll_data();
    void replaceAll();
    void oneLinePairsBecomeTheFormat();
    void editorText_data();
    void editorText();
};

void TestTextTools::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty search changes nothing") << QStringLiteral("a A") << QString() << QStringLiteral("b")
                                                  << QStringLiteral("a A");
    QTest::newRow("letter case ignored") << QStringLiteral("a A") << QStringLiteral("A") << QStringLiteral("b")
                                         << QStringLiteral("b b");
    QTest::newRow("case ignored in longer text") << QStringLiteral("Apple APPLE apple") << QStringLiteral("aPPle")
                                                 << QStringLiteral("x") << QStringLiteral("x x x");
    QTest::newRow("non-overlapping, left to right") << QStringLiteral("aaaa") << QStringLiteral("aa")
                                                    << QStringLiteral("b") << QStringLiteral("bb");
    QTest::newRow("odd run leaves the tail") << QStringLiteral("aaa") << QStringLiteral("aa") << QStringLiteral("b")
                                             << QStringLiteral("ba");
    QTest::newRow("inserted text not searched again") << QStringLiteral("a;b") << QStringLiteral(";")
                                                      << QStringLiteral(";;") << QStringLiteral("a;;b");
    QTest::newRow("replacement containing the search") << QStringLiteral("xx") << QStringLiteral("x")
                                                       << QStringLiteral("xyx") << QStringLiteral("xyxxyx");
    QTest::newRow("empty replacement deletes") << QStringLiteral("a=b=c") << QStringLiteral("=") << QString()
                                               << QStringLiteral("abc");
    QTest::newRow("no match") << QStringLiteral("abc") << QStringLiteral("z") << QStringLiteral("y")
                              << QStringLiteral("abc");
    QTest::newRow("search longer than text") << QStringLiteral("ab") << QStringLiteral("abc") << QStringLiteral("y")
                                             << QStringLiteral("ab");
    QTest::newRow("Chinese and full-width stay exact") << QStringLiteral("苹果ＡA") << QStringLiteral("a")
                                                       << QStringLiteral("-") << QStringLiteral("苹果Ａ-");
    QTest::newRow("across line ends") << QStringLiteral("a=1\r\nb=2\r\n") << QStringLiteral("=")
                                      << QStringLiteral("  ") << QStringLiteral("a  1\r\nb  2\r\n");
    QTest::newRow("line break tool") << QStringLiteral("a;b;c") << QStringLiteral(";") << TextTools::lineBreak()
                                     << QStringLiteral("a\r\nb\r\nc");
}

void TestTextTools::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    bool changed = true;
    QCOMPARE(TextTools::replaceAll(text, search, replacement, &changed), expected);
    QCOMPARE(changed, expected != text);
}

void TestTextTools::oneLinePairsBecomeTheFormat()
{
    // word=meaning pairs on one line: "=" by two spaces, ";" by a line break, then the reader.
    QString text = QStringLiteral("apple=苹果;book=书;ice cream=冰淇淋");
    text = TextTools::replaceAll(text, QStringLiteral("="), QStringLiteral("  "));
    text = TextTools::replaceAll(text, QStringLiteral(";"), TextTools::lineBreak());
    QCOMPARE(text, QStringLiteral("apple  苹果\r\nbook  书\r\nice cream  冰淇淋"));
    WordListModel list;
    Module1::ImportWordPairs(text, list);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.entry(2).word, QStringLiteral("ice cream"));
    QCOMPARE(list.entry(2).meaning, QStringLiteral("冰淇淋"));
}

void TestTextTools::editorText_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("expected");
    QTest::newRow("every line end") << u"a\u2029b\u2028c\rd\ne\r\nf"_qs << u"a\r\nb\r\nc\r\nd\r\ne\r\nf"_qs;
    QTest::newRow("pair kept") << u"\U00020000  \U0001F600\u2029"_qs << u"\U00020000  \U0001F600\r\n"_qs;
    // Halves of characters, as the saved bank reads back.
    const QChar high(0xD840), low(0xDC00);
    QTest::newRow("lone high at the end") << u"x  "_qs + high << u"x  \uFFFD"_qs;
    QTest::newRow("lone low, no line end") << QString(low) + u"y"_qs << u"\uFFFDy"_qs;
    QTest::newRow("high before a line end") << QString(high) + u"\r\n"_qs + low << u"\uFFFD\r\n\uFFFD"_qs;
    QTest::newRow("low before high") << QString(low) + high << u"\uFFFD\uFFFD"_qs;
}

void TestTextTools::editorText()
{
    QFETCH(QString, raw);
    QFETCH(QString, expected);
    QCOMPARE(TextTools::fromEditorText(raw), expected);
}

QTEST_GUILESS_MAIN(TestTextTools)
#include "tst_texttools.moc"
