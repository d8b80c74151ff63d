#include "WordListSorter.h"

#include "WordListModel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

#ifdef QUORVEL_HAVE_ICU
#include <unicode/ucol.h>
#else
#include <QCollator>
#include <QLocale>
#endif

namespace {

#ifdef QUORVEL_HAVE_ICU

// ICU's sort keys are plain bytes that compare with memcmp. The first eight bytes of each key sit
// in the item itself as one big-endian number, so most comparisons never leave the item array; the
// rest of a longer key lives in one shared arena.
struct Item
{
    uint64_t prefix;
    uint32_t restOffset;
    uint32_t restLength;
    int32_t row;
};

class IcuCollator
{
public:
    IcuCollator()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open("zh_CN", &status);
        if (U_FAILURE(status) || !m_collator) {
            status = U_ZERO_ERROR;
            m_collator = ucol_open("", &status);
        }
        if (!m_collator)
            return;
        // Secondary strength: letter case is ignored, accents are not. Digits compare as text.
        ucol_setStrength(m_collator, UCOL_SECONDARY);
        status = U_ZERO_ERROR;
        ucol_setAttribute(m_collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    }
    ~IcuCollator()
    {
        if (m_collator)
            ucol_close(m_collator);
    }
    IcuCollator(const IcuCollator &) = delete;
    IcuCollator &operator=(const IcuCollator &) = delete;

    bool isValid() const { return m_collator != nullptr; }

    // The sort key of `text` in `key` (grown when needed); returns its length without the final 0.
    int32_t sortKey(QStringView text, std::vector<uint8_t> &key) const
    {
        const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
        const auto length = static_cast<int32_t>(text.size());
        int32_t needed =
            ucol_getSortKey(m_collator, chars, length, key.data(), static_cast<int32_t>(key.size()));
        if (needed > static_cast<int32_t>(key.size())) {
            key.resize(static_cast<size_t>(needed) * 2);
            needed = ucol_getSortKey(m_collator, chars, length, key.data(), static_cast<int32_t>(key.size()));
        }
        // The key ends in one 0 byte, which carries no order of its own.
        return needed > 0 ? needed - 1 : 0;
    }

private:
    UCollator *m_collator = nullptr;
};

std::vector<int> icuOrder(const IcuCollator &collator, const std::vector<QStringView> &texts,
                          Qt::SortOrder order)
{
    const size_t n = texts.size();
    std::vector<Item> items(n);
    std::vector<uint8_t> arena;
    arena.reserve(n * 4);
    std::vector<uint8_t> key(512);
    for (size_t i = 0; i < n; ++i) {
        const int32_t length = collator.sortKey(texts[i], key);
        uint64_t prefix = 0;
        for (int32_t k = 0; k < 8; ++k)
            prefix = (prefix << 8) | (k < length ? key[static_cast<size_t>(k)] : 0u);
        Item &item = items[i];
        item.prefix = prefix;
        item.row = static_cast<int32_t>(i);
        item.restOffset = static_cast<uint32_t>(arena.size());
        item.restLength = length > 8 ? static_cast<uint32_t>(length - 8) : 0;
        if (item.restLength)
            arena.insert(arena.end(), key.begin() + 8, key.begin() + length);
    }
    // Keys never hold a 0 byte, so padding short ones with zeros keeps their order in the prefix.
    const uint8_t *bytes = arena.data();
    auto compareKeys = [bytes](const Item &a, const Item &b) -> int {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        const uint32_t common = std::min(a.restLength, b.restLength);
        if (common) {
            if (const int r = std::memcmp(bytes + a.restOffset, bytes + b.restOffset, common))
                return r;
        }
        return a.restLength == b.restLength ? 0 : (a.restLength < b.restLength ? -1 : 1);
    };
    // Equal keys fall back to the list position, so the order is stable in both directions.
    if (order == Qt::AscendingOrder) {
        std::sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
            const int c = compareKeys(a, b);
            return c != 0 ? c < 0 : a.row < b.row;
        });
    } else {
        std::sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
            const int c = compareKeys(a, b);
            return c != 0 ? c > 0 : a.row < b.row;
        });
    }
    std::vector<int> rows(n);
    for (size_t i = 0; i < n; ++i)
        rows[i] = items[i].row;
    return rows;
}

#endif

std::vector<int> collatorOrder(const std::vector<QStringView> &texts, Qt::SortOrder order)
{
    std::vector<int> rows(texts.size());
    std::iota(rows.begin(), rows.end(), 0);
#ifdef QUORVEL_HAVE_ICU
    // Without a collator nothing but code points is left; still textual and stable.
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const int c = QStringView(texts[static_cast<size_t>(a)])
                          .compare(texts[static_cast<size_t>(b)], Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
#else
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (QStringView t : texts)
        keys.push_back(collator.sortKey(t.toString()));
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const int c = keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
#endif
    return rows;
}

} // namespace

std::vector<int> WordListSorter::sortedOrder(const std::vector<QStringView> &texts, Qt::SortOrder order)
{
#ifdef QUORVEL_HAVE_ICU
    const IcuCollator collator;
    if (collator.isValid())
        return icuOrder(collator, texts, order);
#endif
    return collatorOrder(texts, order);
}

bool WordListSorter::hasPinyinOrder()
{
    // 香 (xiang), 阿 (a), 苹 (ping): code-point order would give 苹 阿 香.
    const QString words[] = {QStringLiteral("香"), QStringLiteral("阿"), QStringLiteral("苹")};
    const std::vector<QStringView> texts(std::begin(words), std::end(words));
    return sortedOrder(texts, Qt::AscendingOrder) == std::vector<int>{1, 2, 0};
}

Qt::SortOrder WordListSorter::sortByColumn(WordListModel &list, int column)
{
    m_direction = m_direction == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    std::vector<QStringView> texts;
    texts.reserve(size_t(list.count()));
    for (int row = 0; row < list.count(); ++row)
        texts.push_back(column == WordListModel::MeaningColumn ? list.meaning(row) : list.word(row));
    const std::vector<int> order = sortedOrder(texts, m_direction);
    // Leave the list (and its signals) alone when the order does not change.
    bool changed = false;
    for (size_t i = 0; i < order.size() && !changed; ++i)
        changed = order[i] != static_cast<int>(i);
    if (changed)
        list.reorder(order);
    return m_direction;
}
