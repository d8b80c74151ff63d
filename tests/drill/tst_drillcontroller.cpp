// The drill's actions without any window: next, previous, pause, known, the skip rule, and the
// history of shown entries while the list changes under it.
#include "ScriptedRandom.h"
#include "app/Settings.h"
#include "drill/DrillController.h"
#include "drill/DrillOptions.h"
#include "drill/FloatingLayout.h"
#include "wordlist/WordListModel.h"

#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Entries "w0" … and a selection standing in for the list's, moved to every entry shown as the
// main window does. run() plays a script and returns what was shown: rows as they are at the
// end of the step that showed them, "-" where the drill ran out of entries, "|" where the script
// marks a moment.
struct Drill
{
    WordListModel list;
    QItemSelectionModel selection{&list};
    QString order = QStringLiteral("顺序");
    DrillController drill{list, {[] { return QStringLiteral("3"); }, [this] { return order; },
                                 [this] { return selection.currentIndex().row(); }}};
    QStringList shown;

    Drill(int count, const QList<int> &known)
    {
        for (int i = 0; i < count; ++i)
            list.addEntry(QStringLiteral("w%1").arg(i), QStringLiteral("m%1").arg(i));
        list.setKnown(known, true);
        QObject::connect(&drill, &DrillController::entryShown, [this](int row) {
            selection.setCurrentIndex(list.index(row, 0), QItemSelectionModel::ClearAndSelect);
            shown << QString::number(row);
        });
        QObject::connect(&drill, &DrillController::ranOutOfEntries, [this] { shown << QStringLiteral("-"); });
    }

    // s start, n next, p previous, k known, K known entries take part, u pause/resume, h/H hold/release
    // (hover), tN N ticks of a 3-second delay, xN remove row N, o reverse a list of five, | a mark.
    QString run(const QString &script)
    {
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            const int n = step.mid(1).toInt();
            switch (step.at(0).unicode()) {
            case 's': drill.start(); break;
            case 'n': drill.trigger(DrillAction::Next); break;
            case 'p': drill.trigger(DrillAction::Previous); break;
            case 'k': drill.trigger(DrillAction::Known); break;
            case 'K': drill.setKnownTakePart(true); break;
            case 'u': drill.trigger(DrillAction::PauseResume); break;
            case 'h': drill.setHeld(true); break;
            case 'H': drill.setHeld(false); break;
            case 't': for (int i = 0; i < n; ++i) drill.tick(); break;
            case 'x': list.removeEntries({n}); break;
            case 'o': list.reorder({4, 3, 2, 1, 0}); break;
            case '|': shown << QStringLiteral("|"); break;
            default: qFatal("unknown step");
            }
        }
        return shown.join(u' ');
    }
};

} // namespace

class TestDrillController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void actions_data();
    void actions();
    void refusal();
    void optionsRoundTrip();
    void startScreen();
};

void TestDrillController::actions_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("known");
    QTest::addColumn<QList<double>>("draws"); // empty: list order
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *name, int count, QList<int> known, QList<double> draws, const char *script,
                        const char *shown) {
        QTest::newRow(name) << count << known << draws << QString::fromLatin1(script) << QString::fromLatin1(shown);
    };
    // r × 5 → rows 4, 1, 3: back goes through them as shown, then stops at the first.
    row("back through random order", 5, {}, {0.95, 0.3, 0.75}, "s n n p p p", "4 1 3 1 4");
    row("back past the start", 3, {}, {}, "s p p n", "0 1");
    row("next after back goes on from there", 5, {}, {}, "s n n p n", "0 1 2 1 2");
    // The entry shown second is deleted: back skips it and reaches the first.
    row("history after a row is removed", 5, {}, {}, "s n n x1 p", "0 1 2 0");
    // After the list is reversed, the entry shown second (w1) is row 3.
    row("history after the list is reordered", 5, {}, {}, "s n n o p", "0 1 2 3");
    row("order skips known, wrapping", 5, {0, 3, 4}, {}, "s n n n", "1 2 1 2");
    row("order with known taking part", 5, {0, 3, 4}, {}, "K s n", "0 1");
    // Over rows 0, 3, 4: 0.1 → 0 (again), 0.5 → 1.5 → 2 → row 3, 0.99 → 3 → row 4.
    row("random skips known", 5, {1, 2}, {0.1, 0.5, 0.99}, "s n", "3 4");
    row("known moves on and is skipped next lap", 3, {}, {}, "s k n n", "0 1 2 1");
    row("known on the last entry left", 3, {0, 1}, {}, "s k", "2 -");
    row("pause holds past the delay, resume restarts the countdown", 3, {}, {}, "s t2 u t10 u t2 | t1", "0 | 1");
    row("next restarts the countdown", 3, {}, {}, "s t2 n t2 | t1", "0 1 | 2");
    row("previous restarts the countdown", 3, {}, {}, "s n t2 p t2 | t1", "0 1 0 | 1");
    row("hover holds, leaving restarts the countdown", 3, {}, {}, "s t2 h t10 H t2 | t1", "0 | 1");
    row("leaving while paused does not resume", 3, {}, {}, "s h u H t10 | u t3", "0 | 1");
}

void TestDrillController::actions()
{
    QFETCH(int, count);
    QFETCH(QList<int>, known);
    QFETCH(QList<double>, draws);
    QFETCH(QString, script);
    QFETCH(QString, shown);

    Drill d(count, known);
    if (!draws.isEmpty()) {
        d.order = QStringLiteral("随机");
        d.drill.scheduler().setRandom(std::make_unique<ScriptedRandom>(draws));
    }
    QCOMPARE(d.run(script), shown);
}

void TestDrillController::refusal()
{
    Drill empty(0, {}), allKnown(2, {0, 1}), oneLeft(2, {1});
    QCOMPARE(empty.drill.refusal(), DrillController::Refusal::EmptyList);
    QCOMPARE(allKnown.drill.refusal(), DrillController::Refusal::EveryEntryKnown);
    QCOMPARE(oneLeft.drill.refusal(), DrillController::Refusal::None);
    allKnown.drill.setKnownTakePart(true);
    QCOMPARE(allKnown.drill.refusal(), DrillController::Refusal::None);
}

void TestDrillController::optionsRoundTrip()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("s.conf"));
    // Missing keys are the behaviour from before the options.
    QCOMPARE(DrillOptions::load(Settings(ini)), DrillOptions());
    DrillOptions changed;
    changed.hoverPause = true;
    changed.textSize = DrillOptions::TextSize::Large;
    changed.knownTakePart = true;
    changed.setKey(DrillOptions::KeyAction::Known, QStringLiteral("Ctrl+Shift+F9"));
    changed.setKey(DrillOptions::KeyAction::Next, QString()); // a key taken away stays away
    Settings settings(ini);
    changed.save(settings);
    QString error;
    QVERIFY(settings.sync(&error));
    QCOMPARE(DrillOptions::load(Settings(ini)), changed);
    // A key that would take a letter from every program's typing is refused.
    QVERIFY(DrillOptions::isUsableKey(QStringLiteral("Ctrl+Alt++")) && DrillOptions::isUsableKey(QString()));
    QVERIFY(!DrillOptions::isUsableKey(QStringLiteral("Shift+N")) && !DrillOptions::isUsableKey(QStringLiteral("F9")));
}

void TestDrillController::startScreen()
{
    // A left monitor and the primary one at its right.
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    const QPoint left(300, 900), right(2000, 500), gone(-500, 700);
    QCOMPARE(FloatingWindow::startScreen(screens, nullptr, 1), 1);
    QCOMPARE(FloatingWindow::startScreen(screens, &left, 1), 0);
    QCOMPARE(FloatingWindow::startScreen(screens, &right, 1), 1);
    QCOMPARE(FloatingWindow::startScreen(screens, &gone, 1), 0); // the nearest
}

QTEST_GUILESS_MAIN(TestDrillController)
#include "tst_drillcontroller.moc"
