#pragma once

#include "TextArena.h"
#include "WordEntry.h"

#include <QAbstractTableModel>
#include <QList>

#include <cstdint>
#include <vector>

// The word list: entries in list order plus a key index for the duplicate test.
//
// All text of the list lives in one TextArena; an entry is a fixed record of positions and
// lengths into it, its meaning immediately followed by its word, so the text of an entry is also
// its key. An edited entry gets new text and keeps its old text as its key. Every bulk change
// (import, delete of a selection, clear, sort) is one model operation, so a view over a million
// entries sees one signal, never a storm of per-row ones.
class WordListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { WordColumn = 0, MeaningColumn = 1 };
    // data() of this role: whether the row's entry is marked as known (a bool).
    static constexpr int KnownRole = Qt::UserRole + 1;

    explicit WordListModel(QObject *parent = nullptr);
    ~WordListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int count() const { return static_cast<int>(m_records.size()); }
    // Views into the list's text; valid until the list next changes.
    WordEntry entry(int row) const;
    QStringView word(int row) const;
    QStringView meaning(int row) const;
    // Whether an edit left the row's key different from its meaning + word.
    bool hasEditedKey(int row) const;

    class EntryIterator;
    struct Entries;
    // The entries in list order, for range-for.
    Entries entries() const;

    bool containsKey(QStringView key) const;

    // Adds one entry at the end; fails (and adds nothing) when its key is already in the list.
    bool addEntry(QStringView word, QStringView meaning);

    // Whether the entry is marked as known ("已掌握"): drills may skip it. The mark stays with the
    // entry through sorts, edits and undo; it goes with the entry.
    bool isKnown(int row) const { return m_records[static_cast<size_t>(row)].flags & kKnown; }
    int knownCount() const;
    // Marks the given rows known or not (any order, duplicates and invalid rows ignored).
    void setKnown(QList<int> rows, bool known);

    // Changes word and meaning of one row; its key stays what it was.
    void setEntry(int row, QStringView word, QStringView meaning);

    // Removes the given rows (any order, duplicates ignored) in one operation; the other rows keep
    // their order.
    void removeEntries(QList<int> rows);

    void clear();

    // Reorders the whole list once; the new order is the list order from then on.
    void reorder(const std::vector<int> &newOrder);

    // Rewrites the list's text in list order, leaving out text no entry uses any more (removed
    // entries, the old text of edited ones). Nothing a view shows changes, so no signal goes out.
    // Runs by itself when more than half of the text is unused.
    void compact();
    // Units of text held, and units that entries use.
    qsizetype textUnits() const { return m_text.size(); }
    qsizetype liveTextUnits() const { return m_liveUnits; }
    // The list's text holds at most `units` units from now on (for tests: a list out of room).
    void limitText(qsizetype units) { m_text.setLimit(units); }

    class Appender;

    // ---- Taking changes back ----
    // Entries taken out of the list with all it takes to put them back as they were: their rows,
    // their text and, for an edited entry, the key it was added with.
    class Taken;
    // Everything the list holds, taken out at once: text, entries and index move, nothing is copied.
    class Contents;
    // Told of every change to the list right after it happened, with what it takes to undo it.
    // The calls below that take or put back entries tell it nothing: they are how undo works.
    class Journal
    {
    public:
        virtual ~Journal() = default;
        // The last `count` rows were added.
        virtual void appended(int count) = 0;
        // These rows went (a removal that left entries in the list).
        virtual void removed(Taken taken) = 0;
        // Every entry went (clear, or a removal of all rows).
        virtual void cleared(Contents contents) = 0;
        // These rows (ascending) were marked known, or unmarked.
        virtual void marked(const QList<int> &rows, bool known) = 0;
        // The row held this word and meaning before an edit.
        virtual void edited(int row, const QString &word, const QString &meaning) = 0;
        // Row i is now what row newOrder[i] was.
        virtual void reordered(const std::vector<int> &newOrder) = 0;
    };
    // Null for none. The journal must outlive the list or be unset first.
    void setJournal(Journal *journal) { m_journal = journal; }

    // Takes the given rows out (any order, duplicates ignored), in one operation.
    Taken take(QList<int> rows);
    // Puts taken rows back where they were; the list must be as it was right after they were
    // taken. False when the list's text has no room for them (nothing changes then).
    bool putBack(Taken &&taken);
    // Empties the list and hands over all it held.
    Contents takeContents();
    // Makes the list what `contents` held; what the list holds now is dropped.
    void restoreContents(Contents &&contents);

private:
    static constexpr uint32_t kNone = UINT32_MAX;

    struct Record
    {
        TextArena::Offset text;  // meaning, then word straight after it
        uint32_t meaningLength;
        uint32_t wordLength;
        uint32_t editedKey;      // kNone, or the position in m_editedKeys of the key it was added with
        uint32_t flags = 0;      // kKnown
    };
    static constexpr uint32_t kKnown = 1;
    struct KeySpan
    {
        TextArena::Offset at;
        uint32_t length;
    };
    // One slot of the key index: a row and the 32 bits of its key's hash that place it, so a probe
    // reads the text of an entry only when the hashes agree.
    struct Slot
    {
        uint32_t row; // kNone when empty
        uint32_t tag;
    };

    static uint32_t hashUnits(const char16_t *units, qsizetype length);
    KeySpan keyOf(const Record &r) const;
    const Record &recordForIndex(uint32_t row, const std::vector<Record> *pending) const;
    // The row holding `key`, or kNone. Rows from count() on are looked up in `pending`.
    uint32_t find(uint32_t tag, QStringView key, const std::vector<Record> *pending = nullptr) const;
    void insertSlot(uint32_t row, uint32_t tag);
    // Sizes the index for `entries` entries, keeping what it holds.
    void growIndexFor(size_t entries);
    // Rebuilds the index after rows were removed: rows move to newRowOf[row], or go when it is -1.
    void remapIndexAfterRemoval(const std::vector<int32_t> &newRowOf);
    // Applies a permutation of the rows as one layout change.
    void permute(const std::vector<int> &newOrder);
    void compactIfWorthwhile();
    // Removes rows (sorted, unique, valid) without telling the journal.
    void removeSorted(const QList<int> &rows);
    Taken copyOut(const QList<int> &rows) const;

    Journal *m_journal = nullptr;
    TextArena m_text;
    std::vector<Record> m_records;
    std::vector<KeySpan> m_editedKeys;
    std::vector<Slot> m_slots; // open addressing, linear probing; size a power of two or 0
    qsizetype m_liveUnits = 0;
};

class WordListModel::Taken
{
public:
    int count() const { return static_cast<int>(m_items.size()); }
    // The rows they had, ascending.
    QList<int> rows() const
    {
        QList<int> rows;
        rows.reserve(qsizetype(m_items.size()));
        for (const Item &item : m_items)
            rows.append(item.row);
        return rows;
    }

private:
    friend class WordListModel;
    struct Item
    {
        int row;
        uint32_t meaningLength;
        uint32_t wordLength;
        uint32_t keyLength; // kNone: the key is meaning + word
        uint32_t flags;
    };
    std::vector<Item> m_items;  // in ascending row order
    std::vector<char16_t> m_text; // each item's meaning, word and (if it has one) key
};

class WordListModel::Contents
{
public:
    int count() const { return static_cast<int>(m_records.size()); }

private:
    friend class WordListModel;
    TextArena m_text;
    std::vector<Record> m_records;
    std::vector<KeySpan> m_editedKeys;
    std::vector<Slot> m_slots;
    qsizetype m_liveUnits = 0;
};

class WordListModel::EntryIterator
{
public:
    EntryIterator(const WordListModel *list, int row) : m_list(list), m_row(row) {}
    WordEntry operator*() const { return m_list->entry(m_row); }
    EntryIterator &operator++()
    {
        ++m_row;
        return *this;
    }
    bool operator!=(const EntryIterator &o) const { return m_row != o.m_row; }

private:
    const WordListModel *m_list;
    int m_row;
};

struct WordListModel::Entries
{
    const WordListModel *list;
    EntryIterator begin() const { return {list, 0}; }
    EntryIterator end() const { return {list, list->count()}; }
};

inline WordListModel::Entries WordListModel::entries() const
{
    return {this};
}

// Adds a batch of entries whose text is written straight into the list's text: reserve room, write
// the meaning and then the word there, add. Duplicates (of the list or of earlier entries of the
// batch) are dropped as adding one by one would drop them; finish() appends the rest in one
// insertion. Until then the list shows nothing new, and nothing else may change the list.
class WordListModel::Appender
{
public:
    // `expected`: about how many entries will come, when known.
    explicit Appender(WordListModel &list, qsizetype expected = 0);
    ~Appender();
    Appender(const Appender &) = delete;
    Appender &operator=(const Appender &) = delete;

    // Room for `units` units of text for the next entry; null when the list's text is full.
    char16_t *room(qsizetype units);
    // Adds the entry whose meaning (meaningLength units) and word (wordLength units, straight after
    // the meaning) were written where room() pointed.
    void add(qsizetype meaningLength, qsizetype wordLength);
    // Copies and adds one entry; false when the list's text is full.
    bool add(QStringView word, QStringView meaning);
    // Appends what is left after the duplicate test; returns how many entries were added in all.
    int finish();
    // Whether an entry could not be added because the list's text had no room left (memory, or
    // the 2^32-unit limit): then what came after it is missing.
    bool ranOutOfRoom() const { return m_outOfRoom; }
    // Whether that was the list's limit rather than memory.
    bool listFull() const { return m_listFull; }

private:
    void filterChunk();

    WordListModel &m_list;
    std::vector<Record> m_pending; // accepted entries, then the chunk not yet tested
    size_t m_chunk = 0;            // first entry of m_pending not yet tested
    qsizetype m_tail = 0;          // units written past the list's text
    qsizetype m_chunkUnits = 0;
    std::vector<uint32_t> m_tags;
    bool m_finished = false;
    bool m_outOfRoom = false;
    bool m_listFull = false;
    int m_added = 0;
};
