#pragma once

#include "wordlist/WordListModel.h"

#include <QStringList>

#include <vector>

// A word and its meaning on their way into a list.
struct WordPair
{
    QString word;
    QString meaning;
};

// Small builders and readers for word lists in tests.
namespace ListHelpers {

// Appends a batch in order, dropping every entry whose key is already in the list or earlier in
// the batch, exactly as adding them one by one would. Returns how many were added.
inline int appendEntries(WordListModel &list, const std::vector<WordPair> &batch)
{
    WordListModel::Appender add(list, qsizetype(batch.size()));
    for (const WordPair &p : batch) {
        if (!add.add(p.word, p.meaning))
            break;
    }
    return add.finish();
}

// Entries from "word|meaning" texts, in order.
inline std::vector<WordPair> batchOf(const QStringList &pairs)
{
    std::vector<WordPair> batch;
    for (const QString &p : pairs)
        batch.push_back(WordPair{p.section(u'|', 0, 0), p.section(u'|', 1)});
    return batch;
}

// The list's words in list order.
inline QStringList words(const WordListModel &m)
{
    QStringList out;
    for (const WordEntry &e : m.entries())
        out << e.word.toString();
    return out;
}

} // namespace ListHelpers
