#pragma once

#include <QList>

class QItemSelectionModel;
class WordListModel;

// List commands that work on the view's selection but need no window.
namespace WordListCommands {

// The list's current entry, the one a command for a single entry works on: the current row when it
// is selected, otherwise the first selected row; -1 when nothing is selected.
int currentEntryRow(const QItemSelectionModel &selection);

// The rows with anything selected, ascending, each once. Linear in the number of selection
// ranges, so half a million scattered rows cost no more than reading them.
QList<int> selectedRows(const QItemSelectionModel &selection);

// Removes every selected row in one model operation. The other rows keep their order and their
// selection; the row that moved into the place of the first removed one becomes the current row
// (without being selected), so the keyboard carries on from there. Returns how many were removed.
int removeSelected(WordListModel &list, QItemSelectionModel &selection);

} // namespace WordListCommands
