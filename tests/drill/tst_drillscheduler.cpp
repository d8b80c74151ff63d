// The drill's timing, order and texts, without any window.
#include "drill/DrillScheduler.h"
#include "drill/DrillText.h"
#include "drill/FloatingLayout.h"

#include <QTest>

#include <vector>

namespace {

// Chance from a script: every draw takes the next number; counts the reseeds.
class ScriptedRandom : public DrillRandom
{
public:
    explicit ScriptedRandom(std::vector<double> draws) : m_draws(std::move(draws)) {}
    void reseed() override { ++reseeds; }
    double draw() override
    {
        ++draws;
        return m_draws.at(m_next++ % m_draws.size());
    }
    int reseeds = 0;
    int draws = 0;

private:
    std::vector<double> m_draws;
    size_t m_next = 0;
};

// A fixed-seed generator standing in for the clock, so the distribution test is repeatable.
class SeededRandom : public DrillRandom
{
public:
    void reseed() override {}
    double draw() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator{20261207};
};

// Ticks `ticks` times with the given delay texts (the last one repeats); returns the 1-based
// ticks that showed a word.
QList<int> dueTicks(DrillScheduler &s, const QStringList &delays, int ticks)
{
    QList<int> due;
    for (int t = 1; t <= ticks; ++t) {
        if (s.tick(delays.at(qMin(t - 1, delays.size() - 1))))
            due << t;
    }
    return due;
}

} // namespace

class TestDrillScheduler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ticks_data();
    void ticks();
    void delayText_data();
    void delayText();
    void listOrder_data();
    void listOrder();
    void roundingTiesGoToEven_data();
    void roundingTiesGoToEven();
    void randomRedrawsBelowOneAndReseedsBeforeEveryDraw();
    void randomDistribution_data();
    void randomDistribution();
    void clockRandomDiffersEvenOnAStoppedClock();
    void displayText_data();
    void displayText();
    void lookupWord_data();
    void lookupWord();
    void startPositionIsInTheWorkArea_data();
    void startPositionIsInTheWorkArea();
};

void TestDrillScheduler::ticks_data()
{
    QTest::addColumn<QStringList>("delays");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QList<int>>("due");

    QTest::newRow("every 3 s") << QStringList{QStringLiteral("3")} << 10 << QList<int>{3, 6, 9};
    QTest::newRow("every 10 s") << QStringList{QStringLiteral("10")} << 25 << QList<int>{10, 20};
    // The delay is read at every tick: shortening it after 5 s shows the word at once.
    QTest::newRow("10 then 3 after 5 ticks")
        << QStringList{QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10"),
                       QStringLiteral("10"), QStringLiteral("3")}
        << 10 << QList<int>{6, 9};
    QTest::newRow("3 then 50") << QStringList{QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("3"),
                                              QStringLiteral("50")}
                               << 60 << QList<int>{3, 53};
    // A text that is no delay counts as 10 seconds: the drill goes on, never a word a second.
    QTest::newRow("empty text") << QStringList{QString()} << 21 << QList<int>{10, 20};
    QTest::newRow("zero") << QStringList{QStringLiteral("0")} << 12 << QList<int>{10};
    QTest::newRow("negative") << QStringList{QStringLiteral("-4")} << 12 << QList<int>{10};
}

void TestDrillScheduler::ticks()
{
    QFETCH(QStringList, delays);
    QFETCH(int, ticks);
    QFETCH(QList<int>, due);
    DrillScheduler s;
    QCOMPARE(dueTicks(s, delays, ticks), due);
}

void TestDrillScheduler::delayText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");
    for (const char *d : {"3", "4", "10", "25", "50"})
        QTest::newRow(d) << QString::fromLatin1(d) << QByteArray(d).toInt();
    QTest::newRow("spaces around") << QStringLiteral(" 7 ") << 7;
    QTest::newRow("1 s stays 1 s") << QStringLiteral("1") << 1;
    QTest::newRow("empty") << QString() << 10;
    QTest::newRow("words") << QStringLiteral("十秒") << 10;
    QTest::newRow("fraction") << QStringLiteral("3.5") << 10;
    QTest::newRow("zero") << QStringLiteral("0") << 10;
    QTest::newRow("negative") << QStringLiteral("-3") << 10;
    QTest::newRow("too large for 32 bits") << QStringLiteral("99999999999") << 10;
}

void TestDrillScheduler::delayText()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    QCOMPARE(DrillScheduler::delaySeconds(text), seconds);
}

void TestDrillScheduler::listOrder_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("next");
    QTest::newRow("nothing selected") << -1 << 3 << 0;
    QTest::newRow("first of 3") << 0 << 3 << 1;
    QTest::newRow("entry 2 of 5") << 1 << 5 << 2;
    QTest::newRow("last wraps") << 4 << 5 << 0;
    QTest::newRow("single entry") << 0 << 1 << 0;
    QTest::newRow("selection beyond the list") << 9 << 5 << 0;
    QTest::newRow("empty list") << -1 << 0 << -1;
}

void TestDrillScheduler::listOrder()
{
    QFETCH(int, selected);
    QFETCH(int, count);
    QFETCH(int, next);
    QCOMPARE(DrillScheduler::nextInListOrder(selected, count), next);
}

void TestDrillScheduler::roundingTiesGoToEven_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<qint64>("rounded");
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("1.5") << 1.5 << qint64(2);
    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("3.5") << 3.5 << qint64(4);
    QTest::newRow("0.4999") << 0.4999 << qint64(0);
    QTest::newRow("0.5001") << 0.5001 << qint64(1);
    QTest::newRow("2.0") << 2.0 << qint64(2);
    QTest::newRow("4.75") << 4.75 << qint64(5);
    QTest::newRow("999999.5") << 999999.5 << qint64(1000000);
}

void TestDrillScheduler::roundingTiesGoToEven()
{
    QFETCH(double, x);
    QFETCH(qint64, rounded);
    QCOMPARE(DrillScheduler::roundHalfToEven(x), rounded);
}

void TestDrillScheduler::randomRedrawsBelowOneAndReseedsBeforeEveryDraw()
{
    // N = 2: 0.25 × 2 = 0.5 rounds to 0 (tie to even), 0.1 × 2 to 0: both drawn again;
    // 0.75 × 2 = 1.5 rounds to 2, the last entry.
    auto *random = new ScriptedRandom({0.25, 0.1, 0.75});
    DrillScheduler s{std::unique_ptr<DrillRandom>(random)};
    QCOMPARE(s.nextAtRandom(2), 1);
    QCOMPARE(random->draws, 3);
    QCOMPARE(random->reseeds, 3);

    // N = 4: 0.625 × 4 = 2.5 goes to 2, not 3.
    auto *tie = new ScriptedRandom({0.625});
    s.setRandom(std::unique_ptr<DrillRandom>(tie));
    QCOMPARE(s.nextAtRandom(4), 1);

    // A broken source giving more than 1 never yields a row past the list.
    auto *broken = new ScriptedRandom({1.5, 0.3});
    s.setRandom(std::unique_ptr<DrillRandom>(broken));
    QCOMPARE(s.nextAtRandom(3), 0);
    QCOMPARE(broken->draws, 2);
}

void TestDrillScheduler::randomDistribution_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<double>>("shares");
    QTest::newRow("N = 1") << 1 << QList<double>{1.0};
    QTest::newRow("N = 2: 2 : 1") << 2 << QList<double>{2.0 / 3, 1.0 / 3};
    QTest::newRow("N = 5: last one half") << 5 << QList<double>{2.0 / 9, 2.0 / 9, 2.0 / 9, 2.0 / 9, 1.0 / 9};
}

void TestDrillScheduler::randomDistribution()
{
    QFETCH(int, count);
    QFETCH(QList<double>, shares);
    DrillScheduler s{std::make_unique<SeededRandom>()};
    constexpr int kDraws = 90000;
    QList<int> hits(count, 0);
    for (int i = 0; i < kDraws; ++i) {
        const int row = s.nextAtRandom(count);
        QVERIFY(row >= 0 && row < count);
        ++hits[row];
    }
    for (int row = 0; row < count; ++row) {
        const double share = double(hits[row]) / kDraws;
        QVERIFY2(qAbs(share - shares[row]) < 0.01,
                 qPrintable(QStringLiteral("row %1: %2 instead of %3").arg(row).arg(share).arg(shares[row])));
    }
}

void TestDrillScheduler::clockRandomDiffersEvenOnAStoppedClock()
{
    // A coarse clock may read the same on two reseeds in a row; the draws must still differ, or
    // a one-entry list could spin through the same too-small draw until the clock moves on.
    ClockRandom random([] { return int64_t(1234567890); });
    QSet<double> seen;
    for (int i = 0; i < 50; ++i) {
        random.reseed();
        const double r = random.draw();
        QVERIFY(r >= 0.0 && r < 1.0);
        seen.insert(r);
    }
    QCOMPARE(seen.size(), 50);
    DrillScheduler s{std::make_unique<ClockRandom>([] { return int64_t(42); })};
    QCOMPARE(s.nextAtRandom(1), 0);
}

void TestDrillScheduler::displayText_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<QString>("text");
    QTest::newRow("word and meaning") << QStringLiteral("look") << QStringLiteral("看") << QStringLiteral("look  看");
    QTest::newRow("empty meaning") << QStringLiteral("hello") << QString() << QStringLiteral("hello");
    QTest::newRow("tab inside") << QStringLiteral("ice\tcream") << QStringLiteral("冰淇淋")
                                << QStringLiteral("ice cream  冰淇淋");
    QTest::newRow("meaning starts with three spaces: five in a row end as one")
        << QStringLiteral("x") << QStringLiteral("   y") << QStringLiteral("x y");
    QTest::newRow("four spaces end as two") << QStringLiteral("pad  ") << QStringLiteral("m")
                                            << QStringLiteral("pad  m");
    // 26 spaces: 10 after one pass, then 4, then 2.
    QTest::newRow("long runs collapse again and again")
        << QStringLiteral("a") << QString(QStringLiteral(" ").repeated(24) + QStringLiteral("b"))
        << QStringLiteral("a  b");
    QTest::newRow("tabs then collapse") << QStringLiteral("w") << QStringLiteral("m\t\t\tx")
                                        << QStringLiteral("w  m x");
    QTest::newRow("outer spaces trimmed") << QStringLiteral("  word") << QStringLiteral("meaning  ")
                                          << QStringLiteral("word  meaning");
    QTest::newRow("only spaces are trimmed") << QStringLiteral("\u3000word") << QStringLiteral("义\u3000")
                                             << QStringLiteral("\u3000word  义\u3000");
    // Trimming comes before the tabs are replaced, so a leading tab leaves a space.
    QTest::newRow("leading tab") << QStringLiteral("\tword") << QStringLiteral("m") << QStringLiteral(" word  m");
}

void TestDrillScheduler::displayText()
{
    QFETCH(QString, word);
    QFETCH(QString, meaning);
    QFETCH(QString, text);
    QCOMPARE(DrillText::displayText(word, meaning), text);
}

void TestDrillScheduler::lookupWord_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("word");
    QTest::newRow("word and meaning") << QStringLiteral("abandon  放弃") << QStringLiteral("abandon");
    QTest::newRow("no meaning") << QStringLiteral("hello") << QStringLiteral("hello");
    QTest::newRow("phrase with single spaces") << QStringLiteral("give up  放弃") << QStringLiteral("give up");
    QTest::newRow("no double space: whole text") << QStringLiteral("give up 放弃") << QStringLiteral("give up 放弃");
    QTest::newRow("trailing slash") << QStringLiteral("and/or/  和/或") << QStringLiteral("and/or");
    QTest::newRow("only one slash dropped") << QStringLiteral("a//") << QStringLiteral("a/");
    QTest::newRow("spaces around") << QStringLiteral("  word  meaning  ") << QStringLiteral("word");
    QTest::newRow("slash before the gap") << QStringLiteral("word /  义") << QStringLiteral("word ");
}

void TestDrillScheduler::lookupWord()
{
    QFETCH(QString, caption);
    QFETCH(QString, word);
    QCOMPARE(DrillText::lookupWord(caption), word);
}

void TestDrillScheduler::startPositionIsInTheWorkArea_data()
{
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QPoint>("topLeft");
    // 500 twips = 33 px from the left; the designed 69 px plus 100 twips (7 px) above the bottom.
    QTest::newRow("whole screen") << QRect(0, 0, 1280, 800) << QPoint(33, 724);
    QTest::newRow("taskbar at the bottom") << QRect(0, 0, 1280, 760) << QPoint(33, 684);
    QTest::newRow("taskbar at the left, second row of panels")
        << QRect(48, 30, 1232, 740) << QPoint(81, 694);
}

void TestDrillScheduler::startPositionIsInTheWorkArea()
{
    QFETCH(QRect, workArea);
    QFETCH(QPoint, topLeft);
    QCOMPARE(FloatingWindow::startPosition(workArea, 69), topLeft);
}

QTEST_GUILESS_MAIN(TestDrillScheduler)
#include "tst_drillscheduler.moc"
