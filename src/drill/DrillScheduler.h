#pragma once

#include <QRandomGenerator>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// Chance for the random order. Every draw is preceded by a reseed from the clock; tests script
// both to make the order exact.
class DrillRandom
{
public:
    virtual ~DrillRandom() = default;
    virtual void reseed() = 0;
    // A number r with 0 <= r < 1.
    virtual double draw() = 0;
};

// The production chance: a Mersenne Twister reseeded from the clock before each draw. A running
// count goes into every seed as well, so two reseeds within one tick of a coarse clock still
// give different numbers.
class ClockRandom : public DrillRandom
{
public:
    // Nanoseconds of some clock; the default reads the system clock.
    using Clock = std::function<int64_t()>;

    explicit ClockRandom(Clock clock = {});
    void reseed() override;
    double draw() override;

private:
    Clock m_clock;
    QRandomGenerator m_generator;
    uint32_t m_reseeds = 0;
};

// The drill's timing and choice of entries, apart from any window: one call per tick of the
// one-second timer, one call per word. Rows are 0-based here; -1 means "no row".
class DrillScheduler
{
public:
    DrillScheduler();
    explicit DrillScheduler(std::unique_ptr<DrillRandom> random);
    ~DrillScheduler();

    void setRandom(std::unique_ptr<DrillRandom> random);

    // Ticks since a tick last showed a word. Only a tick that shows a word sets it back to 0, so a
    // remainder carries over from one drill into the next.
    int elapsedSeconds() const { return m_elapsedSeconds; }
    // The learner moved on, went back or resumed: the word now shown gets the whole delay.
    void restartCountdown() { m_elapsedSeconds = 0; }

    // One tick: counts it and tells whether the next word is due, with the delay read from the
    // delay box's text now (a change between ticks takes effect at once).
    bool tick(const QString &delayText);

    // The delay box's text as whole seconds. Text that is no whole number of at least one second
    // counts as the program's default of 10, so a stray value can neither stop the drill nor turn
    // it into a word every second.
    static int delaySeconds(const QString &delayText);

    // "顺序" is list order; any other text is random order.
    static bool isListOrder(const QString &orderText);

    // List order: the row after the selected one, the first row after the last or when nothing is
    // selected.
    static int nextInListOrder(int selectedRow, int count);

    // Random order: reseed, draw r, k = r × count rounded to the nearest integer with ties to the
    // even one, again while k < 1; row k − 1. Rows before the last come equally often, the last
    // one half as often.
    int nextAtRandom(int count);

    // The next row to show for the order box's text, or -1 for an empty list.
    int nextRow(const QString &orderText, int selectedRow, int count);

    // Nearest integer, a tie going to the even neighbour.
    static int64_t roundHalfToEven(double x);

private:
    std::unique_ptr<DrillRandom> m_random;
    // Ticks since a tick last showed a word. Only a tick that shows a word sets it back to 0, so a
    // remainder carries over from one drill into the next.
    int32_t m_elapsedSeconds = 0;
};
