// libFuzzer target for the loader and the word-list import. Any bytes, read as the word bank or as
// a word file for import, must load without a crash, and the list they give must survive the
// saver -> loader round trip unchanged: what the program saves, it reads back as the same entries,
// and saving those again gives the same bytes.
//
//   build:  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_FUZZ=ON
//           -DQUORVEL_BUILD_TESTS=OFF && cmake --build build-fuzz --target quorvel-fuzz
//   run:    build-fuzz/tests/fuzz/quorvel-fuzz -max_total_time=600 tests/fuzz/corpus
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

bool sameEntries(const WordListModel &a, const WordListModel &b)
{
    if (a.count() != b.count())
        return false;
    for (int i = 0; i < a.count(); ++i) {
        if (a.entry(i).word != b.entry(i).word || a.entry(i).meaning != b.entry(i).meaning)
            return false;
    }
    return true;
}

// Saves `list`, loads the saved bytes as the bank, and checks nothing changed.
void roundTrip(const WordListModel &list)
{
    QByteArray saved = WordPairs::encodeList(list);
    TextFile::keepFromLookingLikeBom(saved); // as TextFile::writeBytes writes it
    WordListModel loaded;
    Module1::ImportWordPairs(TextFile::decodeWordBank(saved), loaded);
    check(sameEntries(list, loaded), "saved list reads back as the same entries");
    QByteArray again = WordPairs::encodeList(loaded);
    TextFile::keepFromLookingLikeBom(again);
    check(again == saved, "saving the read-back list gives the same bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // The word bank at start-up.
    WordListModel bank;
    Module1::ImportWordPairs(TextFile::decodeWordBank(bytes), bank);
    roundTrip(bank);

    // A word file imported into that list, both ways.
    const QString text = TextFile::decode(bytes);
    check(!text.contains(QChar(u'\r')) || text.count(u"\r\n"_qs) == text.count(QChar(u'\r')),
          "every line of a read file ends in CR LF");
    Module1::ImportWordPairs(text, bank);
    roundTrip(bank);
    WordListModel reversed;
    Module1::ImportWordPairsReversed(text, reversed);
    WordPairs::encodeList(reversed);
    return 0;
}
