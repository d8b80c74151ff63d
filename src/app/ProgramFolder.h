#pragma once

#include <QString>

// Whether the word bank can be written back into the program folder at exit, asked at start-up
// so that a copy the user may not write to (one under "C:\Program Files") is told at once rather
// than after a day of new words.
namespace ProgramFolder {

// True when a new file can be made in `folder` (tried for real with a temporary file, since
// permissions, read-only media and Windows' access lists all decide it) and, on Windows, an
// existing bank there is not read-only.
bool acceptsWordBank(const QString &folder, const QString &wordBankPath);

// The start-up warning for a folder that does not: names the folder and a writable place for a
// copy (`suggestedFolder`).
QString notWritableMessage(const QString &folder, const QString &suggestedFolder);

// A place in the user's own files for a copy of the program folder.
QString suggestedCopyFolder();

} // namespace ProgramFolder
