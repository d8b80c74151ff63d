#include "DrillScheduler.h"

#include <chrono>
#include <cmath>
#include <random>

ClockRandom::ClockRandom(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [] {
            return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                            std::chrono::system_clock::now().time_since_epoch())
                                            .count());
        };
    }
}

void ClockRandom::reseed()
{
    const auto now = static_cast<uint64_t>(m_clock());
    std::seed_seq seeds{static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32), ++m_reseeds};
    m_generator.seed(seeds);
}

double ClockRandom::draw()
{
    return m_generator.generateDouble();
}

DrillScheduler::DrillScheduler() : m_random(std::make_unique<ClockRandom>()) {}

DrillScheduler::DrillScheduler(std::unique_ptr<DrillRandom> random) : m_random(std::move(random)) {}

DrillScheduler::~DrillScheduler() = default;

void DrillScheduler::setRandom(std::unique_ptr<DrillRandom> random)
{
    m_random = std::move(random);
}

bool DrillScheduler::tick(const QString &delayText)
{
    ++m_elapsedSeconds;
    if (m_elapsedSeconds >= delaySeconds(delayText)) {
        m_elapsedSeconds = 0;
        return true;
    }
    return false;
}

int DrillScheduler::delaySeconds(const QString &delayText)
{
    bool ok = false;
    const int seconds = delayText.trimmed().toInt(&ok, 10);
    return ok && seconds >= 1 ? seconds : 10;
}

bool DrillScheduler::isListOrder(const QString &orderText)
{
    return orderText == QStringLiteral("顺序");
}

int DrillScheduler::nextInListOrder(int selectedRow, int count)
{
    if (count <= 0)
        return -1;
    if (selectedRow < 0 || selectedRow + 1 >= count)
        return 0;
    return selectedRow + 1;
}

int DrillScheduler::nextAtRandom(int count)
{
    if (count <= 0)
        return -1;
    int64_t k = 0;
    while (k < 1) {
        m_random->reseed();
        k = roundHalfToEven(m_random->draw() * count);
        // A draw outside [0, 1) is the source's fault; drawing again keeps the row in the list.
        if (k > count)
            k = 0;
    }
    return static_cast<int>(k - 1);
}

int DrillScheduler::nextRow(const QString &orderText, int selectedRow, int count)
{
    if (count <= 0)
        return -1;
    return isListOrder(orderText) ? nextInListOrder(selectedRow, count) : nextAtRandom(count);
}

int64_t DrillScheduler::roundHalfToEven(double x)
{
    const double below = std::floor(x);
    const double fraction = x - below;
    auto n = static_cast<int64_t>(below);
    if (fraction > 0.5)
        return n + 1;
    if (fraction < 0.5)
        return n;
    return n % 2 == 0 ? n : n + 1;
}
