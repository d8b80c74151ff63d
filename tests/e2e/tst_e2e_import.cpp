// The real program's one-click import: a word file put beside the program, chosen in the word-file
// box and imported with "导入列表"; the bank written at exit holds what the format's rules give.
#include "FileBytes.h"
#include "E2eProgram.h"

#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <csignal>
#include <QThread>

namespace {

// Tens of thousands of entries as real word files have them: double and single spaces, tabs,
// ideographic spaces, duplicates, one-part lines, blank lines.
QString wordFileText(const QString &lineEnd)
{
    QRandomGenerator rng(7);
    const QStringList seps{QStringLiteral("  "), QStringLiteral(" "), QStringLiteral("\t"), QStringLiteral("   ")};
    const QStringList meanings{QStringLiteral("苹果"), QStringLiteral("放弃；抛弃"), QStringLiteral("冰 淇淋"),
                               QStringLiteral("书　本"), QStringLiteral("重要的")};
    QString text;
    for (int i = 0; i < 30000; ++i) {
        const int dup = rng.bounded(20) == 0 ? 0 : i; // some lines repeat the first entry
        text += QStringLiteral("word%1").arg(dup) + (rng.bounded(10) == 0 ? QStringLiteral(" x") : QString())
                + seps[rng.bounded(seps.size())] + meanings[rng.bounded(meanings.size())] + lineEnd;
        if (rng.bounded(100) == 0)
            text += lineEnd;
        if (rng.bounded(200) == 0)
            text += QStringLiteral("lonely") + lineEnd;
    }
    return text;
}

// What the rules make of importing these bytes into an empty list and writing the list.
QByteArray expectedBank(const QByteArray &wordFile)
{
    WordListModel list;
    Module1::ImportWordPairs(TextFile::decode(wordFile), list);
    return WordPairs::encodeList(list);
}

// Clicks "导入列表" and returns the box that tells the import is done (empty if none came).
QString clickImport(E2eProgram &program)
{
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 388 + 37, main.y() + 30 + 10);
    QString box;
    for (int i = 0; i < 100 && box.isEmpty(); ++i) {
        for (const QString &w : E2eProgram::findWindows(QStringLiteral("^TanvicQuorvel$"))) {
            if (w != program.mainWindow)
                box = w;
        }
        if (box.isEmpty())
            QThread::msleep(100);
    }
    return box;
}

// Clicks "导入列表" and closes the "导入完成!" box that follows.
bool importWithOneClick(E2eProgram &program)
{
    const QString box = clickImport(program);
    if (box.isEmpty())
        return false;
    E2eProgram::key(QStringLiteral("Return"));
    return program.waitForWindowGone(box);
}

} // namespace

class TestE2eImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneClickImport_data();
    void oneClickImport();
    void starterFileOnFirstStart();
    void xServerGoneKeepsTheWords();
};

void TestE2eImport::oneClickImport_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("killed"); // ended by SIGKILL 4 s after the import, not by its close box
    QTest::newRow("GBK, CR LF") << TextFile::encode(wordFileText(QStringLiteral("\r\n"))) << false;
    QTest::newRow("UTF-8, LF") << wordFileText(QStringLiteral("\n")).toUtf8() << false;
    QTest::newRow("GBK, then killed") << TextFile::encode(wordFileText(QStringLiteral("\r\n"))) << true;
}

void TestE2eImport::oneClickImport()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, killed);
    E2eProgram program;
    // Two word files: the one to import is the second in the box.
    program.writeFile(program.programFolder() + QStringLiteral("/a 其他.txt"), "other  x\r\n");
    program.writeFile(program.programFolder() + QStringLiteral("/B 单词.TXT"), bytes);
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 60 + 150, main.y() + 30 + 10);
    E2eProgram::key(QStringLiteral("Down Return"));
    QVERIFY(importWithOneClick(program));
    // A second click adds nothing.
    QVERIFY(importWithOneClick(program));
    if (killed) {
        // The words reached the disk while the program ran: nothing is left to an exit save.
        QThread::msleep(4000);
        program.terminate(SIGKILL);
        QVERIFY(program.waitForExit());
    } else {
        E2eProgram::closeWindow(program.mainWindow);
        QVERIFY(program.waitForExit());
        QCOMPARE(program.exitCode(), 0);
    }
    const QByteArray written = program.readFile(program.wordBankPath());
    const QByteArray expected = expectedBank(bytes);
    QVERIFY(expected.size() > 100000);
    QCOMPARE(written.size(), expected.size());
    QVERIFY(written == expected);
}

void TestE2eImport::starterFileOnFirstStart()
{
    // The starter file is the only word file of a new installation: one click brings it in.
    E2eProgram program;
    const QString starter = QStringLiteral(QUORVEL_STARTER_WORDS);
    const QByteArray bytes = readAll(starter);
    QVERIFY(!bytes.isEmpty());
    program.writeFile(program.programFolder() + u'/' + QFileInfo(starter).fileName(), bytes);
    QVERIFY(program.start());
    QVERIFY(importWithOneClick(program));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.readFile(program.wordBankPath()), bytes);
}

void TestE2eImport::xServerGoneKeepsTheWords()
{
    // The desktop crashes after an import: Qt ends the program at once ("The X11 connection
    // broke", exit code 1), without the shutdown sequence. The words are written on the way out.
    // An X server of the test's own, to be killed; the program and xdotool use it meanwhile.
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"),
               QStringLiteral("-displayfd 1 -screen 0 1280x800x24 -nolisten tcp").split(u' '));
    QVERIFY(xvfb.waitForReadyRead(10000));
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":" + xvfb.readLine().trimmed());
    const auto restore = qScopeGuard([&] {
        xvfb.kill();
        xvfb.waitForFinished();
        qputenv("DISPLAY", display);
    });
    E2eProgram program;
    const QByteArray bank = "old  \xBE\xC9\r\n";
    const QByteArray words = TextFile::encode(wordFileText(QStringLiteral("\r\n")));
    program.writeFile(program.wordBankPath(), bank);
    program.writeFile(program.programFolder() + QStringLiteral("/单词.txt"), words);
    QVERIFY(program.start());
    QVERIFY(!clickImport(program).isEmpty()); // the import is done when its box shows
    xvfb.kill();
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 1);
    const QByteArray written = program.readFile(program.wordBankPath());
    const QByteArray expected = expectedBank(bank + words);
    QVERIFY(expected.size() > 100000);
    QCOMPARE(written.size(), expected.size());
    QVERIFY(written == expected);
}

QTEST_GUILESS_MAIN(TestE2eImport)
#include "tst_e2e_import.moc"
