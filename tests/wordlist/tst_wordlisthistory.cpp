// Undo and redo of every change to the word list, whatever made it.
#include "ListHelpers.h"

#include "wordlist/WordListHistory.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordListSorter.h"
#include "wordlist/WordPairs.h"

#include <QTest>

namespace {
// Each row as word|meaning|key, and whether the key index finds it: the whole observable state.
QStringList stateOf(const WordListModel &m)
{
    QStringList rows;
    for (int r = 0; r < m.count(); ++r) {
        const WordEntry e = m.entry(r);
        rows << e.word.toString() + u'|' + e.meaning.toString() + u'|' + e.key().toString() +
                    (m.containsKey(e.key()) ? u"" : u" (not indexed)") + (m.isKnown(r) ? u" known" : u"");
    }
    return rows;
}

using Change = std::function<void(WordListModel &)>;

const QMap<QString, Change> &changes()
{
    static const QMap<QString, Change> all{
        {u"import"_qs, [](WordListModel &m) { Module1::ImportWordPairs(u"new  \u65B0\r\na  1\r\nzz  \u672B\r\n"_qs, m); }},
        {u"add one"_qs, [](WordListModel &m) { m.addEntry(u"one", u"\u4E00"); }},
        {u"delete scattered"_qs, [](WordListModel &m) { m.removeEntries({4, 0, 2}); }},
        {u"delete a run"_qs, [](WordListModel &m) { m.removeEntries({1, 2}); }},
        {u"delete the edited"_qs, [](WordListModel &m) { m.removeEntries({2}); }},
        {u"delete all"_qs, [](WordListModel &m) {
             QList<int> all(m.count());
             std::iota(all.begin(), all.end(), 0);
             m.removeEntries(all);
         }},
        {u"clear"_qs, [](WordListModel &m) { m.clear(); }},
        {u"edit"_qs, [](WordListModel &m) { m.setEntry(0, u"apple", u"\u82F9\u679C"); }},
        {u"edit the edited"_qs, [](WordListModel &m) { m.setEntry(2, u"c3", u"three"); }},
        {u"edit back to the key"_qs, [](WordListModel &m) { m.setEntry(2, u"c", u"3"); }},
        {u"sort"_qs, [](WordListModel &m) { WordListSorter().sortByColumn(m, WordListModel::WordColumn); }},
        {u"mark known"_qs, [](WordListModel &m) { m.setKnown({0, 2, 3}, true); }},
        {u"unmark"_qs, [](WordListModel &m) {
             QList<int> known;
             for (int r = 0; r < m.count(); ++r)
                 if (m.isKnown(r))
                     known << r;
             m.setKnown(known, false);
         }},
    };
    return all;
}
} // namespace

class TestWordListHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void undoAndRedoRestoreEveryState_data();
    void undoAndRedoRestoreEveryState();
    void keepsManySteps();
};

void TestWordListHistory::undoAndRedoRestoreEveryState_data()
{
    QTest::addColumn<QStringList>("steps");
    for (const QString &name : changes().keys())
        QTest::newRow(qPrintable(name)) << QStringList{name};
    // Known marks ride along with their entries through every other change and its undo.
    QTest::newRow("a session") << QStringList{u"import"_qs, u"mark known"_qs, u"edit"_qs, u"sort"_qs,
                                              u"delete scattered"_qs, u"edit the edited"_qs, u"unmark"_qs,
                                              u"add one"_qs, u"edit back to the key"_qs, u"delete a run"_qs,
                                              u"clear"_qs, u"import"_qs};
    QTest::newRow("clear, then more") << QStringList{u"clear"_qs, u"import"_qs, u"sort"_qs, u"delete all"_qs};
}

void TestWordListHistory::undoAndRedoRestoreEveryState()
{
    QFETCH(QStringList, steps);
    WordListModel m;
    ListHelpers::appendEntries(m, ListHelpers::batchOf({u"e|5"_qs, u"b|2"_qs, u"c|3"_qs, u"a|1"_qs, u"d|4"_qs, u"f|6"_qs}));
    m.setEntry(2, u"c2", u"\u4E09"); // an entry whose key is no longer its text
    m.setKnown({1, 2}, true);
    WordListHistory history(m);

    QList<QStringList> states{stateOf(m)};
    for (const QString &step : steps) {
        changes()[step](m);
        states << stateOf(m);
        QVERIFY2(states.last() != states[states.size() - 2], qPrintable(step + u" changed nothing"_qs));
    }
    QCOMPARE(history.stack().count(), steps.size());
    for (qsizetype i = states.size() - 2; i >= 0; --i) {
        history.undo();
        QCOMPARE(stateOf(m), states[i]);
    }
    QVERIFY(!history.stack().canUndo());
    for (qsizetype i = 1; i < states.size(); ++i) {
        history.redo();
        QCOMPARE(stateOf(m), states[i]);
    }
    // After all that the key index (checked row by row above) still takes new entries.
    QVERIFY(m.addEntry(u"fresh", u"\u65B0\u7684"));
    QVERIFY(!m.addEntry(u"fresh", u"\u65B0\u7684"));
}

void TestWordListHistory::keepsManySteps()
{
    WordListModel m;
    WordListHistory history(m);
    for (int i = 0; i < 30; ++i)
        m.addEntry(QString::number(i), {});
    for (int i = 0; i < 30; ++i)
        history.undo();
    QCOMPARE(m.count(), 0);
    // A new change after undoing drops what could have been redone.
    m.addEntry(u"x", {});
    QVERIFY(!history.stack().canRedo());
}

QTEST_GUILESS_MAIN(TestWordListHistory)
#include "tst_wordlisthistory.moc"
