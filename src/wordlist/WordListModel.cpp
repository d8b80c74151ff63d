#include "WordListModel.h"

#include "LargeBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// How many entries of a batch are hashed before they are looked up together.
constexpr size_t kChunkEntries = 4096;
// How far ahead of the lookup the index slot of a later entry is fetched.
constexpr size_t kPrefetch = 16;

inline void prefetch(const void *p)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

bool sameUnits(const char16_t *a, const char16_t *b, qsizetype n)
{
    return n == 0 || std::memcmp(a, b, size_t(n) * sizeof(char16_t)) == 0;
}

} // namespace

WordListModel::WordListModel(QObject *parent) : QAbstractTableModel(parent) {}

WordListModel::~WordListModel() = default;

int WordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int WordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant WordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return (index.column() == WordColumn ? word(index.row()) : meaning(index.row())).toString();
    if (role == KnownRole)
        return isKnown(index.row());
    return {};
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == WordColumn ? QStringLiteral("英文") : QStringLiteral("中文");
    return QAbstractTableModel::headerData(section, orientation, role);
}

WordEntry WordListModel::entry(int row) const
{
    const Record &r = m_records[static_cast<size_t>(row)];
    const KeySpan k = keyOf(r);
    return {m_text.view(r.text + r.meaningLength, r.wordLength), m_text.view(r.text, r.meaningLength),
            m_text.view(k.at, k.length)};
}

QStringView WordListModel::word(int row) const
{
    const Record &r = m_records[static_cast<size_t>(row)];
    return m_text.view(r.text + r.meaningLength, r.wordLength);
}

QStringView WordListModel::meaning(int row) const
{
    const Record &r = m_records[static_cast<size_t>(row)];
    return m_text.view(r.text, r.meaningLength);
}

bool WordListModel::hasEditedKey(int row) const
{
    return m_records[static_cast<size_t>(row)].editedKey != kNone;
}

WordListModel::KeySpan WordListModel::keyOf(const Record &r) const
{
    return r.editedKey == kNone ? KeySpan{r.text, r.meaningLength + r.wordLength} : m_editedKeys[r.editedKey];
}

uint32_t WordListModel::hashUnits(const char16_t *units, qsizetype length)
{
    // A few multiplies for the short keys of a word list, and well mixed in every bit, so any 32
    // of them serve as the index's tag.
    const auto *p = reinterpret_cast<const unsigned char *>(units);
    size_t n = size_t(length) * sizeof(char16_t);
    uint64_t h = 0x9E3779B97F4A7C15ull ^ (uint64_t(n) * 0xFF51AFD7ED558CCDull);
    // Two independent lanes over sixteen bytes a step, so the multiplies overlap.
    uint64_t g = 0xC2B2AE3D27D4EB4Full;
    while (n >= 16) {
        uint64_t a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        h = (h ^ a) * 0xBF58476D1CE4E5B9ull;
        g = (g ^ b) * 0x94D049BB133111EBull;
        h ^= h >> 31;
        g ^= g >> 29;
        p += 16;
        n -= 16;
    }
    h ^= g * 0xFF51AFD7ED558CCDull;
    if (n >= 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
        p += 8;
        n -= 8;
    }
    uint64_t v = 0;
    std::memcpy(&v, p, n);
    h = (h ^ v) * 0x94D049BB133111EBull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return uint32_t(h);
}

const WordListModel::Record &WordListModel::recordForIndex(uint32_t row, const std::vector<Record> *pending) const
{
    return row < m_records.size() ? m_records[row] : (*pending)[row - m_records.size()];
}

uint32_t WordListModel::find(uint32_t tag, QStringView key, const std::vector<Record> *pending) const
{
    if (m_slots.empty())
        return kNone;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = tag & mask;; i = (i + 1) & mask) {
        const Slot s = m_slots[i];
        if (s.row == kNone)
            return kNone;
        if (s.tag != tag)
            continue;
        const KeySpan k = keyOf(recordForIndex(s.row, pending));
        if (k.length == key.size() && sameUnits(m_text.data() + k.at, key.utf16(), key.size()))
            return s.row;
    }
}

void WordListModel::insertSlot(uint32_t row, uint32_t tag)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = tag & mask;
    while (m_slots[i].row != kNone)
        i = (i + 1) & mask;
    m_slots[i] = Slot{row, tag};
}

void WordListModel::growIndexFor(size_t entries)
{
    // At most half full, so a lookup of an absent key usually ends within its first cache line.
    size_t wanted = 16;
    while (wanted < entries * 2)
        wanted <<= 1;
    if (wanted <= m_slots.size())
        return;
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.reserve(wanted);
    LargeBuffer::advise(m_slots);
    m_slots.assign(wanted, Slot{kNone, 0});
    for (const Slot &s : old) {
        if (s.row != kNone)
            insertSlot(s.row, s.tag);
    }
}

void WordListModel::remapIndexAfterRemoval(const std::vector<int32_t> &newRowOf)
{
    std::vector<Slot> old;
    old.swap(m_slots);
    if (m_records.empty())
        return;
    growIndexFor(m_records.size());
    for (const Slot &s : old) {
        if (s.row != kNone && newRowOf[s.row] >= 0)
            insertSlot(uint32_t(newRowOf[s.row]), s.tag);
    }
}

bool WordListModel::containsKey(QStringView key) const
{
    return find(hashUnits(key.utf16(), key.size()), key) != kNone;
}

bool WordListModel::addEntry(QStringView word, QStringView meaning)
{
    Appender add(*this, 1);
    add.add(word, meaning);
    return add.finish() == 1;
}

void WordListModel::setEntry(int row, QStringView word, QStringView meaning)
{
    if (row < 0 || row >= count())
        return;
    if (word == this->word(row) && meaning == this->meaning(row))
        return;
    // Copied before the change: the old text may be compacted away by it.
    const QString oldWord = m_journal ? this->word(row).toString() : QString();
    const QString oldMeaning = m_journal ? this->meaning(row).toString() : QString();
    Record &r = m_records[static_cast<size_t>(row)];
    const KeySpan key = keyOf(r);
    const qsizetype length = meaning.size() + word.size();
    const uint32_t oldLength = r.meaningLength + r.wordLength;
    const bool edited = r.editedKey != kNone;
    const char16_t *keyText = m_text.data() + key.at;
    if (length == key.length && sameUnits(keyText, meaning.utf16(), meaning.size()) &&
        sameUnits(keyText + meaning.size(), word.utf16(), word.size())) {
        // Back to what the key says: the key's own text serves again.
        if (edited)
            m_liveUnits -= oldLength;
        r = Record{key.at, uint32_t(meaning.size()), uint32_t(word.size()), kNone, r.flags};
    } else {
        // The old text stays where it is: it is the key (first edit) or no longer used.
        char16_t *to = m_text.reserveTail(length);
        if (!to)
            return;
        if (!meaning.isEmpty())
            std::memcpy(to, meaning.utf16(), size_t(meaning.size()) * sizeof(char16_t));
        if (!word.isEmpty())
            std::memcpy(to + meaning.size(), word.utf16(), size_t(word.size()) * sizeof(char16_t));
        const auto at = TextArena::Offset(m_text.size());
        m_text.grow(length);
        if (edited) {
            m_liveUnits -= oldLength;
        } else {
            m_editedKeys.push_back(key);
            r.editedKey = uint32_t(m_editedKeys.size() - 1);
        }
        m_liveUnits += length;
        r.text = at;
        r.meaningLength = uint32_t(meaning.size());
        r.wordLength = uint32_t(word.size());
    }
    compactIfWorthwhile();
    Q_EMIT dataChanged(index(row, 0), index(row, 1));
    if (m_journal)
        m_journal->edited(row, oldWord, oldMeaning);
}

void WordListModel::removeEntries(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= count(); }),
               rows.end());
    if (rows.isEmpty())
        return;
    if (!m_journal) {
        removeSorted(rows);
    } else if (rows.size() == count()) {
        m_journal->cleared(takeContents());
    } else {
        Taken taken = copyOut(rows);
        removeSorted(rows);
        m_journal->removed(std::move(taken));
    }
}

void WordListModel::removeSorted(const QList<int> &rows)
{
    for (int row : rows) {
        const Record &r = m_records[size_t(row)];
        m_liveUnits -= r.meaningLength + r.wordLength;
        if (r.editedKey != kNone)
            m_liveUnits -= m_editedKeys[r.editedKey].length;
    }
    if (rows.size() == 1 || rows.size() == rows.last() - rows.first() + 1) {
        // One contiguous run: an ordinary removal keeps the view's selection of the other rows.
        beginRemoveRows({}, rows.first(), rows.last());
        const int first = rows.first(), last = rows.last();
        std::vector<int32_t> newRowOf(m_records.size());
        for (size_t i = 0; i < newRowOf.size(); ++i) {
            const int r = int(i);
            newRowOf[i] = r < first ? r : (r > last ? r - (last - first + 1) : -1);
        }
        m_records.erase(m_records.begin() + first, m_records.begin() + last + 1);
        remapIndexAfterRemoval(newRowOf);
        compactIfWorthwhile();
        endRemoveRows();
        return;
    }
    // Scattered rows: one stable partition moves the survivors to the front in their order and the
    // doomed rows to the tail (a legal layout change, so selection and current row follow), then
    // the tail goes in a single removal. Two signals in all, whatever the selection.
    std::vector<int> order;
    order.reserve(m_records.size());
    qsizetype next = 0;
    for (int in = 0; in < count(); ++in) {
        if (next < rows.size() && rows[next] == in)
            ++next;
        else
            order.push_back(in);
    }
    const int survivors = static_cast<int>(order.size());
    for (int r : rows)
        order.push_back(r);
    permute(order);
    beginRemoveRows({}, survivors, count() - 1);
    std::vector<int32_t> newRowOf(m_records.size());
    for (size_t i = 0; i < newRowOf.size(); ++i)
        newRowOf[i] = int(i) < survivors ? int32_t(i) : -1;
    m_records.resize(static_cast<size_t>(survivors));
    remapIndexAfterRemoval(newRowOf);
    compactIfWorthwhile();
    endRemoveRows();
}

void WordListModel::clear()
{
    if (m_records.empty())
        return;
    if (m_journal) {
        m_journal->cleared(takeContents());
        return;
    }
    beginResetModel();
    m_records.clear();
    m_records.shrink_to_fit();
    m_editedKeys.clear();
    m_editedKeys.shrink_to_fit();
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_text.release();
    m_liveUnits = 0;
    endResetModel();
}

void WordListModel::reorder(const std::vector<int> &newOrder)
{
    // An order that changes nothing is no change: no signal, nothing to save or undo.
    bool same = newOrder.size() == m_records.size();
    for (size_t i = 0; same && i < newOrder.size(); ++i)
        same = newOrder[i] == int(i);
    if (same)
        return;
    permute(newOrder);
    if (m_journal)
        m_journal->reordered(newOrder);
}

int WordListModel::knownCount() const
{
    return int(std::count_if(m_records.begin(), m_records.end(), [](const Record &r) { return r.flags & kKnown; }));
}

void WordListModel::setKnown(QList<int> rows, bool known)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<int> changed;
    for (int row : rows) {
        if (row < 0 || row >= count() || isKnown(row) == known)
            continue;
        m_records[size_t(row)].flags ^= kKnown;
        changed.append(row);
    }
    if (changed.isEmpty())
        return;
    Q_EMIT dataChanged(index(changed.first(), 0), index(changed.last(), 1), {KnownRole});
    if (m_journal)
        m_journal->marked(changed, known);
}

WordListModel::Taken WordListModel::copyOut(const QList<int> &rows) const
{
    Taken taken;
    taken.m_items.reserve(size_t(rows.size()));
    size_t units = 0;
    for (int row : rows) {
        const Record &r = m_records[size_t(row)];
        units += r.meaningLength + r.wordLength + (r.editedKey != kNone ? m_editedKeys[r.editedKey].length : 0);
    }
    taken.m_text.reserve(units);
    auto copy = [&](TextArena::Offset at, uint32_t length) {
        const char16_t *from = m_text.data() + at;
        taken.m_text.insert(taken.m_text.end(), from, from + length);
    };
    for (int row : rows) {
        const Record &r = m_records[size_t(row)];
        copy(r.text, r.meaningLength + r.wordLength);
        uint32_t keyLength = kNone;
        if (r.editedKey != kNone) {
            const KeySpan k = m_editedKeys[r.editedKey];
            copy(k.at, k.length);
            keyLength = k.length;
        }
        taken.m_items.push_back(Taken::Item{row, r.meaningLength, r.wordLength, keyLength, r.flags});
    }
    return taken;
}

WordListModel::Taken WordListModel::take(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= count(); }),
               rows.end());
    if (rows.isEmpty())
        return {};
    Taken taken = copyOut(rows);
    removeSorted(rows);
    return taken;
}

bool WordListModel::putBack(Taken &&taken)
{
    const size_t k = taken.m_items.size();
    if (k == 0)
        return true;
    const auto units = qsizetype(taken.m_text.size());
    char16_t *to = m_text.reserveTail(units);
    if (!to && units > 0)
        return false;
    if (units > 0)
        std::memcpy(to, taken.m_text.data(), size_t(units) * sizeof(char16_t));
    qsizetype at = m_text.size();
    m_text.grow(units);
    const int first = count();
    growIndexFor(m_records.size() + k);
    beginInsertRows({}, first, first + int(k) - 1);
    for (const Taken::Item &item : taken.m_items) {
        Record r{TextArena::Offset(at), item.meaningLength, item.wordLength, kNone, item.flags};
        at += item.meaningLength + item.wordLength;
        m_liveUnits += item.meaningLength + item.wordLength;
        if (item.keyLength != kNone) {
            m_editedKeys.push_back(KeySpan{TextArena::Offset(at), item.keyLength});
            r.editedKey = uint32_t(m_editedKeys.size() - 1);
            at += item.keyLength;
            m_liveUnits += item.keyLength;
        }
        m_records.push_back(r);
        const KeySpan key = keyOf(r);
        insertSlot(uint32_t(m_records.size() - 1), hashUnits(m_text.data() + key.at, key.length));
    }
    endInsertRows();
    // They came back at the end; one layout change takes each to the row it had.
    if (taken.m_items.front().row != first) {
        std::vector<int> order;
        order.reserve(m_records.size());
        int survivor = 0;
        size_t next = 0;
        for (int row = 0; row < count(); ++row) {
            if (next < k && taken.m_items[next].row == row)
                order.push_back(first + int(next++));
            else
                order.push_back(survivor++);
        }
        permute(order);
    }
    taken = {};
    return true;
}

WordListModel::Contents WordListModel::takeContents()
{
    Contents c;
    beginResetModel();
    c.m_text = std::move(m_text);
    c.m_records = std::move(m_records);
    c.m_editedKeys = std::move(m_editedKeys);
    c.m_slots = std::move(m_slots);
    c.m_liveUnits = m_liveUnits;
    m_text = TextArena();
    m_records = {};
    m_editedKeys = {};
    m_slots = {};
    m_liveUnits = 0;
    endResetModel();
    return c;
}

void WordListModel::restoreContents(Contents &&c)
{
    beginResetModel();
    m_text = std::move(c.m_text);
    m_records = std::move(c.m_records);
    m_editedKeys = std::move(c.m_editedKeys);
    m_slots = std::move(c.m_slots);
    m_liveUnits = c.m_liveUnits;
    c = Contents();
    endResetModel();
}

void WordListModel::permute(const std::vector<int> &newOrder)
{
    if (newOrder.size() != m_records.size())
        return;
    const size_t n = m_records.size();
    std::vector<int32_t> newRowOf(n, -1);
    for (size_t i = 0; i < n; ++i) {
        const int from = newOrder[i];
        if (from < 0 || static_cast<size_t>(from) >= n || newRowOf[static_cast<size_t>(from)] >= 0)
            return; // not a permutation of the rows
        newRowOf[static_cast<size_t>(from)] = static_cast<int32_t>(i);
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Records are small: gather them into their new order in one pass.
    {
        std::vector<Record> moved;
        moved.reserve(n);
        LargeBuffer::advise(moved);
        for (size_t i = 0; i < n; ++i)
            moved.push_back(m_records[size_t(newOrder[i])]);
        m_records.swap(moved);
    }
    // The index keeps its places (the keys did not change); only the rows it names move.
    for (Slot &s : m_slots) {
        if (s.row != kNone)
            s.row = uint32_t(newRowOf[s.row]);
    }
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList to;
    to.reserve(persistent.size());
    for (const QModelIndex &from : persistent)
        to.append(index(newRowOf[static_cast<size_t>(from.row())], from.column()));
    changePersistentIndexList(persistent, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void WordListModel::compactIfWorthwhile()
{
    // Unused text is left alone until it outweighs the text in use and is worth a copy.
    const qsizetype unused = m_text.size() - m_liveUnits;
    if (unused > m_liveUnits && unused > (qsizetype(1) << 20))
        compact();
}

void WordListModel::compact()
{
    if (m_text.size() == m_liveUnits)
        return;
    TextArena text;
    if (m_liveUnits > 0 && !text.reserveTail(m_liveUnits))
        return; // no room for a second copy now; the text stays as it is
    std::vector<KeySpan> keys;
    const char16_t *from = m_text.data();
    auto copy = [&](TextArena::Offset at, qsizetype length) {
        TextArena::Offset to = 0;
        text.append(QStringView(from + at, length), &to);
        return to;
    };
    for (Record &r : m_records) {
        if (r.editedKey != kNone) {
            const KeySpan k = m_editedKeys[r.editedKey];
            keys.push_back(KeySpan{copy(k.at, k.length), k.length});
            r.editedKey = uint32_t(keys.size() - 1);
        }
        r.text = copy(r.text, r.meaningLength + r.wordLength);
    }
    m_text = std::move(text);
    m_editedKeys = std::move(keys);
    m_liveUnits = m_text.size();
}

// ---- Appender ----

WordListModel::Appender::Appender(WordListModel &list, qsizetype expected) : m_list(list)
{
    if (expected > 1) {
        m_pending.reserve(size_t(expected));
        LargeBuffer::advise(m_pending);
        // The index at its final size at once, rather than rebuilt at every doubling.
        list.growIndexFor(list.m_records.size() + size_t(expected));
    }
}

WordListModel::Appender::~Appender()
{
    finish();
}

char16_t *WordListModel::Appender::room(qsizetype units)
{
    char16_t *at = m_list.m_text.reserveTail(m_tail + units);
    if (!at) {
        m_outOfRoom = true;
        m_listFull |= units > m_list.m_text.limit() - m_list.m_text.size() - m_tail;
    }
    return at ? at + m_tail : nullptr;
}

void WordListModel::Appender::add(qsizetype meaningLength, qsizetype wordLength)
{
    const qsizetype length = meaningLength + wordLength;
    const qsizetype at = m_list.m_text.size() + m_tail;
    // Hashed while the text just written is still in the nearest cache; looked up with the rest
    // of its chunk. Memory running out here leaves the batch as it was before this entry.
    m_tags.push_back(hashUnits(m_list.m_text.data() + at, length));
    try {
        m_pending.push_back(
            Record{TextArena::Offset(at), uint32_t(meaningLength), uint32_t(wordLength), kNone});
    } catch (...) {
        m_tags.pop_back();
        throw;
    }
    m_tail += length;
    m_chunkUnits += length;
    if (m_pending.size() - m_chunk >= kChunkEntries || m_chunkUnits >= (qsizetype(1) << 16))
        filterChunk();
}

bool WordListModel::Appender::add(QStringView word, QStringView meaning)
{
    char16_t *to = room(meaning.size() + word.size());
    if (!to)
        return false;
    if (!meaning.isEmpty())
        std::memcpy(to, meaning.utf16(), size_t(meaning.size()) * sizeof(char16_t));
    if (!word.isEmpty())
        std::memcpy(to + meaning.size(), word.utf16(), size_t(word.size()) * sizeof(char16_t));
    add(meaning.size(), word.size());
    return true;
}

void WordListModel::Appender::filterChunk()
{
    WordListModel &list = m_list;
    const size_t begin = m_chunk, end = m_pending.size();
    if (begin == end)
        return;
    list.growIndexFor(list.m_records.size() + end);
    char16_t *text = list.m_text.data();
    // Every key of the chunk is hashed already; the lookups run with the slots of later keys on
    // their way into the cache.
    const size_t mask = list.m_slots.size() - 1;
    const Slot *slots = list.m_slots.data();
    const uint32_t base = uint32_t(list.m_records.size());
    size_t kept = begin;
    qsizetype writeAt = begin < end ? qsizetype(m_pending[begin].text) : 0;
    for (size_t i = begin; i < end; ++i) {
        if (i + kPrefetch < end)
            prefetch(slots + (m_tags[i + kPrefetch - begin] & mask));
        Record r = m_pending[i];
        const uint32_t tag = m_tags[i - begin];
        const qsizetype length = r.meaningLength + r.wordLength;
        if (list.find(tag, QStringView(text + r.text, length), &m_pending) != kNone)
            continue;
        // Kept: its text closes up behind the kept text before it.
        if (qsizetype(r.text) != writeAt)
            std::memmove(text + writeAt, text + r.text, size_t(length) * sizeof(char16_t));
        r.text = TextArena::Offset(writeAt);
        writeAt += length;
        m_pending[kept] = r;
        list.insertSlot(base + uint32_t(kept), tag);
        ++kept;
    }
    m_pending.resize(kept);
    m_tags.clear();
    m_chunk = kept;
    m_tail = writeAt - list.m_text.size();
    m_chunkUnits = 0;
}

int WordListModel::Appender::finish()
{
    if (m_finished)
        return m_added;
    m_finished = true;
    filterChunk();
    WordListModel &list = m_list;
    if (m_pending.empty()) {
        list.m_text.truncate(list.m_text.size()); // gives back room the dropped text took
        return 0;
    }
    const int first = list.count();
    const int added = int(m_pending.size());
    // Room first: nothing after beginInsertRows may fail. With memory short, exactly what is needed.
    const size_t needed = list.m_records.size() + m_pending.size();
    if (!list.m_records.empty() && list.m_records.capacity() < needed) {
        try {
            list.m_records.reserve(std::max(needed, list.m_records.size() * 3 / 2));
        } catch (const std::bad_alloc &) {
            list.m_records.reserve(needed);
        }
        LargeBuffer::advise(list.m_records);
    }
    list.beginInsertRows({}, first, first + added - 1);
    list.m_text.grow(m_tail);
    list.m_liveUnits += m_tail;
    if (list.m_records.empty())
        list.m_records.swap(m_pending);
    else
        list.m_records.insert(list.m_records.end(), m_pending.begin(), m_pending.end());
    list.endInsertRows();
    m_pending.clear();
    m_pending.shrink_to_fit();
    m_added = added;
    if (list.m_journal)
        list.m_journal->appended(added);
    return added;
}
