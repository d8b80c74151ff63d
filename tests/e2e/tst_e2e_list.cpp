// The word list's pop-up menu in the real program: a right-click over the list, a pick from the
// menu, and what the word bank holds after closing.
#include "E2eProgram.h"

#include "wordlist/TextFile.h"

#include <QTest>
#include <QThread>

class TestE2eList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void clearFromThePopupMenuEmptiesTheBank();
    void editByDoubleClickReachesTheBank();
    void clearThenUndoBringsEveryEntryBack();
};

void TestE2eList::clearFromThePopupMenuEmptiesTheBank()
{
    E2eProgram program;
    QString bank;
    for (int i = 0; i < 500; ++i)
        bank += QStringLiteral("word%1  词%1\r\n").arg(i);
    program.writeFile(program.wordBankPath(), TextFile::encode(bank));
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);

    // A left click on a row opens nothing: the keys below would then act on the list, not a menu.
    const int x = main.x() + 120;
    const int y = main.y() + 54 + 60;
    E2eProgram::click(x, y, 1);
    // A right click opens the menu where the mouse is; its third entry is "清空列表".
    E2eProgram::click(x, y, 3);
    QThread::msleep(300);
    if (qEnvironmentVariableIsSet("QUORVEL_E2E_SHOTS"))
        E2eProgram::screenshot(qEnvironmentVariable("QUORVEL_E2E_SHOTS") + QStringLiteral("/list-menu.png"));
    E2eProgram::key(QStringLiteral("Down Down Down Return"));
    QThread::msleep(300);

    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readFile(program.wordBankPath()), QByteArray("\r\n"));
}

void TestE2eList::editByDoubleClickReachesTheBank()
{
    E2eProgram program;
    program.writeFile(program.wordBankPath(),
                      TextFile::encode(QStringLiteral("apple  苹果\r\npear  梨\r\n")));
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);

    // The header is about 20 pixels high, each row about 18: the second row.
    E2eProgram::doubleClick(main.x() + 60, main.y() + 54 + 22 + 18 + 9);
    const QString dialog = program.waitForWindow(QStringLiteral("^修改$"));
    QVERIFY(!dialog.isEmpty());
    // Centred on the screen (1280 x 800), whatever the main window's place.
    const QRect box = E2eProgram::geometry(dialog);
    QVERIFY2(qAbs(box.center().x() - 640) < 40 && qAbs(box.center().y() - 400) < 60,
             qPrintable(QStringLiteral("dialog at %1,%2").arg(box.x()).arg(box.y())));
    if (qEnvironmentVariableIsSet("QUORVEL_E2E_SHOTS"))
        E2eProgram::screenshot(qEnvironmentVariable("QUORVEL_E2E_SHOTS") + QStringLiteral("/edit.png"));
    // The word box has the focus with the word in it: replace it, keep padding spaces for the trim.
    E2eProgram::key(QStringLiteral("ctrl+a"));
    E2eProgram::type(QStringLiteral("  peach "));
    E2eProgram::key(QStringLiteral("Return"));
    QVERIFY(program.waitForWindowGone(dialog));

    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.readFile(program.wordBankPath()),
             TextFile::encode(QStringLiteral("apple  苹果\r\npeach  梨\r\n")));
}

void TestE2eList::clearThenUndoBringsEveryEntryBack()
{
    E2eProgram program;
    QString text;
    for (int i = 0; i < 500; ++i)
        text += QStringLiteral("word%1  词%1\r\n").arg(i);
    const QByteArray bank = TextFile::encode(text);
    program.writeFile(program.wordBankPath(), bank);
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 120, main.y() + 54 + 60, 3);
    QThread::msleep(300);
    E2eProgram::key(QStringLiteral("Down Down Down Return"));
    // The empty list reaches the bank in the background...
    QThread::msleep(3000);
    QCOMPARE(program.readFile(program.wordBankPath()), QByteArray("\r\n"));
    // ...and Ctrl+Z brings every entry back, to the bank as well.
    E2eProgram::key(QStringLiteral("ctrl+z"));
    QThread::msleep(3000);
    QCOMPARE(program.readFile(program.wordBankPath()), bank);
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.readFile(program.wordBankPath()), bank);
}

QTEST_GUILESS_MAIN(TestE2eList)
#include "tst_e2e_list.moc"
