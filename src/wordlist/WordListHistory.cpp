#include "WordListHistory.h"

#include <QScopedValueRollback>
#include <QUndoCommand>

#include <numeric>
#include <variant>

// One change. It is pushed after the list already changed, so the first redo (QUndoStack's push
// calls it) does nothing.
class WordListHistory::Step : public QUndoCommand
{
public:
    struct Appended
    {
        int count;
        WordListModel::Taken taken; // while undone
    };
    struct Removed
    {
        QList<int> rows;
        WordListModel::Taken taken; // while done: what to put back
    };
    struct Cleared
    {
        WordListModel::Contents contents; // while done
    };
    struct Edited
    {
        int row;
        QString word, meaning; // the text the other state had
    };
    struct Reordered
    {
        std::vector<int> newOrder;
    };
    struct Marked
    {
        QList<int> rows;
        bool known; // what they became
    };
    using Change = std::variant<Appended, Removed, Cleared, Edited, Reordered, Marked>;

    Step(WordListHistory &history, const QString &text, Change change)
        : QUndoCommand(text), m_history(history), m_change(std::move(change))
    {
    }

    void undo() override { apply(true); }
    void redo() override
    {
        if (m_pushed)
            apply(false);
        m_pushed = true;
    }

private:
    void apply(bool undo)
    {
        WordListModel &list = m_history.m_list;
        const QScopedValueRollback<bool> replaying(m_history.m_replaying, true);
        std::visit(
            [&](auto &c) {
                using C = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<C, Appended>) {
                    if (undo) {
                        QList<int> tail(c.count);
                        std::iota(tail.begin(), tail.end(), list.count() - c.count);
                        c.taken = list.take(tail);
                    } else {
                        list.putBack(std::move(c.taken));
                    }
                } else if constexpr (std::is_same_v<C, Removed>) {
                    if (undo)
                        list.putBack(std::move(c.taken));
                    else
                        c.taken = list.take(c.rows);
                } else if constexpr (std::is_same_v<C, Cleared>) {
                    if (undo)
                        list.restoreContents(std::move(c.contents));
                    else
                        c.contents = list.takeContents();
                } else if constexpr (std::is_same_v<C, Edited>) {
                    QString word = list.word(c.row).toString(), meaning = list.meaning(c.row).toString();
                    list.setEntry(c.row, c.word, c.meaning);
                    c.word = std::move(word);
                    c.meaning = std::move(meaning);
                } else if constexpr (std::is_same_v<C, Marked>) {
                    list.setKnown(c.rows, undo ? !c.known : c.known);
                } else {
                    std::vector<int> order(c.newOrder.size());
                    if (undo) {
                        for (size_t i = 0; i < order.size(); ++i)
                            order[size_t(c.newOrder[i])] = int(i);
                    } else {
                        order = c.newOrder;
                    }
                    list.reorder(order);
                }
            },
            m_change);
    }

    WordListHistory &m_history;
    Change m_change;
    bool m_pushed = false;
};

WordListHistory::WordListHistory(WordListModel &list, QObject *parent)
    : QObject(parent), m_list(list), m_listAlive(&list)
{
    m_stack.setUndoLimit(kSteps);
    m_list.setJournal(this);
}

WordListHistory::~WordListHistory()
{
    if (m_listAlive)
        m_list.setJournal(nullptr);
}

void WordListHistory::push(Step *step)
{
    if (m_replaying) {
        delete step;
        return;
    }
    m_stack.push(step);
}

void WordListHistory::appended(int count)
{
    push(new Step(*this, QStringLiteral("导入"), Step::Appended{count, {}}));
}

void WordListHistory::removed(WordListModel::Taken taken)
{
    if (m_replaying)
        return;
    QList<int> rows = taken.rows();
    push(new Step(*this, QStringLiteral("删除"), Step::Removed{std::move(rows), std::move(taken)}));
}

void WordListHistory::cleared(WordListModel::Contents contents)
{
    push(new Step(*this, QStringLiteral("清空列表"), Step::Cleared{std::move(contents)}));
}

void WordListHistory::marked(const QList<int> &rows, bool known)
{
    push(new Step(*this, known ? QStringLiteral("标记为已掌握") : QStringLiteral("取消已掌握"), Step::Marked{rows, known}));
}

void WordListHistory::edited(int row, const QString &word, const QString &meaning)
{
    push(new Step(*this, QStringLiteral("修改"), Step::Edited{row, word, meaning}));
}

void WordListHistory::reordered(const std::vector<int> &newOrder)
{
    push(new Step(*this, QStringLiteral("排序"), Step::Reordered{newOrder}));
}
