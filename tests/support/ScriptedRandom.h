#pragma once

#include "drill/DrillScheduler.h"

#include <QList>

// The drill's chance, scripted: each draw is the next number of the list, round and round.
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
