// Keys that work in any program drive a drill in the real program while another program has the
// focus: next, previous, pause and resume, known, start and stop (with Num Lock on as well).
#include "FileBytes.h"
#include "E2eProgram.h"

#include <QScopeGuard>
#include <QSettings>
#include <QTest>

class TestE2eKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keysInAnotherProgram();
};

void TestE2eKeys::keysInAnotherProgram()
{
    // Entries of growing length: the floating window's width tells which one it shows.
    const QByteArray bank = gbk(QStringLiteral("a  1\r\nbbbbbbbb  2\r\ncccccccccccccccc  3\r\n"
                                               "dddddddddddddddddddddddd  4\r\n"));
    E2eProgram program;
    program.writeFile(program.wordBankPath(), bank);
    QSettings(program.settingsPath(), QSettings::IniFormat).setValue(QStringLiteral("设置/延时"), QStringLiteral("3"));
    QVERIFY(program.start());
    QProcess work;
    auto endWork = qScopeGuard([&] {
        work.kill();
        work.waitForFinished();
    });
    work.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("Work"), QStringLiteral("-geometry"),
                                            QStringLiteral("300x100+600+100"), QStringLiteral("the user's work")});
    const QString workId = program.waitForWindow(QStringLiteral("^Work$"));
    QVERIFY(!workId.isEmpty());
    E2eProgram::activate(workId);
    QTRY_COMPARE(E2eProgram::activeWindow(), workId);

    // Started and paused at once (the program takes the keys in order): the first entry stays
    // well past its 3 s.
    E2eProgram::key(QStringLiteral("ctrl+alt+g ctrl+alt+j"));
    QVERIFY(program.waitForWindowGone(program.mainWindow));
    QString floating = program.waitForFloatingWindow();
    QVERIFY(!floating.isEmpty());
    QList<int> widths{E2eProgram::geometry(floating).width()};
    QTest::qWait(5000);
    QCOMPARE(E2eProgram::geometry(floating).width(), widths.first());
    // "下一个" three times, still paused: each entry in turn.
    for (int i = 0; i < 3; ++i) {
        E2eProgram::key(QStringLiteral("ctrl+alt+n"));
        QVERIFY(E2eProgram::waitForWidth(floating, [&](int w) { return w > widths.last() + 20; }));
        widths << E2eProgram::geometry(floating).width();
    }
    auto entry = [&](int w) { // the letter of the entry of nearest width
        int best = 0;
        for (int i = 1; i < widths.size(); ++i)
            best = qAbs(widths[i] - w) < qAbs(widths[best] - w) ? i : best;
        return QChar(u'a' + best);
    };
    auto shows = [&](QChar letter) {
        return E2eProgram::waitForWidth(floating, [&](int w) { return entry(w) == letter; });
    };
    // "上一个" twice goes back in the order shown; "已掌握" marks b and moves on.
    E2eProgram::key(QStringLiteral("ctrl+alt+b"));
    QVERIFY(shows(u'c'));
    E2eProgram::key(QStringLiteral("ctrl+alt+b"));
    QVERIFY(shows(u'b'));
    E2eProgram::key(QStringLiteral("ctrl+alt+k"));
    QVERIFY(shows(u'c'));

    // "继续": the drill moves on by itself, and its next lap leaves the known entry out.
    E2eProgram::key(QStringLiteral("ctrl+alt+j"));
    QString seen(entry(E2eProgram::geometry(floating).width()));
    for (QDeadlineTimer deadline(30000); seen.size() < 5 && !deadline.hasExpired(); QTest::qWait(50)) {
        const QChar now = entry(E2eProgram::geometry(floating).width());
        if (now != seen.back())
            seen += now;
    }
    QCOMPARE(seen, QStringLiteral("cdacd"));
    QCOMPARE(E2eProgram::activeWindow(), workId);

    // With Num Lock on, Ctrl+Alt+G stops (the main window comes back) and starts again.
    E2eProgram::key(QStringLiteral("Num_Lock ctrl+alt+g"));
    QVERIFY(program.waitForWindowGone(floating));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    E2eProgram::key(QStringLiteral("ctrl+alt+g"));
    QVERIFY(program.waitForWindowGone(program.mainWindow));
    QVERIFY(!(floating = program.waitForFloatingWindow()).isEmpty());
    E2eProgram::key(QStringLiteral("Num_Lock ctrl+alt+g"));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);

    // The mark lives beside the bank; the bank keeps its bytes.
    QCOMPARE(program.readFile(program.programFolder() + QStringLiteral("/wb.known")), gbk(QStringLiteral("bbbbbbbb  2\r\n")));
    QCOMPARE(program.readFile(program.wordBankPath()), bank);
}

QTEST_GUILESS_MAIN(TestE2eKeys)
#include "tst_e2e_keys.moc"
