#pragma once

#include <QString>

// Whether the word bank can be written back into the program folder at exit, asked at start-up
// so that a copy the user may not write to (one under "C:\Program Files") is told at once rather
// than after a day of new words.
namespace ProgramFolder {

enum class BankPlace {
    Writable,
    FolderNotWritable, // no new file can be made in the folder
    BankReadOnly,      // the folder takes new files, but the bank file itself may not be written
};

// Whether the bank can be written: a new file is tried for real in `folder` (permissions,
// read-only media and Windows' access lists all decide it), and an existing bank must be writable
// too, since the save refuses to replace a file that is not (the read-only attribute on Windows,
// its permissions elsewhere).
BankPlace wordBankPlace(const QString &folder, const QString &wordBankPath);

// The start-up warning for a folder that takes no new file: names the folder and a writable place
// for a copy (`suggestedFolder`).
QString notWritableMessage(const QString &folder, const QString &suggestedFolder);
// The start-up warning for a bank file that is read-only in a writable folder.
QString readOnlyBankMessage(const QString &wordBankPath);

// The user's documents folder (the home folder where there is none): where a list the bank
// refused is offered a place.
QString documentsFolder();

// A place in the user's own files for a copy of the program folder.
QString suggestedCopyFolder();

} // namespace ProgramFolder
