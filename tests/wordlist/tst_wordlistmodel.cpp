// The list model: duplicate index, batch changes as single operations, selection surviving them.
#include "ListHelpers.h"
#include "wordlist/WordListModel.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

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
};

void TestWordListModel::batchDropsDuplicatesInOrderWithOneSignal()
{
    WordListModel m;
    m.addEntry(u"a"_qs, u"1"_qs);
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    const int added = m.appendEntries(batchOf({u"b|2"_qs, u"a|1"_qs, u"c|3"_qs, u"b|2"_qs, u"1a|"_qs}));
    QCOMPARE(added, 2);
    QCOMPARE(words(m), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs}));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 1);
    QCOMPARE(inserted.first().at(2).toInt(), 2);
    QCOMPARE(m.appendEntries(batchOf({u"a|1"_qs})), 0);
    QCOMPARE(inserted.size(), 1);
}

void TestWordListModel::keyIndexSurvivesGrowthAndRemoval()
{
    WordListModel m;
    std::vector<WordPair> batch;
    for (int i = 0; i < 5000; ++i)
        batch.push_back(WordPair{u"w%1"_qs.arg(i), u"m"_qs});
    QCOMPARE(m.appendEntries(batch), 5000);
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
    m.appendEntries(batchOf({u"r1|"_qs, u"r2|"_qs, u"r3|"_qs, u"r4|"_qs, u"r5|"_qs, u"r6|"_qs}));
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

QTEST_GUILESS_MAIN(TestWordListModel)
#include "tst_wordlistmodel.moc"
