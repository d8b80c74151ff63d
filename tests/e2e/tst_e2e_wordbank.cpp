// The real program's word bank and settings: what lands on disk after a close, a termination
// signal, a restart and a second start.
#include "FileBytes.h"
#include "E2eProgram.h"

#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QStringEncoder>
#include <QTest>

#include <csignal>

namespace {

// Thousands of lines a real bank may hold: tabs, single and double spaces, ideographic spaces,
// duplicates, one-part lines, empty lines, characters outside GBK, lone LF line ends.
QString unusualBank()
{
    QRandomGenerator rng(20261207);
    const QStringList words{QStringLiteral("apple"), QStringLiteral("ice cream"), QStringLiteral("to give up"),
                            QStringLiteral("C#"), QStringLiteral("what?"), QStringLiteral("naïve"),
                            QStringLiteral("€uro"), QStringLiteral("10"), QStringLiteral("9")};
    const QStringList meanings{QStringLiteral("苹果"), QStringLiteral("冰 淇淋"), QStringLiteral("放弃"),
                               QStringLiteral("𠀀字"), QStringLiteral("什么"), QStringLiteral("天真的　人"),
                               QString(), QStringLiteral("十"), QStringLiteral("九")};
    const QStringList seps{QStringLiteral("  "), QStringLiteral("\t"), QStringLiteral(" "), QStringLiteral("   "),
                           QStringLiteral("　")};
    const QStringList ends{QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r\n")};
    QString text;
    for (int i = 0; i < 3000; ++i) {
        const QString w = words[rng.bounded(words.size())] + (rng.bounded(3) == 0 ? QString::number(i) : QString());
        const QString m = meanings[rng.bounded(meanings.size())];
        text += (rng.bounded(5) == 0 ? QStringLiteral("  ") : QString()) + w + seps[rng.bounded(seps.size())] + m
                + ends[rng.bounded(ends.size())];
        if (rng.bounded(50) == 0)
            text += QStringLiteral("\r\n");
    }
    return text;
}

// What the format's rules make of a bank: read it into an empty list, write the list (without
// its first `dropped` entries).
QByteArray expectedBank(const QByteArray &bankBytes, int dropped = 0)
{
    WordListModel list;
    Module1::ImportWordPairs(TextFile::decodeWordBank(bankBytes), list);
    for (int i = 0; i < dropped; ++i)
        list.removeEntries({0});
    return WordPairs::encodeList(list);
}

} // namespace

class TestE2eWordBank : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStartCreatesEmptyBankAndDefaults();
    void closeAndTerminationWriteTheFormat_data();
    void closeAndTerminationWriteTheFormat();
    void settingsSurviveRestart();
    void secondInstanceChangesNothing();
    void lockFileLeftBehindDoesNotStopTheStart_data();
    void lockFileLeftBehindDoesNotStopTheStart();
};

void TestE2eWordBank::firstStartCreatesEmptyBankAndDefaults()
{
    E2eProgram program;
    QVERIFY(program.start());
    QVERIFY(E2eProgram::screenshot(program.root() + QStringLiteral("/first-start.png")));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readFile(program.wordBankPath()), QByteArray("\r\n"));
    QSettings settings(program.settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("10"));
    QCOMPARE(settings.value(QStringLiteral("设置/次序")).toString(), QStringLiteral("顺序"));
}

void TestE2eWordBank::closeAndTerminationWriteTheFormat_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("close box") << 0;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestE2eWordBank::closeAndTerminationWriteTheFormat()
{
    QFETCH(int, how);
    E2eProgram program;
    // Hand-checked lines first, then thousands of generated ones, all in GBK (GB18030 for 𠀀).
    const QByteArray handLines = gbk(QStringLiteral("apple␣␣苹果\r\nice cream  冰 淇淋\r\nabandon 放弃 抛弃\r\n\r\n"
                                                    "apple  [U+3000]\r\n")
                                         .replace(QStringLiteral("␣"), QStringLiteral(" "))
                                         .replace(QStringLiteral("[U+3000]"), QString(QChar(0x3000))));
    const QByteArray bank = handLines + TextFile::encode(unusualBank());
    program.writeFile(program.wordBankPath(), bank);
    const QByteArray expected = expectedBank(bank);
    QVERIFY(expected.startsWith(gbk(QStringLiteral("apple  苹果\r\nice cream  冰淇淋\r\nabandon 放弃  抛弃\r\n"))));

    QVERIFY(program.start());
    // A change right before the end, sooner than the background save would write it: the first
    // row deleted.
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 60, main.y() + 54 + 22 + 9);
    E2eProgram::key(QStringLiteral("Delete"));
    if (how == 0)
        E2eProgram::closeWindow(program.mainWindow);
    else
        program.terminate(how);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
    const QByteArray written = program.readFile(program.wordBankPath());
    const QByteArray changed = expectedBank(bank, 1);
    QCOMPARE(written.size(), changed.size());
    QVERIFY(written == changed);
}

void TestE2eWordBank::settingsSurviveRestart()
{
    E2eProgram program;
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);
    // The delay box: open it and take its last entry; the order box: its second entry.
    E2eProgram::click(main.x() + 60, main.y() + 14);
    E2eProgram::key(QStringLiteral("End Return"));
    E2eProgram::click(main.x() + 128, main.y() + 14);
    E2eProgram::key(QStringLiteral("Down Return"));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    {
        QSettings settings(program.settingsPath(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("50"));
        QCOMPARE(settings.value(QStringLiteral("设置/次序")).toString(), QStringLiteral("随机"));
    }
    // Restored at the next start and stored again unchanged.
    QVERIFY(program.start());
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QSettings settings(program.settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("50"));
    QCOMPARE(settings.value(QStringLiteral("设置/次序")).toString(), QStringLiteral("随机"));
}

void TestE2eWordBank::secondInstanceChangesNothing()
{
    E2eProgram program;
    program.writeFile(program.wordBankPath(), QByteArray("apple  ") + gbk(QStringLiteral("苹果")) + "\r\n");
    QVERIFY(program.start());
    const QDateTime bankTime = QFileInfo(program.wordBankPath()).lastModified();
    const QStringList windowsBefore = E2eProgram::findWindows(QStringLiteral("^TanvicQuorvel$"));

    std::unique_ptr<QProcess> second(program.startAnother());
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(!QFileInfo::exists(program.settingsPath()));
    QCOMPARE(QFileInfo(program.wordBankPath()).lastModified(), bankTime);
    // The running instance carries on undisturbed and no new window appeared.
    QVERIFY(program.isRunning());
    QCOMPARE(E2eProgram::findWindows(QStringLiteral("^TanvicQuorvel$")), windowsBefore);

    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QVERIFY(QFileInfo::exists(program.settingsPath()));
}

void TestE2eWordBank::lockFileLeftBehindDoesNotStopTheStart_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x01\x02 not a lock\n");
}

void TestE2eWordBank::lockFileLeftBehindDoesNotStopTheStart()
{
    QFETCH(QByteArray, lock);
    E2eProgram program;
    program.writeFile(program.environment().value(QStringLiteral("XDG_RUNTIME_DIR")) + QStringLiteral("/TanvicQuorvel.lock"), lock);
    QVERIFY(program.start());
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
}

QTEST_GUILESS_MAIN(TestE2eWordBank)
#include "tst_e2e_wordbank.moc"
