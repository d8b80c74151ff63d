#pragma once

#include "WordPairs.h"

#include <QString>

class WordListModel;

// The user's word bank beside the program: read once at start-up, written back at exit. The rule
// that guards years of the user's words lives here: a bank that could not be read whole (a file
// that would not open, or one the list ran out of room for) is never overwritten, so saving the
// part that was read can never cost the rest. Messages and the choice of another place belong to
// the window.
class WordBank
{
public:
    enum class Load {
        Missing,    // no bank yet: the list starts empty, and the first save creates it
        Loaded,     // the whole bank is in the list
        Unreadable, // the bank was not read, or only in part; error() says why
    };
    enum class Save {
        Saved,   // the list is in the bank
        Failed,  // writing failed, the old bank is untouched; error() says why
        Withheld, // the bank was unreadable, so it was left as it is; the list has words to keep elsewhere
        Skipped,  // the bank was unreadable and the list is empty: nothing to write anywhere
    };

    // What the file holds: the list's entries (the bank), or the entries marked known (a file of
    // the same format beside the bank, so the bank itself stays as every copy of the program
    // reads it). Both follow the same rules.
    enum class Holds { Entries, KnownMarks };

    // The largest bank read and written. A bank the program writes must be one it reads back, so
    // both use this limit, far above the limit for word files from elsewhere. It is what the list
    // can hold: the list's text is at most 2^32 UTF-16 units (8 GiB, its positions are 32-bit),
    // and as a bank English and Chinese take no more bytes than in the list (one byte for an
    // ASCII letter, two for a Chinese character). A list that would pass it anyway (text mostly
    // of characters GBK lacks, four bytes each) fails to save with its reason, and the old bank
    // stays. Reading holds the file in memory once and gives it back as the list fills, so a list
    // the machine held can be read back.
    static constexpr qint64 kMaxBytes = qint64(8) << 30;

    explicit WordBank(QString path, Holds holds = Holds::Entries, qint64 maxBytes = kMaxBytes)
        : m_path(std::move(path)), m_holds(holds), m_maxBytes(maxBytes)
    {
    }
    qint64 maxBytes() const { return m_maxBytes; }

    const QString &path() const { return m_path; }
    Holds holds() const { return m_holds; }
    WordPairs::Rows rows() const { return m_holds == Holds::KnownMarks ? WordPairs::Rows::Known : WordPairs::Rows::All; }

    // Reads the bank into `list` (appended to what it holds); known marks mark the list's entries
    // they name (by word and meaning) and are otherwise dropped.
    Load load(WordListModel &list);
    // Writes `list` over the bank, unless the bank must be kept (see above).
    Save save(const WordListModel &list);
    // Whether the bank may be overwritten: false once a load found it unreadable.
    bool mayOverwrite() const { return !m_unreadable; }
    // Why the last load or save failed, in words for the user.
    const QString &error() const { return m_error; }

    // Writes `list` to another file in the bank's format, atomically.
    static bool saveTo(const WordListModel &list, const QString &path, QString *error);

private:
    QString m_path;
    Holds m_holds;
    qint64 m_maxBytes;
    QString m_error;
    bool m_unreadable = false;
};
