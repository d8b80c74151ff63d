// The bank kept in step with the list in the background.
#include "TestEnv.h"

#include "wordlist/BankAutosave.h"
#include "wordlist/WordBank.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {
// A list and its bank in a temporary program folder, saving after 20 ms of quiet. A null bank is a
// folder where the bank should be: a bank that cannot be read.
struct Fixture
{
    explicit Fixture(const QByteArray &bank = "apple  x\r\n")
    {
        QDir().mkpath(bank.isNull() ? env.wordBankPath() : env.programFolder());
        if (!bank.isNull())
            env.writeFile(env.wordBankPath(), bank);
        loaded = wordBank.load(list);
        autosave.emplace(wordBank, list, loaded == WordBank::Load::Missing);
        autosave->setDelays(20ms, 60ms);
    }
    QByteArray bank() const { return env.readFile(env.wordBankPath()); }

    TestEnv env;
    WordListModel list;
    WordBank wordBank{env.wordBankPath()};
    WordBank::Load loaded;
    std::optional<BankAutosave> autosave;
};

// Runs the event loop until a background save is under way.
bool waitForSave(const BankAutosave &autosave)
{
    QDeadlineTimer deadline(5s);
    while (!autosave.isSaving() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return autosave.isSaving();
}

void addMany(WordListModel &list, int n, const QString &prefix)
{
    WordListModel::Appender add(list, n);
    for (int i = 0; i < n; ++i)
        add.add(QString(prefix + QString::number(i)), QStringView(u"\u4E2D\u6587\u91CA\u4E49 meaning"));
}
} // namespace

class TestBankAutosave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyKindOfChangeIsSaved_data();
    void everyKindOfChangeIsSaved();
    void unchangedListIsNeverWritten();
    void burstOfChangesIsOneSave();
    void changeDuringASaveEndsWithTheLatestList();
    void unreadableBankIsLeftAlone();
    void failedSaveIsToldAndKeepsTheOldBank();
    void stopFinishesAWriteUnderWay();
    void aMarkRewritesTheMarksNotTheBank();
};

void TestBankAutosave::everyKindOfChangeIsSaved_data()
{
    QTest::addColumn<int>("kind");
    int kind = 0;
    for (const char *name : {"add", "edit", "remove", "reorder", "clear"})
        QTest::newRow(name) << kind++;
}

void TestBankAutosave::everyKindOfChangeIsSaved()
{
    QFETCH(int, kind);
    Fixture f("b  2\r\na  1\r\nc  3\r\n");
    QSignalSpy saved(&*f.autosave, &BankAutosave::saved);
    switch (kind) {
    case 0: f.list.addEntry(u"d", u"4"); break;
    case 1: f.list.setEntry(1, u"a", u"one"); break;
    case 2: f.list.removeEntries({0}); break;
    case 3: f.list.reorder({1, 0, 2}); break;
    case 4: f.list.clear(); break;
    }
    QVERIFY(f.autosave->isDirty());
    QTRY_COMPARE(saved.size(), 1);
    QCOMPARE(f.bank(), WordPairs::encodeList(f.list));
    QVERIFY(!f.autosave->isDirty());
}

void TestBankAutosave::unchangedListIsNeverWritten()
{
    Fixture f("a  1\n"); // not as the writer would put it
    QTest::qWait(150);
    // A new order that is the old one is no change either.
    f.list.reorder({0});
    QTest::qWait(150);
    f.autosave->stop();
    QVERIFY(!f.autosave->isDirty());
    QCOMPARE(f.bank(), QByteArray("a  1\n"));
}

void TestBankAutosave::burstOfChangesIsOneSave()
{
    Fixture f;
    QSignalSpy saved(&*f.autosave, &BankAutosave::saved);
    for (int i = 0; i < 5; ++i) {
        f.list.addEntry(QString::number(i), {});
        QTest::qWait(5);
    }
    QTRY_COMPARE(saved.size(), 1);
    QTest::qWait(100);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(f.bank(), WordPairs::encodeList(f.list));
}

void TestBankAutosave::changeDuringASaveEndsWithTheLatestList()
{
    // Several pieces' worth, so the save is still being encoded when the list changes.
    Fixture f;
    addMany(f.list, 200000, u"w"_qs);
    QVERIFY(waitForSave(*f.autosave));
    f.list.removeEntries({0, 5, 7});
    f.list.setEntry(10, u"edited", u"\u6539");
    QTRY_VERIFY_WITH_TIMEOUT(!f.autosave->isDirty() && !f.autosave->isSaving(), 20000);
    QCOMPARE(f.bank(), WordPairs::encodeList(f.list));
    // No half-written file is left beside the bank.
    QCOMPARE(QDir(f.env.programFolder()).entryList(QDir::Files), QStringList{u"wb.dcb"_qs});
}

void TestBankAutosave::unreadableBankIsLeftAlone()
{
    Fixture f{QByteArray()};
    QCOMPARE(f.loaded, WordBank::Load::Unreadable);
    f.list.addEntry(u"a", u"1");
    QTest::qWait(150);
    QVERIFY(!f.autosave->isSaving());
    QVERIFY(f.autosave->isDirty()); // the exit save offers another place
    QVERIFY(QFileInfo(f.env.wordBankPath()).isDir());
}

void TestBankAutosave::failedSaveIsToldAndKeepsTheOldBank()
{
    Fixture f(QByteArray("old  1\r\n"));
    // The bank's name taken by a folder from now on: the replace fails, the folder stays.
    QFile::remove(f.env.wordBankPath());
    QDir().mkpath(f.env.wordBankPath());
    QSignalSpy failed(&*f.autosave, &BankAutosave::failed);
    f.list.addEntry(u"new", u"2");
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY(!failed.first().first().toString().isEmpty());
    QVERIFY(QFileInfo(f.env.wordBankPath()).isDir());
    // Not tried again and again; the next change tries once more.
    QTest::qWait(150);
    QCOMPARE(failed.size(), 1);
    f.list.addEntry(u"newer", u"3");
    QTRY_COMPARE(failed.size(), 2);
    QVERIFY(f.autosave->isDirty());
}

void TestBankAutosave::stopFinishesAWriteUnderWay()
{
    Fixture f;
    addMany(f.list, 50000, u"s"_qs);
    QVERIFY(waitForSave(*f.autosave));
    f.autosave->stop();
    QVERIFY(!f.autosave->isSaving());
    // Either the whole list went in, or the save was dropped and the exit save must write it.
    if (!f.autosave->isDirty())
        QCOMPARE(f.bank(), WordPairs::encodeList(f.list));
    else
        QCOMPARE(f.bank(), QByteArray("apple  x\r\n"));
    f.list.addEntry(u"after", u"stop");
    QTest::qWait(100);
    QVERIFY(!f.autosave->isSaving());
}

void TestBankAutosave::aMarkRewritesTheMarksNotTheBank()
{
    Fixture f("a  1\n");
    WordBank marks(f.env.path(QStringLiteral("program/wb.known")), WordBank::Holds::KnownMarks);
    QCOMPARE(marks.load(f.list), WordBank::Load::Missing);
    BankAutosave marksAutosave(marks, f.list, false);
    marksAutosave.setDelays(20ms, 60ms);
    QSignalSpy marksSaved(&marksAutosave, &BankAutosave::saved);
    f.list.setKnown({0}, true);
    QTRY_COMPARE(marksSaved.size(), 1);
    QCOMPARE(f.env.readFile(marks.path()), QByteArray("a  1\r\n"));
    QVERIFY(!f.autosave->isDirty());
    QCOMPARE(f.bank(), QByteArray("a  1\n"));
}

QTEST_GUILESS_MAIN(TestBankAutosave)
#include "tst_bankautosave.moc"
