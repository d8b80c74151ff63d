// The list model: duplicate index, batch changes as single operations, selection surviving them.
#include "ChildProcess.h"
#include "ListHelpers.h"
#include "wordlist/WordListModel.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>

using namespace ListHelpers;

namespace {
} // namespace

class TestWordListModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void batchDropsDuplicatesInOrderWithOneSignal();
    void keyIndexSurvivesGrowthAndRemoval();
    void scatteredRemovalKeepsOrderAndSelection();
    void editKeepsTheKey();
    void editedKeySurvives_data();
    void editedKeySurvives();
    void compactionKeepsOrderSelectionAndKeys();
    void repeatedEditsDoNotPileUpText();
    void listLeavesRoomUnderAnAddressSpaceLimit();
};

void TestWordListModel::batchDropsDuplicatesInOrderWithOneSignal()
{
    WordListModel m;
    m.addEntry(u"a"_qs, u"1"_qs);
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    const int added = appendEntries(m, batchOf({u"b|2"_qs, u"a|1"_qs, u"c|3"_qs, u"b|2"_qs, u"1a|"_qs}));
    QCOMPARE(added, 2);
    QCOMPARE(words(m), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs}));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 1);
    QCOMPARE(inserted.first().at(2).toInt(), 2);
    QCOMPARE(appendEntries(m, batchOf({u"a|1"_qs})), 0);
    QCOMPARE(inserted.size(), 1);
}

void TestWordListModel::keyIndexSurvivesGrowthAndRemoval()
{
    WordListModel m;
    std::vector<WordPair> batch;
    for (int i = 0; i < 5000; ++i)
        batch.push_back(WordPair{u"w%1"_qs.arg(i), u"m"_qs});
    QCOMPARE(appendEntries(m, batch), 5000);
    QVERIFY(m.containsKey(u"mw4999"_qs));
    QList<int> odd;
    for (int i = 1; i < 5000; i += 2)
        odd << i;
    m.removeEntries(odd);
    QCOMPARE(m.count(), 2500);
    QVERIFY(!m.containsKey(u"mw4999"_qs));
    QVERIFY(m.containsKey(u"mw4998"_qs));
    QVERIFY(m.addEntry(u"w4999"_qs, u"m"_qs));
    QVERIFY(!m.addEntry(u"w0"_qs, u"m"_qs));
    m.clear();
    QCOMPARE(m.count(), 0);
    QVERIFY(m.addEntry(u"w0"_qs, u"m"_qs));
}

void TestWordListModel::scatteredRemovalKeepsOrderAndSelection()
{
    WordListModel m;
    appendEntries(m, batchOf({u"r1|"_qs, u"r2|"_qs, u"r3|"_qs, u"r4|"_qs, u"r5|"_qs, u"r6|"_qs}));
    QItemSelectionModel selection(&m);
    // Rows 2, 3, 5 are deleted; row 6 is selected too but stays (only some are removed).
    const QPersistentModelIndex keep = m.index(5, 0);
    selection.select(keep, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.setCurrentIndex(m.index(3, 0), QItemSelectionModel::NoUpdate);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    m.removeEntries({4, 1, 2, 2});
    QCOMPARE(words(m), (QStringList{u"r1"_qs, u"r4"_qs, u"r6"_qs}));
    QCOMPARE(removed.size(), 1);
    QVERIFY(selection.isRowSelected(2, {}));
    QVERIFY(!selection.isRowSelected(0, {}));
    QCOMPARE(selection.currentIndex().row(), 1);
    QCOMPARE(keep.row(), 2);

    m.removeEntries({0, 1, 2});
    QCOMPARE(m.count(), 0);
    m.removeEntries({0});
    QCOMPARE(m.count(), 0);
}

void TestWordListModel::editKeepsTheKey()
{
    WordListModel m;
    m.addEntry(u"apple"_qs, u"苹果"_qs);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    m.setEntry(0, u"pear"_qs, u"梨"_qs);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(m.entry(0).key(), u"苹果apple"_qs);
    QVERIFY(m.containsKey(u"苹果apple"_qs));
    QVERIFY(!m.containsKey(u"梨pear"_qs));
    QCOMPARE(m.data(m.index(0, 1)).toString(), u"梨"_qs);
    // Edited back to its original content, the entry needs no stored key any more.
    m.setEntry(0, u"apple"_qs, u"苹果"_qs);
    QVERIFY(!m.hasEditedKey(0));
    QVERIFY(!m.addEntry(u"apple"_qs, u"苹果"_qs));
}

void TestWordListModel::editedKeySurvives_data()
{
    // What happens to the list after row "b" (key 2b) was edited to "x"/"9".
    QTest::addColumn<int>("then");
    QTest::newRow("nothing") << 0;
    QTest::newRow("sorted") << 1;
    QTest::newRow("rows before it removed") << 2;
    QTest::newRow("compacted") << 3;
    QTest::newRow("edited again") << 4;
}

void TestWordListModel::editedKeySurvives()
{
    QFETCH(int, then);
    WordListModel m;
    appendEntries(m, batchOf({u"a|1"_qs, u"b|2"_qs, u"c|3"_qs, u"d|4"_qs}));
    m.setEntry(1, u"x"_qs, u"9"_qs);
    QString word = u"x"_qs;
    switch (then) {
    case 1:
        m.reorder({3, 2, 1, 0});
        break;
    case 2:
        m.removeEntries({0});
        break;
    case 3:
        m.compact();
        break;
    case 4:
        m.setEntry(1, u"y"_qs, u"8"_qs);
        word = u"y"_qs;
        break;
    }
    const int row = int(words(m).indexOf(word));
    QVERIFY(row >= 0);
    QCOMPARE(m.entry(row).key(), u"2b"_qs);
    QVERIFY(m.hasEditedKey(row));
    // The old content is still taken; the new one is not, so it can be added once.
    QVERIFY(!m.addEntry(u"b"_qs, u"2"_qs));
    QVERIFY(m.addEntry(word, m.entry(row).meaning.toString()));
    QVERIFY(!m.addEntry(u"c"_qs, u"3"_qs));
}

void TestWordListModel::compactionKeepsOrderSelectionAndKeys()
{
    WordListModel m;
    std::vector<WordPair> batch;
    for (int i = 0; i < 300; ++i)
        batch.push_back(WordPair{u"w%1"_qs.arg(i), u"意%1"_qs.arg(i)});
    appendEntries(m, batch);
    m.setEntry(10, u"edited"_qs, u"改"_qs);
    QList<int> scattered;
    for (int i = 0; i < 300; i += 3)
        scattered << i;
    m.removeEntries(scattered);
    QVERIFY(m.textUnits() > m.liveTextUnits()); // removed and edited text is still held

    QItemSelectionModel selection(&m);
    selection.select(m.index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.setCurrentIndex(m.index(7, 1), QItemSelectionModel::NoUpdate);
    const QPersistentModelIndex held = m.index(150, 0);
    QStringList before;
    for (const WordEntry &e : m.entries())
        before << e.word.toString() + u'|' + e.meaning.toString() + u'|' + e.key().toString();
    QSignalSpy layout(&m, &QAbstractItemModel::layoutChanged);
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);

    m.compact();
    QCOMPARE(m.textUnits(), m.liveTextUnits());
    QStringList after;
    for (const WordEntry &e : m.entries())
        after << e.word.toString() + u'|' + e.meaning.toString() + u'|' + e.key().toString();
    QCOMPARE(after, before);
    QVERIFY(after.contains(u"edited|改|意10w10"_qs));
    QCOMPARE(layout.size() + reset.size(), 0);
    QVERIFY(selection.isRowSelected(4, {}));
    QCOMPARE(selection.selectedRows().size(), 1);
    QCOMPARE(selection.currentIndex(), m.index(7, 1));
    QCOMPARE(held.row(), 150);
    // The index still finds every key, and only those.
    QVERIFY(!m.addEntry(u"w299"_qs, u"意299"_qs));
    QVERIFY(m.addEntry(u"w0"_qs, u"意0"_qs)); // removed above

    m.clear();
    QCOMPARE(m.textUnits(), 0);
    QVERIFY(!selection.hasSelection());
    QVERIFY(m.addEntry(u"w1"_qs, u"意1"_qs));
}

void TestWordListModel::repeatedEditsDoNotPileUpText()
{
    // A list left running for months is edited again and again: the old texts must not stay.
    WordListModel m;
    m.addEntry(u"a"_qs, u"1"_qs);
    m.addEntry(u"b"_qs, u"2"_qs);
    for (int i = 0; i < 40; ++i)
        m.setEntry(i % 2, QString(200000, QChar(u'a' + i % 26)), u"长"_qs);
    QVERIFY2(m.textUnits() < 3 * m.liveTextUnits() + (1 << 20), qPrintable(QString::number(m.textUnits())));
    QCOMPARE(m.entry(1).key(), u"2b"_qs);
    QCOMPARE(m.word(1).size(), 200000);
}

void TestWordListModel::listLeavesRoomUnderAnAddressSpaceLimit()
{
#if !defined(Q_OS_LINUX) || defined(__SANITIZE_ADDRESS__)
    QSKIP("needs a limit on the address space (Linux, no sanitizer)");
#else
    // Under ulimit -v the list's text reserves a share of what is left, not all it can get: with
    // 1 GiB to spare, a 640 MiB buffer (a file being decoded) still fits beside a list.
    const auto listAndBuffer = [] {
        WordListModel list;
        return list.addEntry(u"apple"_qs, u"苹果"_qs) && std::malloc(size_t(640) << 20);
    };
    QCOMPARE(runInChild(listAndBuffer, rlim_t(1) << 30), 0);
#endif
}

QTEST_GUILESS_MAIN(TestWordListModel)
#include "tst_wordlistmodel.moc"
