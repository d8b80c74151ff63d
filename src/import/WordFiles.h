#pragma once

#include <QString>
#include <QStringList>

class WordListModel;

// The word files beside the program: every *.txt in the program folder, and the one-click import
// of one of them.
namespace WordFiles {

// Names (file name and extension, no folder) of every file in `folder` whose name ends in ".txt"
// in any letter case (so never the word bank, wb.dcb). Folders and hidden files are not listed.
// Sorted alphabetically without regard to letter case.
QStringList list(const QString &folder);

enum class ImportResult {
    Imported,   // read and handed to the reader (which may have added nothing)
    Missing,    // no file of that name (a folder of that name does not count)
    Unreadable, // the file is there but could not be read; `error` says why
};

// Reads `folder`/`name` through TextFile and adds its word pairs to `list`. On any failure the list
// is left exactly as it was.
ImportResult importFile(const QString &folder, const QString &name, WordListModel &list,
                        QString *error = nullptr);

} // namespace WordFiles
