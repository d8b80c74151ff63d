#pragma once

#include <QString>
#include <QStringList>

// The word files beside the program: every *.txt in the program folder, and the one-click import
// of one of them.
namespace WordFiles {

// Names (file name and extension, no folder) of every file in `folder` whose name ends in ".txt"
// in any letter case (so never the word bank, wb.dcb). Folders and hidden files are not listed.
// Sorted alphabetically without regard to letter case.
QStringList list(const QString &folder);

enum class ReadResult {
    Read,       // `text` holds the file's text, ready for the word-pair reader
    Missing,    // no file of that name (a folder of that name does not count)
    Unreadable, // the file is there but could not be read; `error` says why
};

// Reads the word file `name` in `folder` through TextFile. Touches no widget, so it may run in a
// worker thread.
ReadResult readFile(const QString &folder, const QString &name, QString *text, QString *error = nullptr);

} // namespace WordFiles
