#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class WordListModel;

// The word-pair text format: one entry a line, word, two spaces, meaning; CR LF after every line.
namespace Module1 {

// What an import did: entries added, entries dropped because their key was already in the list
// (or earlier in the text), and whether it stopped before the end of the text.
struct ImportCounts
{
    enum class Stop
    {
        None,        // the whole text was read
        OutOfMemory, // memory ran out: the entries after that point are missing
        ListFull,    // the list's text reached its limit: the entries after that point are missing
    };
    qsizetype added = 0;
    qsizetype alreadyListed = 0;
    Stop stopped = Stop::None;
};

// Adds one entry for every word pair in `text` (lines separated by CR LF) to `list`, after the
// entries already there. Lines whose key is already in the list are dropped. Entries read before
// an import stops early stay in the list.
ImportCounts ImportWordPairs(const QString &text, WordListModel &list);

// The same for text that has the meaning first.
ImportCounts ImportWordPairsReversed(const QString &text, WordListModel &list);

} // namespace Module1

namespace WordPairs {

// Removes U+0020 (only that character) at both ends.
QStringView trimSpaces(QStringView s);

// The word bank's bytes into `list`: GBK always, read line by line and field by field straight
// into the list's text, by the same rules as ImportWordPairs over the decoded text. Only a
// byte-order mark sends it through the general reader (TextFile::decode) instead. The bytes are
// used up: memory they took goes back to the system as they are read. Returns false when the
// list ran out of room before the end (out of memory): then entries of the bank are missing.
bool importWordBank(QByteArray &&bytes, WordListModel &list);
// The GBK part of it: ImportWordPairs(TextFile::normaliseLineEnds(GBK-decoded bytes)), without
// the decoded text.
void importGbkBytes(QByteArrayView bytes, WordListModel &list);

// The whole list as the word-pair files hold it: one line per entry, CR LF after each, a single
// CR LF when the list is empty; GBK, GB18030 where GBK lacks a character. Built straight into
// bytes, without an intermediate text.
// Which entries a written list holds: all (the bank, word files), or only those marked known (the
// known marks beside the bank).
enum class Rows { All, Known };
QByteArray encodeList(const WordListModel &list, Rows which = Rows::All);
// The same bytes piece by piece (about 1 MiB each): the piece that starts at *row into `piece`,
// *row moved past it; returns whether more follow. Start with *row = 0.
bool encodePiece(const WordListModel &list, int *row, QByteArray &piece, Rows which = Rows::All);
// Replaces the file at `path` with the list as encodeList() gives it, written piece by piece
// straight from the list's text (never the whole file in memory), atomically as
// TextFile::writeBytes does. On failure the old file is untouched and `error` says why; a file
// that would pass `maxBytes` (when not negative) is such a failure.
bool writeList(const WordListModel &list, const QString &path, QString *error = nullptr, Rows which = Rows::All,
               qint64 maxBytes = -1);

} // namespace WordPairs
