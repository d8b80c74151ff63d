// The drill's actions without any window: next, previous, pause, known, the skip rule, and the
// history of shown entries while the list changes under it.
#include "app/Settings.h"
#include "drill/DrillController.h"
#include "drill/DrillOptions.h"
#include "drill/FloatingLayout.h"
#include "wordlist/WordListModel.h"

#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

namespace {

class ScriptedRandom : public DrillRandom
{
public:
    explicit ScriptedRandom(QList<double> draws) : m_draws(std::move(draws)) {}
    void reseed() override {}
    double draw() override { return m_draws.at(m_next++ % m_draws.size()); }

private:
    QList<double> m_draws;
    qsizetype m_next = 0;
};

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

    // s start, n next, p previous, k known, u pause/resume, h/H hold/release (hover),
    // tN N ticks of a 3-second delay, xN remove row N, o reverse the list's order, | a mark.
    QString run(const QString &script)
    {
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            const int n = step.mid(1).toInt();
            switch (step.at(0).unicode()) {
            case 's': drill.start(); break;
            case 'n': drill.trigger(DrillAction::Next); break;
            case 'p': drill.trigger(DrillAction::Previous); break;
            case 'k': drill.trigger(DrillAction::Known); break;
            case 'u': drill.trigger(DrillAction::PauseResume); break;
            case 'h': drill.setHeld(true); break;
            case 'H': drill.setHeld(false); break;
            case 't': for (int i = 0; i < n; ++i) drill.tick(); break;
            case 'x': list.removeEntries({n}); break;
            case 'o': {
                std::vector<int> reversed(static_cast<size_t>(list.count()));
                std::iota(reversed.rbegin(), reversed.rend(), 0);
                list.reorder(reversed);
                break;
            }
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
    void refusal_data();
    void refusal();
    void knownMarksTheShownEntry();
    void optionsRoundTrip_data();
    void optionsRoundTrip();
    void startScreen_data();
    void startScreen();
};

void TestDrillController::actions_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("known");
    QTest::addColumn<bool>("knownTakePart");
    QTest::addColumn<QList<double>>("draws"); // empty: list order
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("shown");

    const QList<double> order;
    // r × 5 → rows 4, 1, 3: back goes through them as shown, then stops at the first.
    QTest::newRow("back through random order")
        << 5 << QList<int>{} << false << QList<double>{0.95, 0.3, 0.75} << "s n n p p p" << "4 1 3 1 4";
    QTest::newRow("back past the start") << 3 << QList<int>{} << false << order << "s p p n" << "0 1";
    QTest::newRow("next after back goes on from there")
        << 5 << QList<int>{} << false << order << "s n n p n" << "0 1 2 1 2";
    // The entry shown second is deleted: back skips it and reaches the first.
    QTest::newRow("history after a row is removed")
        << 5 << QList<int>{} << false << order << "s n n x1 p" << "0 1 2 0";
    // After the list is reversed, the entry shown second (w1) is row 3.
    QTest::newRow("history after the list is reordered")
        << 5 << QList<int>{} << false << order << "s n n o p" << "0 1 2 3";
    QTest::newRow("order skips known, wrapping")
        << 5 << QList<int>{0, 3, 4} << false << order << "s n n n" << "1 2 1 2";
    QTest::newRow("order with known taking part") << 5 << QList<int>{0, 3, 4} << true << order << "s n" << "0 1";
    // Over rows 0, 3, 4: 0.1 → 0 (again), 0.5 → 1.5 → 2 → row 3, 0.99 → 3 → row 4.
    QTest::newRow("random skips known")
        << 5 << QList<int>{1, 2} << false << QList<double>{0.1, 0.5, 0.99} << "s n" << "3 4";
    QTest::newRow("known moves on and is skipped next lap")
        << 3 << QList<int>{} << false << order << "s k n n" << "0 1 2 1";
    QTest::newRow("known on the last entry left") << 3 << QList<int>{0, 1} << false << order << "s k" << "2 -";
    QTest::newRow("pause holds past the delay, resume restarts the countdown")
        << 3 << QList<int>{} << false << order << "s t2 u t10 u t2 | t1" << "0 | 1";
    QTest::newRow("next restarts the countdown") << 3 << QList<int>{} << false << order << "s t2 n t2 | t1" << "0 1 | 2";
    QTest::newRow("previous restarts the countdown")
        << 3 << QList<int>{} << false << order << "s n t2 p t2 | t1" << "0 1 0 | 1";
    QTest::newRow("hover holds, leaving restarts the countdown")
        << 3 << QList<int>{} << false << order << "s t2 h t10 H t2 | t1" << "0 | 1";
    QTest::newRow("leaving while paused does not resume")
        << 3 << QList<int>{} << false << order << "s h u H t10 | u t3" << "0 | 1";
}

void TestDrillController::actions()
{
    QFETCH(int, count);
    QFETCH(QList<int>, known);
    QFETCH(bool, knownTakePart);
    QFETCH(QList<double>, draws);
    QFETCH(QString, script);
    QFETCH(QString, shown);

    Drill d(count, known);
    d.drill.setKnownTakePart(knownTakePart);
    if (!draws.isEmpty()) {
        d.order = QStringLiteral("随机");
        d.drill.scheduler().setRandom(std::make_unique<ScriptedRandom>(draws));
    }
    QCOMPARE(d.run(script), shown);
}

void TestDrillController::refusal_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("known");
    QTest::addColumn<bool>("knownTakePart");
    QTest::addColumn<int>("refusal");
    QTest::newRow("empty") << 0 << QList<int>{} << false << int(DrillController::Refusal::EmptyList);
    QTest::newRow("every entry known") << 2 << QList<int>{0, 1} << false << int(DrillController::Refusal::EveryEntryKnown);
    QTest::newRow("all known, taking part") << 2 << QList<int>{0, 1} << true << int(DrillController::Refusal::None);
    QTest::newRow("one left") << 2 << QList<int>{1} << false << int(DrillController::Refusal::None);
}

void TestDrillController::refusal()
{
    QFETCH(int, count);
    QFETCH(QList<int>, known);
    QFETCH(bool, knownTakePart);
    QFETCH(int, refusal);
    Drill d(count, known);
    d.drill.setKnownTakePart(knownTakePart);
    QCOMPARE(int(d.drill.refusal()), refusal);
}

void TestDrillController::knownMarksTheShownEntry()
{
    // Back to an entry, then "已掌握": that entry is marked, not the one shown last.
    Drill d(4, {});
    d.run(QStringLiteral("s n n p k"));
    QCOMPARE(d.list.isKnown(1), true);
    QCOMPARE(d.list.knownCount(), 1);
    QCOMPARE(d.shown.last(), QStringLiteral("2"));
}

void TestDrillController::optionsRoundTrip_data()
{
    QTest::addColumn<QStringList>("stored"); // key, value, …; "save" saves the changed options
    QTest::addColumn<bool>("defaults");
    QTest::newRow("missing keys") << QStringList{} << true;
    QTest::newRow("values no option knows")
        << QStringLiteral("悬停暂停 maybe 字号 巨 复习已掌握 1").split(u' ') << true;
    QTest::newRow("saved and read back") << QStringList{QStringLiteral("save")} << false;
}

void TestDrillController::optionsRoundTrip()
{
    QFETCH(QStringList, stored);
    QFETCH(bool, defaults);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("s.conf"));
    DrillOptions changed;
    changed.hoverPause = true;
    changed.textSize = DrillOptions::TextSize::Large;
    changed.knownTakePart = true;
    changed.setKey(DrillOptions::KeyAction::Known, QStringLiteral("Ctrl+Shift+F9"));
    changed.setKey(DrillOptions::KeyAction::Next, QString()); // taken away stays away
    {
        Settings settings(ini);
        if (stored == QStringList{QStringLiteral("save")})
            changed.save(settings);
        else
            for (qsizetype i = 0; i + 1 < stored.size(); i += 2)
                settings.setValue(stored[i], stored[i + 1]);
        QString error;
        QVERIFY(settings.sync(&error));
    }
    const DrillOptions loaded = DrillOptions::load(Settings(ini));
    QCOMPARE(loaded == DrillOptions(), defaults);
    QCOMPARE(loaded == changed, !defaults);
    QCOMPARE(DrillOptions().key(DrillOptions::KeyAction::StartStop), QStringLiteral("Ctrl+Alt+G"));
}

void TestDrillController::startScreen_data()
{
    QTest::addColumn<bool>("remembered");
    QTest::addColumn<QPoint>("lastCentre");
    QTest::addColumn<int>("screen");
    // The primary screen is the right one (index 1).
    QTest::newRow("nothing remembered") << false << QPoint() << 1;
    QTest::newRow("left on the left monitor") << true << QPoint(300, 900) << 0;
    QTest::newRow("left on the primary") << true << QPoint(2000, 500) << 1;
    QTest::newRow("its monitor is gone: the nearest") << true << QPoint(-500, 700) << 0;
}

void TestDrillController::startScreen()
{
    QFETCH(bool, remembered);
    QFETCH(QPoint, lastCentre);
    QFETCH(int, screen);
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    QCOMPARE(FloatingWindow::startScreen(screens, remembered ? &lastCentre : nullptr, 1), screen);
}

QTEST_GUILESS_MAIN(TestDrillController)
#include "tst_drillcontroller.moc"
