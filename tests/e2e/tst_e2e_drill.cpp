// A drill in the real program under a window manager: the floating window's place, its
// stacking above other windows, focus, dragging, later words, and the stop button.
#include "FileBytes.h"
#include "E2eProgram.h"

#include "drill/DrillActions.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QScopeGuard>
#include <QSettings>
#include <QStringEncoder>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// The program's visible windows other than the main window: while a drill runs, the floating one.
QStringList visibleProgramWindows(const QString &mainWindow)
{
    QStringList ids = E2eProgram::run(QStringLiteral("xdotool"),
                                      {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--class"), QStringLiteral("TanvicQuorvel")})
                          .split(u'\n', Qt::SkipEmptyParts);
    ids.removeAll(mainWindow);
    return ids;
}

// The work area the window manager announces, or the whole screen.
QRect workArea()
{
    const QString out = E2eProgram::run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")});
    const int eq = out.indexOf(u'=');
    if (eq >= 0) {
        const QStringList v = out.mid(eq + 1).split(u',', Qt::SkipEmptyParts);
        if (v.size() >= 4)
            return QRect(v[0].trimmed().toInt(), v[1].trimmed().toInt(), v[2].trimmed().toInt(), v[3].trimmed().toInt());
    }
    const QStringList size =
        E2eProgram::run(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")}).split(u' ');
    return QRect(0, 0, size.value(0).toInt(), size.value(1).toInt());
}

// Client windows bottom to top, as decimal ids.
QStringList stackingOrder()
{
    const QString out = E2eProgram::run(QStringLiteral("xprop"),
                                        {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QStringList ids;
    const int hash = out.indexOf(u'#');
    if (hash < 0)
        return ids;
    for (const QString &hex : out.mid(hash + 1).split(u',', Qt::SkipEmptyParts))
        ids << QString::number(hex.trimmed().toULongLong(nullptr, 16));
    return ids;
}

bool waitForGeometry(const QString &id, const std::function<bool(const QRect &)> &ok, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (ok(E2eProgram::geometry(id)))
            return true;
        QThread::msleep(100);
    }
    return false;
}

// A hand's drag: many small steps. A window manager's move loop follows the pointer from where it
// finds it when the loop begins, so the window may trail by one step.
void smoothDrag(const QPoint &from, const QPoint &to, int button = 1)
{
    const QString b = QString::number(button);
    QStringList args{QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                     QStringLiteral("sleep"), QStringLiteral("0.1"), QStringLiteral("mousedown"), b};
    constexpr int kSteps = 40;
    for (int i = 1; i <= kSteps; ++i) {
        const QPoint p = from + (to - from) * i / kSteps;
        args << QStringLiteral("sleep") << QStringLiteral("0.01") << QStringLiteral("mousemove")
             << QString::number(p.x()) << QString::number(p.y());
    }
    args << QStringLiteral("sleep") << QStringLiteral("0.2") << QStringLiteral("mouseup") << b;
    E2eProgram::run(QStringLiteral("xdotool"), args);
}

bool near(const QPoint &a, const QPoint &b, int tolerance = 10)
{
    return qAbs(a.x() - b.x()) <= tolerance && qAbs(a.y() - b.y()) <= tolerance;
}

} // namespace

class TestE2eDrill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drill();
    void keyboardAlone();
    void longMeaningStaysOnScreen_data();
    void longMeaningStaysOnScreen();
    void rightClickMenuAndResume();
};

void TestE2eDrill::drill()
{
    E2eProgram program;
    program.writeFile(program.wordBankPath(),
                      gbk(QStringLiteral("extraordinary  非凡的，特别的\r\ngo  去\r\nabandon  放弃\r\n")));
    {
        QSettings settings(program.settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("设置/延时"), QStringLiteral("3"));
    }
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 190, main.y() + 13); // the toggle "开始背单词"

    // The main window goes, the floating window comes: above others, out of the taskbar, at
    // 500 twips from the work area's left and the designed 1035 + 100 twips above its bottom.
    QVERIFY(program.waitForWindowGone(program.mainWindow));
    const QString floating = program.waitForFloatingWindow();
    QVERIFY(!floating.isEmpty());
    const QStringList states = E2eProgram::netWmState(floating);
    QVERIFY2(states.contains(QStringLiteral("_NET_WM_STATE_ABOVE")), qPrintable(states.join(u' ')));
    QVERIFY2(states.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), qPrintable(states.join(u' ')));
    const QRect area = workArea();
    const QRect first = E2eProgram::geometry(floating);
    QCOMPARE(first.topLeft(), QPoint(area.x() + 33, area.y() + area.height() - 69 - 7));
    QVERIFY(first.width() > 200); // "extraordinary  非凡的，特别的" on one line
    QVERIFY(first.height() > 30 && first.height() < 69);
    QVERIFY(E2eProgram::activeWindow() != floating);

    // A window activated later does not cover it.
    QProcess cover;
    auto endCover = qScopeGuard([&] {
        cover.kill();
        cover.waitForFinished();
    });
    cover.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("Cover"),
                                             QStringLiteral("-geometry"),
                                             QStringLiteral("700x300+0+%1").arg(area.bottom() - 320),
                                             QStringLiteral("a window the user works in")});
    const QString coverId = program.waitForWindow(QStringLiteral("^Cover$"));
    QVERIFY(!coverId.isEmpty());
    E2eProgram::activate(coverId);
    QThread::msleep(300);
    QCOMPARE(E2eProgram::activeWindow(), coverId);
    const QStringList stack = stackingOrder();
    QVERIFY2(stack.indexOf(floating) > stack.indexOf(coverId), qPrintable(stack.join(u' ')));

    // Dragged by its text, it follows the pointer; the user's window keeps the focus.
    const QPoint grab = first.topLeft() + QPoint(80, first.height() / 2);
    smoothDrag(grab, grab + QPoint(150, -250));
    QPoint dragged = first.topLeft() + QPoint(150, -250);
    QVERIFY2(waitForGeometry(floating, [&](const QRect &g) { return near(g.topLeft(), dragged); }),
             qPrintable(QStringLiteral("at %1,%2").arg(E2eProgram::geometry(floating).x()).arg(E2eProgram::geometry(floating).y())));
    dragged = E2eProgram::geometry(floating).topLeft();
    // With the right button as well.
    const QPoint grab2 = dragged + QPoint(80, first.height() / 2);
    smoothDrag(grab2, grab2 + QPoint(40, 60), 3);
    QVERIFY(waitForGeometry(floating, [&](const QRect &g) { return near(g.topLeft(), dragged + QPoint(40, 60)); }));
    dragged = E2eProgram::geometry(floating).topLeft();
    QCOMPARE(E2eProgram::activeWindow(), coverId);

    // The next word ("go  去", 3 s later) narrows the window where the user put it.
    QVERIFY(waitForGeometry(floating, [&](const QRect &g) { return g.width() < first.width() - 50; }, 6000));
    QCOMPARE(E2eProgram::geometry(floating).topLeft(), dragged);
    QVERIFY(E2eProgram::netWmState(floating).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));

    // The stop button brings the main window back and closes the floating window.
    const QRect now = E2eProgram::geometry(floating);
    E2eProgram::click(now.x() + 16, now.y() + 17);
    QVERIFY(program.waitForWindowGone(floating));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    QVERIFY(visibleProgramWindows(program.mainWindow).isEmpty());

    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
}

void TestE2eDrill::longMeaningStaysOnScreen_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("1x") << 1;
    QTest::newRow("2x") << 2;
}

void TestE2eDrill::longMeaningStaysOnScreen()
{
    QFETCH(int, scale);
    E2eProgram program;
    program.setEnvironmentVariable(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    program.writeFile(program.wordBankPath(), gbk(QStringLiteral("long  ") + QString(3000, u'长') + QStringLiteral("\r\n")));
    QVERIFY(program.start());
    const QString floating = program.startDrillByKeyboard();
    QVERIFY(!floating.isEmpty());
    const QRect area = workArea();
    QVERIFY(waitForGeometry(floating, [&](const QRect &g) { return g.width() > 200 * scale; }));
    const QRect window = E2eProgram::geometry(floating);
    const QString where = QStringLiteral("%1,%2 %3x%4 in %5x%6").arg(window.x()).arg(window.y()).arg(window.width())
                              .arg(window.height()).arg(area.width()).arg(area.height());
    QVERIFY2(area.contains(window), qPrintable(where));
    QVERIFY2(window.width() <= area.width() * 2 / 3 + scale, qPrintable(where));

    // The stop button is on the screen and works.
    E2eProgram::click(window.x() + 16 * scale, window.y() + 17 * scale);
    QVERIFY(program.waitForWindowGone(floating));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
}

void TestE2eDrill::keyboardAlone()
{
    // This desktop has no notification area, so the drill leaves the main window minimized, where
    // Alt+Tab finds it; coming back ends the drill.
    E2eProgram program;
    program.writeFile(program.wordBankPath(), gbk(QStringLiteral("go  去\r\nabandon  放弃\r\n")));
    QVERIFY(program.start());
    const QString floating = program.startDrillByKeyboard();
    QVERIFY(!floating.isEmpty());

    // The user works elsewhere; the floating window never takes the keyboard.
    QProcess work;
    auto endWork = qScopeGuard([&] {
        work.kill();
        work.waitForFinished();
    });
    work.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("Work"),
                                            QStringLiteral("-geometry"), QStringLiteral("300x100+600+100"),
                                            QStringLiteral("the user's work")});
    const QString workId = program.waitForWindow(QStringLiteral("^Work$"));
    QVERIFY(!workId.isEmpty());
    E2eProgram::activate(workId);
    QThread::msleep(300);

    // Alt held, Tab twice through the window manager's switcher: back to the main window.
    E2eProgram::run(QStringLiteral("xdotool"),
                    {QStringLiteral("keydown"), QStringLiteral("alt"), QStringLiteral("sleep"), QStringLiteral("0.2"),
                     QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("sleep"), QStringLiteral("0.4"),
                     QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("sleep"), QStringLiteral("0.4"),
                     QStringLiteral("keyup"), QStringLiteral("alt")});
    QVERIFY(program.waitForWindowGone(floating));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    QVERIFY(visibleProgramWindows(program.mainWindow).isEmpty());

    // The toggle is off again: the keyboard starts the next drill the same way.
    E2eProgram::activate(program.mainWindow);
    E2eProgram::key(QStringLiteral("space"));
    QVERIFY(program.waitForWindowGone(program.mainWindow));
    QVERIFY(!program.waitForFloatingWindow().isEmpty());

    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
}

namespace {
// Right-clicks the floating window's text and picks the `item`-th entry (from 0) of its six.
bool chooseFromMenu(const QString &mainWindow, const QString &floating, int item, const QString &shot = {})
{
    const QRect g = E2eProgram::geometry(floating);
    E2eProgram::click(g.x() + 60, g.y() + g.height() / 2, 3);
    QStringList menu;
    for (QDeadlineTimer deadline(5000); menu.size() != 1 && !deadline.hasExpired(); QThread::msleep(100)) {
        menu = visibleProgramWindows(mainWindow);
        menu.removeAll(floating);
    }
    if (menu.size() != 1)
        return false;
    QThread::msleep(200);
    if (!shot.isEmpty())
        E2eProgram::screenshot(shot);
    const QRect m = E2eProgram::geometry(menu.first());
    const int items = int(DrillActions::all().size());
    E2eProgram::click(m.x() + m.width() / 2, m.y() + m.height() * (2 * item + 1) / (2 * items));
    return true;
}
} // namespace

void TestE2eDrill::rightClickMenuAndResume()
{
    // Entries of growing length, so the floating window's width tells which one it shows.
    E2eProgram program;
    program.writeFile(program.wordBankPath(), gbk(QStringLiteral("a  1\r\nbbbbbbbb  2\r\ncccccccccccccccc  3\r\n"
                                                                 "dddddddddddddddddddddddd  4\r\n")));
    {
        QSettings settings(program.settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("设置/延时"), QStringLiteral("50"));
    }
    QVERIFY(program.start());
    QString floating = program.startDrillByKeyboard();
    QVERIFY(!floating.isEmpty());
    const int w1 = E2eProgram::geometry(floating).width();
    auto widthAbove = [&](int w) {
        return waitForGeometry(floating, [w](const QRect &g) { return g.width() > w + 20; });
    };

    // "下一个" (third), then "已掌握" (fourth) on the second entry: the third shows.
    const QString shot = QDir::temp().filePath(QStringLiteral("e2e-drill-menu.png"));
    QVERIFY(chooseFromMenu(program.mainWindow, floating, 2, shot));
    QVERIFY(widthAbove(w1));
    const int w2 = E2eProgram::geometry(floating).width();
    QVERIFY(chooseFromMenu(program.mainWindow, floating, 3));
    QVERIFY(widthAbove(w2));
    const int w3 = E2eProgram::geometry(floating).width();
    // The floating window never took the focus, the menu notwithstanding.
    QVERIFY(E2eProgram::activeWindow() != floating);

    // "停止背单词" (last), then exit: the known mark and the position are kept.
    QVERIFY(chooseFromMenu(program.mainWindow, floating, int(DrillActions::all().size()) - 1));
    QVERIFY(program.waitForWindowGone(floating));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.readFile(program.programFolder() + QStringLiteral("/wb.known")), gbk(QStringLiteral("bbbbbbbb  2\r\n")));

    // The bank in the opposite order, as a sort leaves it. After a restart the first entry is the
    // one after the last shown (the third, now row 2): the second is known, so the first follows;
    // then, round the top, the fourth and the third.
    program.writeFile(program.wordBankPath(), gbk(QStringLiteral("dddddddddddddddddddddddd  4\r\n"
                                                                 "cccccccccccccccc  3\r\nbbbbbbbb  2\r\na  1\r\n")));
    QVERIFY(program.start());
    floating = program.startDrillByKeyboard();
    QVERIFY(!floating.isEmpty());
    QVERIFY(waitForGeometry(floating, [w1](const QRect &g) { return qAbs(g.width() - w1) <= 2; }));
    QVERIFY(chooseFromMenu(program.mainWindow, floating, 2));
    QVERIFY(widthAbove(w3));
    QVERIFY(chooseFromMenu(program.mainWindow, floating, 2));
    QVERIFY(waitForGeometry(floating, [w3](const QRect &g) { return qAbs(g.width() - w3) <= 2; }));

    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestE2eDrill)
#include "tst_e2e_drill.moc"
