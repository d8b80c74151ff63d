#include "WordListCommands.h"

#include "WordListModel.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

#include <vector>

namespace WordListCommands {

namespace {

QList<int> rowsOf(const QItemSelection &ranges, int rowCount)
{
    // Mark rows instead of asking the model per row (QItemSelectionModel::selectedRows is
    // quadratic in the number of ranges).
    std::vector<bool> marked(static_cast<size_t>(rowCount), false);
    int found = 0;
    for (const QItemSelectionRange &range : ranges) {
        if (!range.isValid() || range.parent().isValid())
            continue;
        const int bottom = std::min(range.bottom(), rowCount - 1);
        for (int row = std::max(range.top(), 0); row <= bottom; ++row) {
            if (!marked[static_cast<size_t>(row)]) {
                marked[static_cast<size_t>(row)] = true;
                ++found;
            }
        }
    }
    QList<int> rows;
    rows.reserve(found);
    for (int row = 0; row < rowCount; ++row) {
        if (marked[static_cast<size_t>(row)])
            rows.append(row);
    }
    return rows;
}

} // namespace

int currentEntryRow(const QItemSelectionModel &selection)
{
    const QModelIndex current = selection.currentIndex();
    if (current.isValid() && selection.isSelected(current))
        return current.row();
    int first = -1;
    for (const QItemSelectionRange &range : selection.selection()) {
        if (range.isValid() && !range.parent().isValid() && (first < 0 || range.top() < first))
            first = range.top();
    }
    return first;
}

QList<int> selectedRows(const QItemSelectionModel &selection)
{
    const QAbstractItemModel *model = selection.model();
    const int rowCount = model ? model->rowCount() : 0;
    if (rowCount == 0 || !selection.hasSelection())
        return {};
    return rowsOf(selection.selection(), rowCount);
}

int removeSelected(WordListModel &list, QItemSelectionModel &selection)
{
    if (list.count() == 0 || !selection.hasSelection())
        return 0;
    QList<int> rows;
    qsizetype pieces = 0;
    {
        const QItemSelection ranges = selection.selection();
        pieces = ranges.size();
        rows = rowsOf(ranges, list.count());
    }
    if (rows.isEmpty())
        return 0;
    const int currentColumn = std::max(selection.currentIndex().column(), 0);
    // Every selected row goes, so the selection ends up empty either way. Emptying it first spares
    // the model from carrying each selected row's persistent index through the removal. For a
    // selection of many pieces the view is not told piece by piece what was deselected: the
    // removal that follows makes it lay out and repaint everything anyway.
    if (pieces > 1000) {
        const QSignalBlocker quiet(&selection);
        selection.clearSelection();
    } else {
        selection.clearSelection();
    }
    list.removeEntries(rows);
    if (list.count() > 0) {
        const int row = std::min(rows.first(), list.count() - 1);
        selection.setCurrentIndex(list.index(row, currentColumn), QItemSelectionModel::NoUpdate);
    }
    return static_cast<int>(rows.size());
}

} // namespace WordListCommands
