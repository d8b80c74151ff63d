#pragma once

#include "WordListModel.h"

#include <QObject>
#include <QPointer>
#include <QUndoStack>

// Every change to the word list, kept so that it can be taken back: import, delete, clear, edit
// and sort act at once and are undone and redone here (Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z, the list
// menu). The list tells the history of each change itself (WordListModel::Journal), so whichever
// window or command changed it, the change is on the stack. A clear hands its whole text over
// instead of copying it, so undoing the clear of a million entries costs no second copy.
class WordListHistory : public QObject, private WordListModel::Journal
{
    Q_OBJECT
public:
    // Steps kept; older ones are dropped.
    static constexpr int kSteps = 100;

    explicit WordListHistory(WordListModel &list, QObject *parent = nullptr);
    ~WordListHistory() override;

    QUndoStack &stack() { return m_stack; }
    void undo() { m_stack.undo(); }
    void redo() { m_stack.redo(); }

private:
    class Step;
    void appended(int count) override;
    void removed(WordListModel::Taken taken) override;
    void cleared(WordListModel::Contents contents) override;
    void marked(const QList<int> &rows, bool known) override;
    void edited(int row, const QString &word, const QString &meaning) override;
    void reordered(const std::vector<int> &newOrder) override;
    void push(Step *step);

    WordListModel &m_list;
    // Null once the list is gone (siblings under one parent go in the order they were made).
    QPointer<WordListModel> m_listAlive;
    QUndoStack m_stack;
    // Undo and redo change the list themselves; those changes are not new steps.
    bool m_replaying = false;
};
