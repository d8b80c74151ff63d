#pragma once

#include <QString>
#include <Qt>

#include <vector>

class WordListModel;

// The list's one-time sort by a column.
//
// One direction serves the whole list: it flips on every header click, whichever column is
// clicked, and starts ascending, so the first click sorts descending. The sort happens once; rows
// added later are appended where they land.
//
// The order is textual and never numeric ("10" before "9"), ignores letter case, puts Chinese in
// pinyin order where the platform's collation knows it, and is stable: entries that compare equal
// keep their list order in either direction. Sort keys are computed once per entry, so a million
// entries sort in well under a second.
class WordListSorter
{
public:
    // Flips the shared direction and sorts `list` once by `column` (0 = word, 1 = meaning).
    // Returns the direction used.
    Qt::SortOrder sortByColumn(WordListModel &list, int column);

    // The direction of the last sort; ascending before the first one.
    Qt::SortOrder direction() const { return m_direction; }

    // The rows of `texts` in sorted order (stable, by the rules above).
    static std::vector<int> sortedOrder(const std::vector<QStringView> &texts, Qt::SortOrder order);

    // Whether the collation orders Chinese by pinyin (it needs ICU or the system's Chinese collation).
    static bool hasPinyinOrder();

private:
    Qt::SortOrder m_direction = Qt::AscendingOrder;
};
