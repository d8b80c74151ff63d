// The list's one-time sort: shared direction, textual, case-insensitive, stable, pinyin.
#include "ListHelpers.h"
#include "TestEnv.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordListSorter.h"
#include "wordlist/WordPairs.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

using namespace ListHelpers;

namespace {
// "word|meaning" pairs, in list order.
void fill(WordListModel &m, const QStringList &pairs)
{
    ListHelpers::appendEntries(m, ListHelpers::batchOf(pairs));
}

QStringList sorted(const QStringList &texts, Qt::SortOrder order)
{
    std::vector<QStringView> views(texts.begin(), texts.end());
    QStringList out;
    for (int row : WordListSorter::sortedOrder(views, order))
        out << texts[row];
    return out;
}
} // namespace

class TestWordListSorter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void directionIsSharedByBothColumns_data();
    void directionIsSharedByBothColumns();
    void order_data();
    void order();
    void chineseByPinyin();
    void agreesWithTheCollatorOnRandomText();
    void laterEntriesAreAppendedAndKeysStillHold();
};

void TestWordListSorter::directionIsSharedByBothColumns_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("expected"); // words after the last click
    QTest::addColumn<int>("direction");

    // Words and meanings are ordered against each other, so each column gives its own order.
    QTest::newRow("英文 once: descending")
        << QList<int>{0} << QStringList{u"c"_qs, u"b"_qs, u"a"_qs} << int(Qt::DescendingOrder);
    QTest::newRow("英文 twice: ascending")
        << QList<int>{0, 0} << QStringList{u"a"_qs, u"b"_qs, u"c"_qs} << int(Qt::AscendingOrder);
    QTest::newRow("英文 three times: descending")
        << QList<int>{0, 0, 0} << QStringList{u"c"_qs, u"b"_qs, u"a"_qs} << int(Qt::DescendingOrder);
    // The second click flips the direction although it is on the other column.
    QTest::newRow("英文 then 中文: meaning ascending")
        << QList<int>{0, 1} << QStringList{u"c"_qs, u"b"_qs, u"a"_qs} << int(Qt::AscendingOrder);
    QTest::newRow("中文 once: meaning descending")
        << QList<int>{1} << QStringList{u"a"_qs, u"b"_qs, u"c"_qs} << int(Qt::DescendingOrder);
}

void TestWordListSorter::directionIsSharedByBothColumns()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, expected);
    QFETCH(int, direction);
    WordListModel m;
    fill(m, {u"b|y"_qs, u"a|z"_qs, u"c|x"_qs});
    WordListSorter sorter;
    QCOMPARE(sorter.direction(), Qt::AscendingOrder);
    for (int column : clicks)
        sorter.sortByColumn(m, column);
    QCOMPARE(int(sorter.direction()), direction);
    QCOMPARE(words(m), expected);
}

void TestWordListSorter::order_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("ascending");
    QTest::addColumn<QStringList>("descending");

    QTest::newRow("textual, not numeric") << QStringList{u"9"_qs, u"10"_qs, u"100"_qs, u"2"_qs}
                                          << QStringList{u"10"_qs, u"100"_qs, u"2"_qs, u"9"_qs}
                                          << QStringList{u"9"_qs, u"2"_qs, u"100"_qs, u"10"_qs};
    QTest::newRow("letter case ignored")
        << QStringList{u"banana"_qs, u"Apple"_qs, u"cherry"_qs, u"apricot"_qs}
        << QStringList{u"Apple"_qs, u"apricot"_qs, u"banana"_qs, u"cherry"_qs}
        << QStringList{u"cherry"_qs, u"banana"_qs, u"apricot"_qs, u"Apple"_qs};
    // Entries equal but for case keep their list order, in both directions.
    QTest::newRow("stable") << QStringList{u"b"_qs, u"B"_qs, u"a"_qs, u"A"_qs, u"b"_qs}
                            << QStringList{u"a"_qs, u"A"_qs, u"b"_qs, u"B"_qs, u"b"_qs}
                            << QStringList{u"b"_qs, u"B"_qs, u"b"_qs, u"a"_qs, u"A"_qs};
    QTest::newRow("prefix first") << QStringList{u"ice cream"_qs, u"ice"_qs, u"icebox"_qs}
                                  << QStringList{u"ice"_qs, u"ice cream"_qs, u"icebox"_qs}
                                  << QStringList{u"icebox"_qs, u"ice cream"_qs, u"ice"_qs};
    QTest::newRow("empty first") << QStringList{u"a"_qs, QString(), u"b"_qs}
                                 << QStringList{QString(), u"a"_qs, u"b"_qs}
                                 << QStringList{u"b"_qs, u"a"_qs, QString()};
}

void TestWordListSorter::order()
{
    if (runningUnderWine() && qstrcmp(QTest::currentDataTag(), "stable") == 0)
        QSKIP("Wine's sort keys keep letter case; Windows' own ignore it as asked");
    QFETCH(QStringList, texts);
    QFETCH(QStringList, ascending);
    QFETCH(QStringList, descending);
    QCOMPARE(sorted(texts, Qt::AscendingOrder), ascending);
    QCOMPARE(sorted(texts, Qt::DescendingOrder), descending);
}

void TestWordListSorter::chineseByPinyin()
{
#if defined(Q_OS_WIN)
    // Windows' own zh-CN collation sorts by pronunciation; only Wine's lacks it.
    if (runningUnderWine() && !WordListSorter::hasPinyinOrder())
        QSKIP("Wine's collation has no pinyin order");
#elif !defined(Q_OS_LINUX)
    if (!WordListSorter::hasPinyinOrder())
        QSKIP("this platform's collation has no pinyin order");
#endif
    QVERIFY(WordListSorter::hasPinyinOrder());
    // 香蕉 xiangjiao, 阿姨 ayi, 苹果 pingguo, 苹 ping, 中文 zhongwen; code points give another order.
    const QStringList texts{u"香蕉"_qs, u"阿姨"_qs, u"苹果"_qs, u"中文"_qs, u"苹"_qs};
    QCOMPARE(sorted(texts, Qt::AscendingOrder),
             (QStringList{u"阿姨"_qs, u"苹"_qs, u"苹果"_qs, u"香蕉"_qs, u"中文"_qs}));
}

void TestWordListSorter::agreesWithTheCollatorOnRandomText()
{
    if (runningUnderWine())
        QSKIP("Wine's sort keys and its string comparison disagree on punctuation; Windows' agree");
    // Long shared beginnings, mixed scripts, digits, punctuation and case: the fast key comparison
    // must give exactly the collator's order, with ties in list order.
    QRandomGenerator rng(7);
    const QStringList stems{u"inter"_qs, u"Inter"_qs,     u"international"_qs, u"国际"_qs, u"苹果"_qs,
                            u"10"_qs,    u"ice cream"_qs, u"naïve"_qs,         u"C#"_qs,   QString()};
    const QString tails = u"aAbBzZ09 -'苹果香蕉中文阿"_qs;
    QStringList texts;
    for (int i = 0; i < 3000; ++i) {
        QString t = stems[rng.bounded(stems.size())];
        const int extra = rng.bounded(6);
        for (int k = 0; k < extra; ++k)
            t += tails[rng.bounded(tails.size())];
        texts << t;
    }
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        std::vector<QStringView> views(texts.begin(), texts.end());
        const std::vector<int> rows = WordListSorter::sortedOrder(views, order);
        QCOMPARE(rows.size(), size_t(texts.size()));
        for (size_t i = 1; i < rows.size(); ++i) {
            const QString &a = texts[rows[i - 1]];
            const QString &b = texts[rows[i]];
            int c = collator.compare(a, b);
            if (order == Qt::DescendingOrder)
                c = -c;
            if (c > 0 || (c == 0 && rows[i - 1] > rows[i]))
                QFAIL(qPrintable(u"\"%1\" (row %2) before \"%3\" (row %4)"_qs.arg(a)
                                     .arg(rows[i - 1])
                                     .arg(b)
                                     .arg(rows[i])));
        }
    }
}

void TestWordListSorter::laterEntriesAreAppendedAndKeysStillHold()
{
    WordListModel m;
    fill(m, {u"pear|梨"_qs, u"apple|苹果"_qs, u"fig|无花果"_qs});
    WordListSorter sorter;
    sorter.sortByColumn(m, 0);
    sorter.sortByColumn(m, 0);
    QCOMPARE(words(m), (QStringList{u"apple"_qs, u"fig"_qs, u"pear"_qs}));
    Module1::ImportWordPairs(u"banana  香蕉\r\napple  苹果\r\naardvark  土豚\r\n"_qs, m);
    QCOMPARE(words(m), (QStringList{u"apple"_qs, u"fig"_qs, u"pear"_qs, u"banana"_qs, u"aardvark"_qs}));
    QVERIFY(!m.addEntry(u"pear"_qs, u"梨"_qs));
    QVERIFY(m.containsKey(u"无花果fig"_qs));
}

QTEST_GUILESS_MAIN(TestWordListSorter)
#include "tst_wordlistsorter.moc"
