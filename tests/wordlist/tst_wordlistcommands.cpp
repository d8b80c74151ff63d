// Delete of the view's selection: every selected row goes in one operation, the rest stay as they were.
#include "ListHelpers.h"
#include "wordlist/WordListCommands.h"
#include "wordlist/WordListModel.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

using namespace ListHelpers;

namespace {
void fill(WordListModel &m, int n)
{
    std::vector<WordPair> batch;
    for (int i = 1; i <= n; ++i)
        batch.push_back(WordPair{QString::number(i), u"m"_qs});
    appendEntries(m, batch);
}

// Selects whole rows (0-based), one range per row as ctrl-clicks make them.
void selectRows(WordListModel &m, QItemSelectionModel &s, const QList<int> &rows)
{
    QItemSelection selection;
    for (int r : rows)
        selection.select(m.index(r, 0), m.index(r, 1));
    s.select(selection, QItemSelectionModel::ClearAndSelect);
}
} // namespace

class TestWordListCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void removeSelected_data();
    void removeSelected();
    void manyScatteredRowsInTwoSignals();
    void selectionOfOneColumnCountsAsTheRow();
    void currentEntry_data();
    void currentEntry();
};

void TestWordListCommands::removeSelected_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("selected"); // 1-based positions
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("current"); // word of the current row afterwards, empty for none

    QTest::newRow("2, 3 and 5 of six")
        << 6 << QList<int>{2, 3, 5} << QStringList{u"1"_qs, u"4"_qs, u"6"_qs} << u"4"_qs;
    QTest::newRow("all of six") << 6 << QList<int>{1, 2, 3, 4, 5, 6} << QStringList{} << QString();
    QTest::newRow("one run") << 5 << QList<int>{2, 3, 4} << QStringList{u"1"_qs, u"5"_qs} << u"5"_qs;
    QTest::newRow("the last rows") << 4 << QList<int>{3, 4} << QStringList{u"1"_qs, u"2"_qs} << u"2"_qs;
    QTest::newRow("first and last") << 4 << QList<int>{1, 4} << QStringList{u"2"_qs, u"3"_qs} << u"2"_qs;
    QTest::newRow("nothing selected")
        << 3 << QList<int>{} << QStringList{u"1"_qs, u"2"_qs, u"3"_qs} << QString();
    QTest::newRow("empty list") << 0 << QList<int>{} << QStringList{} << QString();
}

void TestWordListCommands::removeSelected()
{
    QFETCH(int, size);
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, remaining);
    QFETCH(QString, current);
    WordListModel m;
    fill(m, size);
    QItemSelectionModel s(&m);
    QList<int> rows;
    for (int p : selected)
        rows << p - 1;
    selectRows(m, s, rows);
    QCOMPARE(WordListCommands::selectedRows(s), rows);

    QCOMPARE(WordListCommands::removeSelected(m, s), int(selected.size()));
    QCOMPARE(words(m), remaining);
    // The rows that stay were not selected and are not now.
    QVERIFY(!s.hasSelection());
    QCOMPARE(s.currentIndex().isValid() ? m.entry(s.currentIndex().row()).word : QString(), current);
    // The duplicate index follows: removed entries can come back, the others cannot.
    for (int p = 1; p <= size; ++p)
        QCOMPARE(m.addEntry(QString::number(p), u"m"_qs), !remaining.contains(QString::number(p)));
}

void TestWordListCommands::manyScatteredRowsInTwoSignals()
{
    // More pieces than the selection is emptied quietly for, with the current row among them.
    WordListModel m;
    fill(m, 3000);
    QItemSelectionModel s(&m);
    QList<int> odd;
    for (int r = 1; r < 3000; r += 2)
        odd << r;
    selectRows(m, s, odd);
    s.setCurrentIndex(m.index(5, 0), QItemSelectionModel::NoUpdate);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    QSignalSpy layout(&m, &QAbstractItemModel::layoutChanged);
    QCOMPARE(WordListCommands::removeSelected(m, s), 1500);
    QCOMPARE(m.count(), 1500);
    QCOMPARE(removed.size(), 1);
    QVERIFY(layout.size() <= 1);
    for (int i = 0; i < 1500; ++i)
        QCOMPARE(m.entry(i).word, QString::number(2 * i + 1));
    QVERIFY(!s.hasSelection());
    // The first removed row was the second: its place is now held by "3".
    QCOMPARE(s.currentIndex().row(), 1);
    QCOMPARE(m.entry(s.currentIndex().row()).word, u"3"_qs);
}

void TestWordListCommands::selectionOfOneColumnCountsAsTheRow()
{
    WordListModel m;
    fill(m, 6);
    QItemSelectionModel s(&m);
    // A cell of the meaning column and a whole row.
    s.select(m.index(4, 1), QItemSelectionModel::Select);
    s.select(QItemSelection(m.index(1, 0), m.index(2, 1)), QItemSelectionModel::Select);
    QCOMPARE(WordListCommands::selectedRows(s), (QList<int>{1, 2, 4}));
    // Rows selected again by a later command are counted once.
    s.select(m.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(WordListCommands::selectedRows(s), (QList<int>{1, 2, 4}));
}

void TestWordListCommands::currentEntry_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current"); // -1: none
    QTest::addColumn<int>("expected");
    QTest::newRow("nothing at all") << QList<int>{} << -1 << -1;
    QTest::newRow("current row not selected") << QList<int>{} << 2 << -1;
    QTest::newRow("current row selected") << QList<int>{1, 2, 4} << 4 << 4;
    QTest::newRow("current elsewhere: first selected") << QList<int>{4, 1, 2} << 3 << 1;
    QTest::newRow("selection without a current row") << QList<int>{5, 3} << -1 << 3;
}

void TestWordListCommands::currentEntry()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(int, expected);
    WordListModel m;
    fill(m, 6);
    QItemSelectionModel s(&m);
    selectRows(m, s, selected);
    if (current >= 0)
        s.setCurrentIndex(m.index(current, 1), QItemSelectionModel::NoUpdate);
    QCOMPARE(WordListCommands::currentEntryRow(s), expected);
}

QTEST_GUILESS_MAIN(TestWordListCommands)
#include "tst_wordlistcommands.moc"
