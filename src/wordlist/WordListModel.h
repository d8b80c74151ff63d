#pragma once

#include "WordEntry.h"

#include <QAbstractTableModel>
#include <QList>

#include <cstdint>
#include <vector>

// The word list: entries in list order plus a key index for the duplicate test.
//
// Every bulk change (import, delete of a selection, clear, sort) is one model operation, so a view
// over a million entries sees one signal, never a storm of per-row ones.
class WordListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { WordColumn = 0, MeaningColumn = 1 };

    explicit WordListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int count() const { return static_cast<int>(m_entries.size()); }
    const WordEntry &entry(int row) const { return m_entries[static_cast<size_t>(row)]; }
    const std::vector<WordEntry> &entries() const { return m_entries; }

    bool containsKey(const QString &key) const;
    // Whether an entry made of `word` and `meaning` would be a duplicate (its key is taken).
    bool containsPair(QStringView word, QStringView meaning) const;

    // Adds one entry at the end; fails (and adds nothing) when its key is already in the list.
    bool addEntry(const QString &word, const QString &meaning);

    // Appends a batch in order, dropping every entry whose key is already in the list or earlier
    // in the batch, exactly as adding them one by one would. Returns how many were added.
    int appendEntries(std::vector<WordEntry> &&batch);

    // Changes word and meaning of one row; its key stays what it was.
    void setEntry(int row, const QString &word, const QString &meaning);

    // Removes the given rows (any order, duplicates ignored) in one operation; the other rows keep
    // their order.
    void removeEntries(QList<int> rows);

    void clear();

    // Reorders the whole list once; the new order is the list order from then on.
    void reorder(const std::vector<int> &newOrder);

private:
    static uint64_t hashKey(QStringView meaning, QStringView word);
    uint64_t hashOf(const WordEntry &e) const;
    bool keyEquals(const WordEntry &e, QStringView meaning, QStringView word) const;
    int findSlot(uint64_t hash, QStringView meaning, QStringView word) const;
    void insertIndex(int row, uint64_t hash);
    void rebuildIndex();
    // Applies a permutation of the rows as one layout change; `reindex` false leaves the key
    // index for the caller to rebuild.
    void permute(const std::vector<int> &newOrder, bool reindex);
    void growIndexFor(size_t entries);

    std::vector<WordEntry> m_entries;
    // Open-addressing table of row numbers (-1 = empty), sized to a power of two.
    std::vector<int32_t> m_slots;
    std::vector<uint64_t> m_hashes; // per row, so rebuilding never rehashes strings
    // While a batch is being filtered, rows from m_pendingBase on live in *m_pending.
    const std::vector<WordEntry> *m_pending = nullptr;
    size_t m_pendingBase = 0;
    const WordEntry &entryForIndex(int row) const
    {
        const auto r = static_cast<size_t>(row);
        return r < m_pendingBase || !m_pending ? m_entries[r] : (*m_pending)[r - m_pendingBase];
    }
};
