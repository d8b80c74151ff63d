// The main window's drill: the toggle, the tick, the order of entries, the floating window's
// start and end, with the tick driven by the test.
#include "ScriptedRandom.h"
#include "MainWindow.h"

#include "drill/FloatingLayout.h"
#include "wordlist/WordListModel.h"

#include "drill/FormOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QKeySequenceEdit>
#include <QComboBox>
#include <QMenu>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// A main window with entries "w1  m1" … and the two boxes set.
struct Drill : MainWindow
{
    explicit Drill(int entries, const QString &delay = QStringLiteral("3"), const QString &order = QStringLiteral("顺序"))
    {
        create();
        for (int i = 1; i <= entries; ++i)
            form().wordList()->addEntry(QStringLiteral("w%1").arg(i), QStringLiteral("m%1").arg(i));
        choose("Combo1", delay);
        choose("Combo2", order);
        form().show();
    }

    QPushButton *toggle() { return button("Check1"); }
    QTimer *timer() { return form().findChild<QTimer *>(QStringLiteral("Timer1")); }
    FormShowWord *window() { return form().floatingWindow(); }
    QString caption() { return window() ? window()->caption() : QString(); }

    // The rows shown after each of `n` ticks (empty where a tick showed nothing).
    QStringList tick(int n)
    {
        QStringList shown;
        for (int i = 0; i < n; ++i) {
            const QString before = caption();
            const int row = selectedRow();
            QMetaObject::invokeMethod(timer(), "timeout");
            shown << (selectedRow() != row || caption() != before ? caption() : QString());
        }
        return shown;
    }
    int selectedRow()
    {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }
    void select(int row)
    {
        list()->selectionModel()->setCurrentIndex(form().wordList()->index(row, 0),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void pressStop()
    {
        QTest::mouseClick(window()->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

};

QStringList words(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *s : list)
        out << (*s ? QString::fromUtf8(s) : QString());
    return out;
}

} // namespace

class TestForm1Drill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyListIsRefused_data();
    void emptyListIsRefused();
    void startShowsTheFirstWordAndStopBringsTheMainWindowBack();
    void listOrderWithDelay();
    void startsAfterTheSelectedEntry_data();
    void startsAfterTheSelectedEntry();
    void shownEntryIsScrolledIntoView();
    void remainderCarriesOverToTheNextDrill();
    void randomOrder();
    void doubleClickAsksForTheWord();
    void shutdownDuringADrillSavesAndCloses();
    void wayBackFromADrillWithoutTheFloatingWindow();
    void trayReachesTheDrill();
    void optionsWindow();
};

void TestForm1Drill::emptyListIsRefused_data()
{
    QTest::addColumn<bool>("byClick");
    QTest::newRow("click") << true;
    QTest::newRow("switched on from code") << false;
}

void TestForm1Drill::emptyListIsRefused()
{
    QFETCH(bool, byClick);
    Drill d(0);
    bool offWhileMessageShows = false;
    d.env.dialogs.onMessage = [&](const FakeDialogs::Message &) { offWhileMessageShows = !d.toggle()->isChecked(); };
    if (byClick)
        QTest::mouseClick(d.toggle(), Qt::LeftButton);
    else
        d.toggle()->setChecked(true);

    QCOMPARE(d.env.dialogs.messages.size(), 1);
    QCOMPARE(d.env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(d.env.dialogs.messages[0].text, QStringLiteral("请先导入词汇！"));
    QVERIFY(offWhileMessageShows);
    QVERIFY(!d.toggle()->isChecked());
    QVERIFY(!d.timer()->isActive());
    QVERIFY(!d.window());
    QVERIFY(d->isVisible());
    QCOMPARE(d.toggle()->toolTip(), QStringLiteral("开始背单词"));
}

void TestForm1Drill::startShowsTheFirstWordAndStopBringsTheMainWindowBack()
{
    Drill d(3);
    QCOMPARE(d.toggle()->toolTip(), QStringLiteral("开始背单词"));
    QVERIFY(!d.toggle()->icon().isNull());
    QVERIFY(d.toggle()->width() >= d.toggle()->sizeHint().width());

    QTest::mouseClick(d.toggle(), Qt::LeftButton);
    QVERIFY(d.toggle()->isChecked());
    QVERIFY(!d->isVisible());
    QVERIFY(d.timer()->isActive());
    QCOMPARE(d.timer()->interval(), 1000);
    QCOMPARE(d.toggle()->toolTip(), QStringLiteral("停止背单词"));
    QPointer<FormShowWord> window = d.window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(d.caption(), QStringLiteral("w1  m1"));
    QCOMPARE(d.selectedRow(), 0);
    // Placed from the work area with the designed height, then fitted to the text.
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window->pos(), FloatingWindow::startPosition(workArea, 69));
    QCOMPARE(window->size(), QSize(window->label1Geometry().width() + 38, window->label1Geometry().height() + 3));

    d.tick(4);
    QCOMPARE(d.caption(), QStringLiteral("w2  m2"));
    d.pressStop();
    QVERIFY(d->isVisible());
    QVERIFY(!d.toggle()->isChecked());
    QVERIFY(!d.timer()->isActive());
    QCOMPARE(d.toggle()->toolTip(), QStringLiteral("开始背单词"));
    QVERIFY(!d.window());
    QVERIFY(window.isNull());
    // The last word shown stays selected and in view.
    QCOMPARE(d.selectedRow(), 1);
    QCOMPARE(d.list()->currentIndex().row(), 1);

    // A new drill loads a new window at the start position and goes on after the last word.
    d.toggle()->setChecked(true);
    QVERIFY(d.window());
    QCOMPARE(d.window()->pos(), FloatingWindow::startPosition(workArea, 69));
    QCOMPARE(d.caption(), QStringLiteral("w3  m3"));
    d.toggle()->setChecked(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!d.window());
    // Switched off from code, the main window is left as it is (shutdown keeps it hidden).
    QVERIFY(!d->isVisible());
}

void TestForm1Drill::listOrderWithDelay()
{
    // N = 3, delay 3, nothing selected: 1 at once, then 2, 3, 1, 2 three ticks apart.
    Drill d(3);
    d.toggle()->setChecked(true);
    QCOMPARE(d.caption(), QStringLiteral("w1  m1"));
    QCOMPARE(d.tick(12), words({"", "", "w2  m2", "", "", "w3  m3", "", "", "w1  m1", "", "", "w2  m2"}));
    // The delay is read at every tick.
    d.choose("Combo1", QStringLiteral("5"));
    QCOMPARE(d.tick(5), words({"", "", "", "", "w3  m3"}));
}

void TestForm1Drill::startsAfterTheSelectedEntry_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("first");
    QTest::newRow("entry 2 of 5") << 1 << QStringLiteral("w3  m3");
    QTest::newRow("entry 5 of 5") << 4 << QStringLiteral("w1  m1");
}

void TestForm1Drill::startsAfterTheSelectedEntry()
{
    QFETCH(int, selected);
    QFETCH(QString, first);
    Drill d(5);
    d.select(selected);
    d.toggle()->setChecked(true);
    QCOMPARE(d.caption(), first);
}

void TestForm1Drill::shownEntryIsScrolledIntoView()
{
    Drill d(400);
    d.select(249);
    d.toggle()->setChecked(true);
    QCOMPARE(d.caption(), QStringLiteral("w251  m251"));
    d.pressStop();
    QVERIFY(d->isVisible());
    const QModelIndex shown = d->wordList()->index(250, 0);
    QCOMPARE(d.list()->currentIndex(), shown);
    QVERIFY(d.list()->viewport()->rect().contains(d.list()->visualRect(shown)));
}

void TestForm1Drill::remainderCarriesOverToTheNextDrill()
{
    // Delay 10, stopped 4 s after the last word: at the next start the first word comes at once,
    // the second after 6 s, then every 10 s.
    Drill d(5, QStringLiteral("10"));
    d.toggle()->setChecked(true);
    QCOMPARE(d.tick(14).count(QString()), 13);
    QCOMPARE(d.caption(), QStringLiteral("w2  m2"));
    d.pressStop();

    d.toggle()->setChecked(true);
    QCOMPARE(d.caption(), QStringLiteral("w3  m3"));
    const QStringList next = d.tick(16);
    QCOMPARE(next.indexOf(QStringLiteral("w4  m4")), 5);
    QCOMPARE(next.indexOf(QStringLiteral("w5  m5")), 15);
}

void TestForm1Drill::randomOrder()
{
    Drill d(5, QStringLiteral("3"), QStringLiteral("随机"));
    // r × 5: 0.05 → 0 (again), 0.5 → 2.5 → 2; 0.95 → 4.75 → 5; 0.99 → 4.95 → 5;
    // 0.1 → 0.5 → 0 (again), 0.3 → 1.5 → 2.
    d->drillScheduler().setRandom(
        std::make_unique<ScriptedRandom>(QList<double>{0.05, 0.5, 0.95, 0.99, 0.1, 0.3}));
    d.toggle()->setChecked(true);
    QCOMPARE(d.caption(), QStringLiteral("w2  m2"));
    QCOMPARE(d.selectedRow(), 1);
    QCOMPARE(d.tick(6), words({"", "", "w5  m5", "", "", ""}));
    // The same entry may come again at once.
    QCOMPARE(d.caption(), QStringLiteral("w5  m5"));
    QCOMPARE(d.selectedRow(), 4);
    d.tick(3);
    QCOMPARE(d.caption(), QStringLiteral("w2  m2"));
}

void TestForm1Drill::doubleClickAsksForTheWord()
{
    Drill d(0);
    d->wordList()->addEntry(QStringLiteral("abandon"), QStringLiteral("放弃"));
    QSignalSpy lookups(&d.form(), &Form1::wordLookupRequested);
    d.toggle()->setChecked(true);
    auto *label = d.window()->findChild<QLabel *>(QStringLiteral("Label1"));
    QTest::mouseDClick(label, Qt::LeftButton, {}, label->rect().center());
    QCOMPARE(lookups.size(), 1);
    QCOMPARE(lookups[0].at(0).toString(), QStringLiteral("abandon"));
    QVERIFY(d.window()); // looking a word up does not stop the drill
}

void TestForm1Drill::shutdownDuringADrillSavesAndCloses()
{
    MainWindow w;
    TestEnv &env = w.env;
    env.writeFile(env.wordBankPath(), "apple  x\r\nbook  y\r\n");
    Form1 &form = w.start();
    QSignalSpy ended(&form, &Form1::programEnded);
    form.showAtStart();
    QPushButton *toggle = w.button("Check1");
    toggle->setChecked(true);
    QPointer<FormShowWord> window = form.floatingWindow();
    QVERIFY(window);

    form.shutdown();
    QCOMPARE(ended.size(), 1);
    QVERIFY(!form.isVisible());
    QVERIFY(!toggle->isChecked());
    QVERIFY(!form.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(!form.floatingWindow());
    QVERIFY(!window->isVisible());
    QCOMPARE(env.readFile(env.wordBankPath()), QByteArray("apple  x\r\nbook  y\r\n"));
    QVERIFY(env.dialogs.messages.isEmpty());
}

void TestForm1Drill::wayBackFromADrillWithoutTheFloatingWindow()
{
    Drill d(3);
    // Offscreen there is no notification area: the drill then leaves the main window minimized.
    d->hide();
    d->setupTray();
    d->show();
    QMenu *tray = d->trayMenu();
    QVERIFY(tray);
    QAction *drill = tray->findChild<QAction *>(QStringLiteral("trayDrill"));

    // The icon's menu starts a drill as the toggle does.
    drill->trigger();
    QVERIFY(d.window());
    QCOMPARE(d.caption(), QStringLiteral("w1  m1"));
    QVERIFY(d->isMinimized());
    QCOMPARE(drill->text(), QStringLiteral("停止背单词"));

    // Bringing the main window back (Alt+Tab, the taskbar) ends the drill as the stop button does.
    d->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(!d.toggle()->isChecked());
    QCOMPARE(d.timer()->isActive(), false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!d.window());
    QVERIFY(d->isVisible() && !d->isMinimized());
    QCOMPARE(drill->text(), QStringLiteral("开始背单词"));

    // And the menu's stop does the same.
    drill->trigger();
    QCOMPARE(d.caption(), QStringLiteral("w2  m2"));
    drill->trigger();
    QVERIFY(!d.toggle()->isChecked());
    QVERIFY(d->isVisible() && !d->isMinimized());
}

void TestForm1Drill::trayReachesTheDrill()
{
    // The tray's menu holds the drill's actions while a drill runs, and only then.
    Drill d(3);
    d->setupTray();
    QMenu *tray = d->trayMenu();
    auto pick = [tray](const QString &name) {
        Q_EMIT tray->aboutToShow();
        for (QAction *a : tray->actions()) {
            if (a->text() == name && a->isVisible())
                return a->trigger(), true;
        }
        return false;
    };
    QVERIFY(!pick(QStringLiteral("下一个")));
    d.toggle()->setChecked(true);
    QVERIFY(pick(QStringLiteral("已掌握")));
    QVERIFY(d->wordList()->isKnown(0));
    QVERIFY(pick(QStringLiteral("下一个")));
    QVERIFY(pick(QStringLiteral("暂停")) && pick(QStringLiteral("继续")));
    QCOMPARE(d.caption(), QStringLiteral("w3  m3"));
}

void TestForm1Drill::optionsWindow()
{
    MainWindow w;
    w.writeBank(QStringLiteral("w1  m1\r\nw2  m2\r\n"));
    w.start();
    QSignalSpy keys(&w.form(), &Form1::drillKeyChanged);
    w->setKeyStateSource([](DrillOptions::KeyAction) { return QStringLiteral("已注册"); });
    // Cancel applies nothing and takes a changed key back.
    QVERIFY(whileModal<FormOptions>([&] { w.menuAction("menu选项")->trigger(); }, [](FormOptions &options) {
        QCOMPARE(options.keyState(DrillOptions::KeyAction::Next), QStringLiteral("已注册"));
        auto *edit = options.findChild<QKeySequenceEdit *>(QStringLiteral("key0"));
        edit->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Alt+F5")));
        Q_EMIT edit->editingFinished();
        options.findChild<QCheckBox *>(QStringLiteral("knownTakePart"))->setChecked(true);
        options.reject();
    }));
    QCOMPARE(keys.size(), 2);
    QCOMPARE(keys.at(0).at(1).toString(), QStringLiteral("Ctrl+Alt+F5"));
    QCOMPARE(keys.at(1).at(1).toString(), QStringLiteral("Ctrl+Alt+N"));
    QCOMPARE(w->drillOptions(), DrillOptions());
    // OK applies at once and keeps the choice for the next start.
    QVERIFY(whileModal<FormOptions>([&] { w.menuAction("menu选项")->trigger(); }, [](FormOptions &options) {
        options.findChild<QComboBox *>(QStringLiteral("textSize"))->setCurrentIndex(2);
        options.findChild<QCheckBox *>(QStringLiteral("knownTakePart"))->setChecked(true);
        // A key still being recorded when OK is pressed counts.
        options.findChild<QKeySequenceEdit *>(QStringLiteral("key3"))->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Alt+F7")));
        options.accept();
    }));
    QCOMPARE(w->drillOptions().textSize, DrillOptions::TextSize::Large);
    QVERIFY(w->drillController()->knownTakePart());
    QCOMPARE(keys.size(), 3);
    QCOMPARE(w->drillOptions().key(DrillOptions::KeyAction::Known), QStringLiteral("Ctrl+Alt+F7"));
    // Kept for the next start (each option's round trip: tst_drillcontroller).
    w.restart();
    QCOMPARE(w->drillOptions().key(DrillOptions::KeyAction::Known), QStringLiteral("Ctrl+Alt+F7"));
}

QTEST_MAIN(TestForm1Drill)
#include "tst_form1_drill.moc"
