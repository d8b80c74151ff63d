#include "DrillController.h"

#include "DrillText.h"
#include "wordlist/WordListModel.h"

#include <vector>

DrillController::DrillController(WordListModel &list, Rules rules, QObject *parent)
    : QObject(parent), m_list(list), m_rules(std::move(rules)), m_scheduler(std::make_unique<DrillScheduler>())
{
}

DrillController::~DrillController() = default;

DrillController::Refusal DrillController::refusal() const
{
    const int count = m_list.count();
    if (count == 0)
        return Refusal::EmptyList;
    if (!m_knownTakePart && m_list.knownCount() >= count)
        return Refusal::EveryEntryKnown;
    return Refusal::None;
}

bool DrillController::takesPart(int row) const
{
    return m_knownTakePart || !m_list.isKnown(row);
}

int DrillController::shownRow() const
{
    // A shown entry that has since gone (removed, or the list replaced) leaves the history; the
    // selection is the position then, as it is before the first entry.
    for (auto it = m_history.crbegin(); it != m_history.crend(); ++it) {
        if (it->isValid())
            return it->row();
    }
    return -1;
}

void DrillController::start()
{
    m_running = true;
    m_paused = false;
    m_held = false;
    showNext();
}

void DrillController::finish()
{
    m_running = false;
    m_held = false;
    if (m_paused) {
        m_paused = false;
        Q_EMIT pausedChanged(false);
    }
}

void DrillController::tick()
{
    if (!m_running || m_paused || m_held)
        return;
    if (m_scheduler->tick(m_rules.delayText()))
        showNext();
}

void DrillController::showNext()
{
    const int count = m_list.count();
    if (count == 0)
        return;
    const int row = chooseNext();
    if (row < 0) {
        Q_EMIT ranOutOfEntries();
        return;
    }
    show(row);
}

int DrillController::chooseNext()
{
    const int count = m_list.count();
    const bool skipping = !m_knownTakePart && m_list.knownCount() > 0;
    if (DrillScheduler::isListOrder(m_rules.orderText())) {
        int row = m_rules.selectedRow();
        if (row >= count)
            row = -1;
        // The rows after the position, then from the top round to the position itself.
        for (int step = 0; step < count; ++step) {
            row = DrillScheduler::nextInListOrder(row, count);
            if (!skipping || takesPart(row))
                return row;
        }
        return -1;
    }
    if (!skipping)
        return m_scheduler->nextAtRandom(count);
    // The draw runs over the entries that take part, each with its usual chance.
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(count - m_list.knownCount()));
    for (int row = 0; row < count; ++row) {
        if (takesPart(row))
            rows.push_back(row);
    }
    if (rows.empty())
        return -1;
    return rows[static_cast<size_t>(m_scheduler->nextAtRandom(static_cast<int>(rows.size())))];
}

void DrillController::show(int row)
{
    dropLostHistory();
    m_history.append(QPersistentModelIndex(m_list.index(row, 0)));
    while (m_history.size() > historyLength)
        m_history.removeFirst();
    Q_EMIT entryShown(row);
}

void DrillController::dropLostHistory()
{
    m_history.removeIf([](const QPersistentModelIndex &shown) { return !shown.isValid(); });
}

void DrillController::trigger(DrillAction action)
{
    switch (action) {
    case DrillAction::PauseResume:
        togglePause();
        return;
    case DrillAction::Previous:
        previous();
        return;
    case DrillAction::Next:
        next();
        return;
    case DrillAction::Known:
        markKnown();
        return;
    case DrillAction::Lookup:
        lookup();
        return;
    case DrillAction::Speak:
        speak();
        return;
    case DrillAction::Stop:
        stop();
        return;
    }
}

void DrillController::togglePause()
{
    if (!m_running)
        return;
    m_paused = !m_paused;
    if (!m_paused)
        m_scheduler->restartCountdown();
    Q_EMIT pausedChanged(m_paused);
}

void DrillController::setHeld(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    if (!held && !m_paused)
        m_scheduler->restartCountdown();
}

void DrillController::previous()
{
    if (!m_running)
        return;
    dropLostHistory();
    // The first entry shown has nothing before it: it stays, and so does its countdown.
    if (m_history.size() < 2)
        return;
    m_history.removeLast();
    m_scheduler->restartCountdown();
    Q_EMIT entryShown(m_history.constLast().row());
}

void DrillController::next()
{
    if (!m_running)
        return;
    m_scheduler->restartCountdown();
    showNext();
}

void DrillController::markKnown()
{
    if (!m_running)
        return;
    const int row = shownRow();
    if (row < 0)
        return;
    m_list.setKnown({row}, true);
    next();
}

void DrillController::lookup()
{
    const int row = shownRow();
    if (row < 0)
        return;
    const WordEntry entry = m_list.entry(row);
    const QString word = DrillText::lookupWord(DrillText::displayText(entry.word.toString(), entry.meaning.toString()));
    if (!word.isEmpty())
        Q_EMIT lookupRequested(word);
}

void DrillController::speak()
{
    const int row = shownRow();
    if (row >= 0)
        Q_EMIT speakRequested(m_list.word(row).toString());
}

void DrillController::stop()
{
    if (m_running)
        Q_EMIT stopRequested();
}
