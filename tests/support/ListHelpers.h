#pragma once

#include "wordlist/WordListModel.h"

#include <QStringList>

#include <vector>

// Small builders and readers for word lists in tests.
namespace ListHelpers {

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
