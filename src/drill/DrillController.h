#pragma once

#include "DrillActions.h"
#include "DrillScheduler.h"

#include <QList>
#include <QObject>
#include <QPersistentModelIndex>

#include <functional>
#include <memory>

class WordListModel;

// A drill's state and every action on it, apart from any window: the countdown, the choice of
// the next entry, pause, the entries shown so far and the rule that known entries are skipped.
// The drill's position is the list's selected row, read through `Rules::selectedRow`; what the
// controller chooses it announces with entryShown, and the main window selects and shows it.
class DrillController : public QObject
{
    Q_OBJECT
public:
    // Read when needed, so a change of the delay or order box takes effect at the next tick.
    struct Rules
    {
        std::function<QString()> delayText;
        std::function<QString()> orderText;
        std::function<int()> selectedRow;
    };

    // Why a drill cannot start.
    enum class Refusal { None, EmptyList, EveryEntryKnown };

    // The entries shown so far that "上一个" can go back through.
    static constexpr int historyLength = 100;

    DrillController(WordListModel &list, Rules rules, QObject *parent = nullptr);
    ~DrillController() override;

    DrillScheduler &scheduler() { return *m_scheduler; }

    // Known entries take part in drills as any other (off: they are skipped).
    void setKnownTakePart(bool on) { m_knownTakePart = on; }
    bool knownTakePart() const { return m_knownTakePart; }

    Refusal refusal() const;
    bool isRunning() const { return m_running; }
    // Paused by the learner ("暂停"); a hold while the pointer rests on the window is apart.
    bool isPaused() const { return m_paused; }
    // The entry shown now, or -1.
    int shownRow() const;

    // The drill's start (shows the first entry at once) and its end. Neither touches the
    // countdown: a remainder carries over into the next drill.
    void start();
    void finish();

    // One tick of the one-second timer: the next entry when it is due, nothing while paused.
    void tick();
    // Chooses the next entry by the drill's rule and shows it, without touching the countdown.
    void showNext();

    // The actions, one function each; trigger() hands an action to its function.
    void trigger(DrillAction action);
    void togglePause();
    void speak();
    void previous();
    void next();
    void markKnown();
    void lookup();
    void stop();
    // The floating window holds the drill (its menu is open, or hover pause with the pointer on
    // it); released, the drill goes on with a fresh countdown unless the learner paused it.
    void setHeld(bool held);

Q_SIGNALS:
    void entryShown(int row);
    void pausedChanged(bool paused);
    // The word of the shown entry, prepared for the dictionary.
    void lookupRequested(const QString &word);
    // The shown entry's word, to be spoken ("朗读").
    void speakRequested(const QString &word);
    void stopRequested();
    // Every entry is known now and known entries are skipped: the drill has nothing left to show.
    void ranOutOfEntries();

private:
    // The row to show next by the order and the skip rule, or -1 when no entry takes part.
    int chooseNext();
    bool takesPart(int row) const;
    void show(int row);
    void dropLostHistory();

    WordListModel &m_list;
    Rules m_rules;
    std::unique_ptr<DrillScheduler> m_scheduler;
    QList<QPersistentModelIndex> m_history;
    bool m_knownTakePart = false;
    bool m_running = false;
    bool m_paused = false;
    bool m_held = false;
};
