// The word bank's load and save, and the rule that a bank not read whole is never overwritten.
#include "TestEnv.h"

#include "wordlist/TextFile.h"
#include "wordlist/WordBank.h"
#include "wordlist/WordListModel.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {
// A bank of 100 entries, too large for a list limited to 200 units of text.
QByteArray hundredEntries()
{
    QByteArray bank;
    for (int i = 0; i < 100; ++i)
        bank += "word" + QByteArray::number(i) + "  \xC6\xBB\xB9\xFB\r\n";
    return bank;
}
} // namespace

class TestWordBank : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unreadableBankIsNeverOverwritten_data();
    void unreadableBankIsNeverOverwritten();
    void missingBankIsCreated();
    void failedSaveLeavesTheOldBank();
    void bankPastTheWordFileLimitReadsBack();
    void bankThatWouldNotReadBackIsNotWritten();
    void bankIsAlwaysGbk_data();
    void bankIsAlwaysGbk();
    void knownMarksRoundTrip();
};

void TestWordBank::unreadableBankIsNeverOverwritten_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder in its place") << QStringLiteral("folder");
    QTest::newRow("a file that will not read") << QStringLiteral("file");
    QTest::newRow("read only in part") << QStringLiteral("part");
}

void TestWordBank::unreadableBankIsNeverOverwritten()
{
    QFETCH(QString, kind);
    TestEnv env;
    WordListModel list;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(env.wordBankPath()));
    } else if (kind == QLatin1String("file")) {
        if (!env.writeUnreadableFile(env.wordBankPath()))
            QSKIP("this system offers no file that cannot be read");
    } else {
        env.writeFile(env.wordBankPath(), hundredEntries());
        list.limitText(200);
    }
    const QByteArray before = env.readFile(env.wordBankPath());
    WordBank bank(env.wordBankPath());
    QCOMPARE(bank.load(list), WordBank::Load::Unreadable);
    QVERIFY(!bank.error().isEmpty());
    QVERIFY(!bank.mayOverwrite());
    if (kind == QLatin1String("part"))
        QVERIFY(list.count() > 0 && list.count() < 100);
    else
        QCOMPARE(bank.save(list), WordBank::Save::Skipped);
    list.limitText(1 << 20);
    list.addEntry(QStringLiteral("apple"), QStringLiteral("x"));
    QCOMPARE(bank.save(list), WordBank::Save::Withheld);
    QCOMPARE(env.readFile(env.wordBankPath()), before);
    QCOMPARE(QFileInfo(env.wordBankPath()).isDir(), kind == QLatin1String("folder"));
}

void TestWordBank::missingBankIsCreated()
{
    TestEnv env;
    WordListModel list;
    WordBank bank(env.wordBankPath());
    QCOMPARE(bank.load(list), WordBank::Load::Missing);
    QVERIFY(bank.mayOverwrite());
    QCOMPARE(bank.save(list), WordBank::Save::Saved);
    QCOMPARE(env.readFile(env.wordBankPath()), QByteArray("\r\n"));
}

void TestWordBank::failedSaveLeavesTheOldBank()
{
    TestEnv env;
    env.writeFile(env.wordBankPath(), "apple  x\r\n");
    WordListModel list;
    WordBank bank(env.wordBankPath());
    QCOMPARE(bank.load(list), WordBank::Load::Loaded);
    list.addEntry(QStringLiteral("book"), QStringLiteral("y"));
    // The bank's folder can no longer take a new file beside it: the folder is now a file.
    const QString moved = env.path(QStringLiteral("moved"));
    QVERIFY(QDir().rename(env.programFolder(), moved));
    env.writeFile(env.programFolder(), "not a folder");
    QCOMPARE(bank.save(list), WordBank::Save::Failed);
    QVERIFY(!bank.error().isEmpty());
    QCOMPARE(env.readFile(moved + QStringLiteral("/wb.dcb")), QByteArray("apple  x\r\n"));
    // A failed save is no reason to keep the bank from the next one.
    QVERIFY(bank.mayOverwrite());
}

void TestWordBank::bankPastTheWordFileLimitReadsBack()
{
    // Banks the program writes may pass the word files' limit (11 million words): they read back.
    TestEnv env;
    QFile f(env.wordBankPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QByteArray spaces = QByteArray((1 << 20) - 2, ' ') + "\r\n"; // lines without an entry
    for (qint64 n = 0; n <= TextFile::kMaxFileBytes; n += spaces.size())
        f.write(spaces);
    f.write("apple  x\r\n");
    f.close();
    WordListModel list;
    QCOMPARE(WordBank(env.wordBankPath()).load(list), WordBank::Load::Loaded);
    QCOMPARE(list.count(), 1);
}

void TestWordBank::bankThatWouldNotReadBackIsNotWritten()
{
    TestEnv env;
    env.writeFile(env.wordBankPath(), "apple  x\r\n");
    WordListModel list;
    WordBank bank(env.wordBankPath(), WordBank::Holds::Entries, 16);
    QCOMPARE(bank.load(list), WordBank::Load::Loaded);
    list.addEntry(QStringLiteral("cat"), QStringLiteral("z")); // 18 bytes
    QCOMPARE(bank.save(list), WordBank::Save::Failed);
    QCOMPARE(env.readFile(env.wordBankPath()), QByteArray("apple  x\r\n"));
}

void TestWordBank::bankIsAlwaysGbk_data()
{
    // Banks of real Chinese whose GBK bytes are valid UTF-8 too.
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("why") << QByteArray::fromHex("77687920 20CEAACAB2C3B40D0A");
    QTest::newRow("hill, school") << QByteArray("hill  \xD0\xA1\xC9\xBD\r\nschool  \xD1\xA7\xD0\xA3\r\n");
    QTest::newRow("cat, hour") << QByteArray("cat  \xC3\xA8\r\nhour  \xD0\xA1\xCA\xB1\r\n");
}

void TestWordBank::bankIsAlwaysGbk()
{
    QFETCH(QByteArray, bytes);
    TestEnv env;
    env.writeFile(env.wordBankPath(), bytes);
    WordListModel list;
    WordBank bank(env.wordBankPath());
    QCOMPARE(bank.load(list), WordBank::Load::Loaded);
    QVERIFY(list.count() > 0);
    QVERIFY(list.entry(0).meaning.at(0).unicode() >= 0x4E00);
    QFile::remove(env.wordBankPath());
    QCOMPARE(bank.save(list), WordBank::Save::Saved);
    QCOMPARE(env.readFile(env.wordBankPath()), bytes);
}

void TestWordBank::knownMarksRoundTrip()
{
    TestEnv env;
    QDir().mkpath(env.programFolder());
    const QString marksPath = env.path(QStringLiteral("program/wb.known"));
    WordListModel list;
    for (const char16_t *w : {u"apple", u"pear", u"plum", u"fig"})
        list.addEntry(w, u"\u679C");
    list.setEntry(2, u"plum", u"\u674E\u5B50"); // marks name entries as they now read
    list.setKnown({3, 2}, true);
    WordBank marks(marksPath, WordBank::Holds::KnownMarks);
    QCOMPARE(marks.save(list), WordBank::Save::Saved);
    QCOMPARE(env.readFile(marksPath), QByteArray("plum  \xC0\xEE\xD7\xD3\r\nfig  \xB9\xFB\r\n"));
    // Saving the list as the bank leaves the marks out; the marks find their entries again.
    QVERIFY(WordBank::saveTo(list, env.wordBankPath(), nullptr));
    WordListModel again;
    QCOMPARE(WordBank(env.wordBankPath()).load(again), WordBank::Load::Loaded);
    QCOMPARE(again.knownCount(), 0);
    QCOMPARE(marks.load(again), WordBank::Load::Loaded);
    QVERIFY(!again.isKnown(0) && !again.isKnown(1) && again.isKnown(2) && again.isKnown(3));
    // A mark whose entry is gone is dropped at the next save; no marks at all: one empty line.
    again.removeEntries({3});
    QCOMPARE(marks.save(again), WordBank::Save::Saved);
    QCOMPARE(env.readFile(marksPath), QByteArray("plum  \xC0\xEE\xD7\xD3\r\n"));
    again.setKnown({2}, false);
    QCOMPARE(marks.save(again), WordBank::Save::Saved);
    QCOMPARE(env.readFile(marksPath), QByteArray("\r\n"));
}

QTEST_MAIN(TestWordBank)
#include "tst_wordbank.moc"
