#include "WordListModel.h"

#include "LargeBuffer.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr int32_t kEmpty = -1;

QStringView keyView(const QString &s)
{
    return QStringView(s);
}
} // namespace

WordListModel::WordListModel(QObject *parent) : QAbstractTableModel(parent) {}

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
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole) {
        const WordEntry &e = entry(index.row());
        return index.column() == WordColumn ? e.word : e.meaning;
    }
    return {};
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == WordColumn ? QStringLiteral("英文") : QStringLiteral("中文");
    return QAbstractTableModel::headerData(section, orientation, role);
}

uint64_t WordListModel::hashKey(QStringView meaning, QStringView word)
{
    // FNV-1a over the UTF-16 units of meaning then word: the hash of the key without building it.
    uint64_t h = 14695981039346656037ull;
    for (QStringView part : {meaning, word}) {
        for (QChar c : part) {
            h ^= c.unicode();
            h *= 1099511628211ull;
        }
    }
    return h;
}

uint64_t WordListModel::hashOf(const WordEntry &e) const
{
    if (!e.editedKey.isNull())
        return hashKey(QStringView(), keyView(e.editedKey));
    return hashKey(keyView(e.meaning), keyView(e.word));
}

bool WordListModel::keyEquals(const WordEntry &e, QStringView meaning, QStringView word) const
{
    const qsizetype len = meaning.size() + word.size();
    if (!e.editedKey.isNull()) {
        if (e.editedKey.size() != len)
            return false;
        QStringView k(e.editedKey);
        return k.first(meaning.size()) == meaning && k.sliced(meaning.size()) == word;
    }
    if (e.meaning.size() + e.word.size() != len)
        return false;
    // Compare the two concatenations without building either.
    QStringView a1(e.meaning), a2(e.word);
    qsizetype i = 0;
    auto at = [](QStringView p1, QStringView p2, qsizetype i) { return i < p1.size() ? p1[i] : p2[i - p1.size()]; };
    for (; i < len; ++i) {
        if (at(a1, a2, i) != at(meaning, word, i))
            return false;
    }
    return true;
}

int WordListModel::findSlot(uint64_t hash, QStringView meaning, QStringView word) const
{
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const int32_t row = m_slots[i];
        if (row == kEmpty)
            return -1;
        if (m_hashes[static_cast<size_t>(row)] == hash && keyEquals(entryForIndex(row), meaning, word))
            return row;
    }
}

void WordListModel::growIndexFor(size_t entries)
{
    size_t wanted = 16;
    while (wanted < entries * 2)
        wanted <<= 1;
    if (wanted > m_slots.size()) {
        m_slots.clear();
        m_slots.reserve(wanted);
        LargeBuffer::advise(m_slots);
        m_slots.assign(wanted, kEmpty);
        for (size_t row = 0; row < m_hashes.size(); ++row)
            insertIndex(static_cast<int>(row), m_hashes[row]);
    }
}

void WordListModel::insertIndex(int row, uint64_t hash)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (m_slots[i] != kEmpty)
        i = (i + 1) & mask;
    m_slots[i] = row;
}

void WordListModel::rebuildIndex()
{
    m_slots.clear();
    m_hashes.resize(m_entries.size());
    growIndexFor(m_entries.size());
}

bool WordListModel::containsPair(QStringView word, QStringView meaning) const
{
    return !m_entries.empty() && findSlot(hashKey(meaning, word), meaning, word) >= 0;
}

bool WordListModel::containsKey(const QString &key) const
{
    return findSlot(hashKey(QStringView(), key), QStringView(), key) >= 0;
}

bool WordListModel::addEntry(const QString &word, const QString &meaning)
{
    std::vector<WordEntry> one;
    one.push_back(WordEntry{word, meaning, QString()});
    return appendEntries(std::move(one)) == 1;
}

int WordListModel::appendEntries(std::vector<WordEntry> &&batch)
{
    const size_t first = m_entries.size();
    growIndexFor(first + batch.size());
    if (m_hashes.capacity() < first + batch.size()) {
        m_hashes.reserve(first + batch.size());
        LargeBuffer::advise(m_hashes);
    }
    // Filter the batch in place before telling the view, so it sees a single insertion. Accepted
    // entries are indexed at once (their rows lie past the list's end, in the batch) so a later
    // duplicate within the same batch is dropped too.
    m_pending = &batch;
    m_pendingBase = first;
    size_t kept = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
        WordEntry &e = batch[i];
        const uint64_t h = hashKey(e.meaning, e.word);
        if (findSlot(h, e.meaning, e.word) >= 0)
            continue;
        if (kept != i)
            batch[kept] = std::move(e);
        m_hashes.push_back(h);
        insertIndex(static_cast<int>(first + kept), h);
        ++kept;
    }
    m_pending = nullptr;
    batch.resize(kept);
    if (kept == 0)
        return 0;
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + kept - 1));
    if (first == 0) {
        m_entries = std::move(batch);
    } else {
        m_entries.reserve(first + kept);
        std::move(batch.begin(), batch.end(), std::back_inserter(m_entries));
    }
    endInsertRows();
    return static_cast<int>(kept);
}

void WordListModel::setEntry(int row, const QString &word, const QString &meaning)
{
    if (row < 0 || row >= count())
        return;
    WordEntry &e = m_entries[static_cast<size_t>(row)];
    if (e.editedKey.isNull())
        e.editedKey = e.key();
    e.word = word;
    e.meaning = meaning;
    if (e.editedKey == e.meaning + e.word)
        e.editedKey = QString();
    Q_EMIT dataChanged(index(row, 0), index(row, 1));
}

void WordListModel::removeEntries(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= count(); }),
               rows.end());
    if (rows.isEmpty())
        return;
    if (rows.size() == 1 || rows.size() == rows.last() - rows.first() + 1) {
        // One contiguous run: an ordinary removal keeps the view's selection of the other rows.
        beginRemoveRows({}, rows.first(), rows.last());
        m_entries.erase(m_entries.begin() + rows.first(), m_entries.begin() + rows.last() + 1);
        m_hashes.erase(m_hashes.begin() + rows.first(), m_hashes.begin() + rows.last() + 1);
        rebuildIndex();
        endRemoveRows();
        return;
    }
    // Scattered rows: one stable partition moves the survivors to the front in their order and the
    // doomed rows to the tail (a legal layout change, so selection and current row follow), then
    // the tail goes in a single removal. Two signals in all, whatever the selection.
    std::vector<int> order;
    order.reserve(m_entries.size());
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
    // The index is rebuilt once, after the tail is gone, not also for the intermediate order.
    permute(order, false);
    beginRemoveRows({}, survivors, count() - 1);
    m_entries.resize(static_cast<size_t>(survivors));
    m_hashes.resize(static_cast<size_t>(survivors));
    rebuildIndex();
    endRemoveRows();
}

void WordListModel::clear()
{
    if (m_entries.empty())
        return;
    beginResetModel();
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_hashes.clear();
    m_hashes.shrink_to_fit();
    m_slots.clear();
    m_slots.shrink_to_fit();
    endResetModel();
}

void WordListModel::reorder(const std::vector<int> &newOrder)
{
    permute(newOrder, true);
}

void WordListModel::permute(const std::vector<int> &newOrder, bool reindex)
{
    if (newOrder.size() != m_entries.size())
        return;
    const size_t n = m_entries.size();
    std::vector<int> newRowOf(n, -1);
    for (size_t i = 0; i < n; ++i) {
        const int from = newOrder[i];
        if (from < 0 || static_cast<size_t>(from) >= n || newRowOf[static_cast<size_t>(from)] >= 0)
            return; // not a permutation of the rows
        newRowOf[static_cast<size_t>(from)] = static_cast<int>(i);
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Permute in place, one cycle at a time: no second copy of a million entries to allocate and
    // fault in, and every entry is moved exactly once.
    std::vector<bool> placed(n, false);
    for (size_t start = 0; start < n; ++start) {
        if (placed[start])
            continue;
        if (static_cast<size_t>(newOrder[start]) == start) {
            placed[start] = true;
            continue;
        }
        WordEntry entry = std::move(m_entries[start]);
        const uint64_t hash = m_hashes[start];
        size_t to = start;
        for (;;) {
            placed[to] = true;
            const auto from = static_cast<size_t>(newOrder[to]);
            if (from == start) {
                m_entries[to] = std::move(entry);
                m_hashes[to] = hash;
                break;
            }
            m_entries[to] = std::move(m_entries[from]);
            m_hashes[to] = m_hashes[from];
            to = from;
        }
    }
    if (reindex)
        rebuildIndex();
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList to;
    to.reserve(persistent.size());
    for (const QModelIndex &from : persistent)
        to.append(index(newRowOf[static_cast<size_t>(from.row())], from.column()));
    changePersistentIndexList(persistent, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
