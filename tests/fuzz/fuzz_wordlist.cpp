// libFuzzer targets for the code that reads, writes and shapes what the user types or loads.
// quorvel-fuzz: the first byte picks the path (its value modulo kPaths), the rest is its input:
//
// 0 the bank at start, 1 a word file, 2 a reverse import and edits, 3 the import window's text
// tools, 4 CleanFileName, 5 a word's dictionary address; each function says what it checks.
// quorvel-fuzz-large-bank (QUORVEL_FUZZ_LARGE_BANK) runs largeBank() alone.
// "Saved and loaded" is the bank's real pair: WordPairs::writeList (in pieces, atomically),
// TextFile::readBytes, WordPairs::importWordBank.
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_FUZZ=ON -DQUORVEL_BUILD_TESTS=OFF
//   cmake --build build-fuzz --target quorvel-fuzz quorvel-fuzz-large-bank
//   build-fuzz/tests/fuzz/quorvel-fuzz -max_total_time=600 tests/fuzz/corpus
//   build-fuzz/tests/fuzz/quorvel-fuzz-large-bank -max_total_time=60 tests/fuzz/corpus-large-bank
#include "import/TextTools.h"
#include "shell/FileNames.h"
#include "shell/WebLinks.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kPaths = 6;

void check(bool ok, const char *what)
{
    if (!ok)
        std::fprintf(stderr, "property broken: %s\n", what), std::abort();
}

bool sameEntries(const WordListModel &a, const WordListModel &b)
{
    bool same = a.count() == b.count();
    for (int i = 0; same && i < a.count(); ++i) {
        const WordEntry x = a.entry(i), y = b.entry(i);
        same = x.word == y.word && x.meaning == y.meaning && x.key() == y.key();
    }
    return same;
}

QString utf16(const QByteArray &bytes)
{
    return QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
}

// A file on a memory file system where there is one, so that the save's flush costs nothing.
QString scratchFile()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/quorvel-fuzz-XXXXXX")
                                                                        : QDir::tempPath() + QStringLiteral("/quorvel-fuzz-XXXXXX"));
    return dir.filePath(QStringLiteral("wb.dcb"));
}

// Saves `list` as the bank is saved and loads it as the bank is loaded into `loaded`; returns the
// bytes written.
QByteArray saveAndLoad(const WordListModel &list, WordListModel &loaded)
{
    const QString path = scratchFile();
    QString error;
    check(WordPairs::writeList(list, path, &error), "the list is written");
    QByteArray bytes;
    check(TextFile::readBytes(path, &bytes, &error), "the written list is read");
    const QByteArray written = bytes;
    check(WordPairs::importWordBank(std::move(bytes), loaded), "the written list loads whole");
    QByteArray encoded = WordPairs::encodeList(list);
    TextFile::keepFromLookingLikeBom(encoded);
    check(written == encoded, "the file holds what encodeList gives");
    return written;
}

// A list the reader made: saved, it loads as the same entries, and saving those gives the same bytes.
void roundTrip(const WordListModel &list)
{
    WordListModel loaded;
    const QByteArray saved = saveAndLoad(list, loaded);
    check(sameEntries(list, loaded), "saved list loads as the same entries");
    WordListModel again;
    check(saveAndLoad(loaded, again) == saved, "saving the loaded list gives the same bytes");
}

// A list whose entries the writer's format may not hold as they are (a reversed import keeps
// spaces in meanings and double spaces in words; an edit takes any text): saving and loading
// changes it once, by the reader's rules, then never again, and never adds an entry.
void settles(const WordListModel &list)
{
    WordListModel once, twice;
    saveAndLoad(list, once);
    check(once.count() <= list.count(), "loading a saved list adds no entry");
    saveAndLoad(once, twice);
    check(sameEntries(once, twice), "a list loaded from the bank reads back as itself");
}

// 0: the bank at start: the byte reader agrees with the general reader over the decoded text.
void bank(const QByteArray &bytes)
{
    WordListModel fromBytes, fromText;
    QByteArray copy(bytes.constData(), bytes.size()); // bytes of its own, which the reader gives back
    check(WordPairs::importWordBank(std::move(copy), fromBytes), "the bank loads whole");
    Module1::ImportWordPairs(TextFile::decodeWordBank(bytes), fromText);
    check(sameEntries(fromBytes, fromText), "the byte reader reads the bank as the text reader does");
    roundTrip(fromBytes);
}

// 1: a word file in its detected encoding, imported both ways.
void wordFile(const QByteArray &bytes)
{
    const QString text = TextFile::decode(bytes);
    check(!text.contains(QChar(u'\r')) || text.count(u"\r\n"_qs) == text.count(QChar(u'\r')),
          "every line of a read file ends in CR LF");
    WordListModel list;
    Module1::ImportWordPairs(text, list);
    roundTrip(list);
    WordListModel reversed;
    Module1::ImportWordPairsReversed(text, reversed);
    settles(reversed);
}

// The reader gives the bytes behind it back in 4 MiB steps; whatever it gives back, the entries
// must be the ones the same bytes give when nothing is given back. A filler line of a length the
// input picks, then the input a few times over, so that it straddles the first step. Reading 4 MiB
// under the fuzzer's instrumentation takes a few tenths of a second, so this path has a binary of
// its own.
[[maybe_unused]] void largeBank(const QByteArray &input)
{
    if (input.size() < 2)
        return;
    const qsizetype step = qsizetype(4) << 20;
    const qsizetype filler = step - 4096 + (uchar(input[0]) << 8 | uchar(input[1])) % 8192;
    const QByteArray tail = input.sliced(2);
    QByteArray repeated;
    while (repeated.size() < 3 * tail.size() + 4096 && !tail.isEmpty())
        repeated += tail;
    QByteArray bytes;
    bytes.reserve(filler + 2 + repeated.size());
    bytes.append(filler, 'w');
    bytes += "\r\n" + repeated;
    // The same entries, with the filler's line added on its own.
    WordListModel released, kept;
    kept.addEntry(QString(filler, u'w'), {});
    WordPairs::importGbkBytes(repeated, kept);
    check(bytes.isDetached(), "the bank's bytes are its own");
    check(WordPairs::importWordBank(std::move(bytes), released), "the large bank loads whole");
    check(sameEntries(released, kept), "memory given back while reading loses no entry");
}

// A reverse import from the import window, then edits: U+0000 separates the window's text from
// the edits' word and meaning fields.
void editedEntries(const QByteArray &bytes)
{
    const QString text = utf16(bytes);
    const QList<QStringView> parts = QStringView(text).split(QChar(0));
    WordListModel list;
    Module1::ImportWordPairsReversed(TextTools::fromEditorText(parts[0].toString()), list);
    for (qsizetype i = 1; i + 1 < parts.size() && list.count() > 0; i += 2) {
        // As the edit window hands them over: one line each, spaces trimmed.
        const QString word = parts[i].toString().replace(u'\r', u' ').replace(u'\n', u' ');
        const QString meaning = parts[i + 1].toString().replace(u'\r', u' ').replace(u'\n', u' ');
        list.setEntry(int(word.size() % list.count()), WordPairs::trimSpaces(word), WordPairs::trimSpaces(meaning));
    }
    settles(list);
}

// replaceAll as its comment says, found one match after the other with QString::indexOf.
QString plainReplace(const QString &text, const QString &search, const QString &replacement, bool *matched)
{
    *matched = false;
    if (search.isEmpty())
        return text;
    // A match never splits a character: QString::indexOf would find half of a surrogate pair
    // where the replace tool (QStringMatcher, which compares whole characters) rightly does not.
    auto splits = [&](qsizetype at) {
        const qsizetype end = at + search.size();
        return (at > 0 && text[at].isLowSurrogate() && text[at - 1].isHighSurrogate())
               || (end < text.size() && text[end].isLowSurrogate() && text[end - 1].isHighSurrogate());
    };
    QString out;
    qsizetype from = 0;
    for (qsizetype at = from; (at = text.indexOf(search, at, Qt::CaseInsensitive)) >= 0;) {
        if (splits(at)) {
            ++at;
            continue;
        }
        *matched = true;
        out += QStringView(text).sliced(from, at - from) + replacement;
        at = from = at + search.size();
    }
    return out + QStringView(text).sliced(from);
}

bool isBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\r' || c == u'\n';
}

void textTools(const QByteArray &bytes)
{
    // Text, search and replacement, separated by U+0000.
    const QStringList parts = utf16(bytes).split(QChar(0));
    const QString text = parts.value(0), search = parts.value(1), replacement = parts.value(2);
    bool changed = true;
    const QString replaced = TextTools::replaceAll(text, search, replacement, &changed);
    bool matched = false;
    check(replaced == plainReplace(text, search, replacement, &matched),
          "replaceAll replaces every match once, left to right");
    check(changed == matched, "replaceAll says whether it replaced");

    const QString lines = TextTools::fromEditorText(replaced);
    QString withoutBreaks;
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < replaced.size(); ++i) {
        const bool pair = replaced[i].isHighSurrogate() && i + 1 < replaced.size() && replaced[i + 1].isLowSurrogate();
        if (pair)
            withoutBreaks += replaced.sliced(i++, 2);
        else if (replaced[i].isSurrogate())
            withoutBreaks += QChar(QChar::ReplacementCharacter); // half a character
        else if (!isBreak(replaced[i]))
            withoutBreaks += replaced[i];
        else if (!(replaced[i] == u'\r' && i + 1 < replaced.size() && replaced[i + 1] == u'\n'))
            ++breaks;
    }
    check(lines.count(u"\r\n"_qs) == breaks, "every line end of the editor is one CR LF");
    check(QString(lines).remove(u"\r\n"_qs) == withoutBreaks, "only line ends and halves of characters change");
    check(TextTools::fromEditorText(lines) == lines, "text it gave stays as it is");

    WordListModel list;
    Module1::ImportWordPairs(lines, list);
    roundTrip(list);
}

bool isForbidden(QChar c)
{
    return QStringView(u"\\/:*?\"<>|\r\n").contains(c) || c == QChar(0);
}

void fileName(const QByteArray &bytes)
{
    const QString name = utf16(bytes);
    const QString clean = Module1::CleanFileName(name);
    QString allowed;
    for (QChar c : name) {
        if (!isForbidden(c))
            allowed += c;
    }
    // A piece of what is left once forbidden characters are dropped: none of them is in it.
    check(allowed.contains(clean), "a clean name is a piece of the name");
    qsizetype b = 0, e = allowed.size();
    while (b < e && allowed[b] == u'.')
        ++b;
    while (e > b && allowed[e - 1] == u'.')
        --e;
    const QString stripped = allowed.sliced(b, e - b);
    check(Module1::cp936Length(stripped) > 250 || clean == WordPairs::trimSpaces(stripped),
          "a name that fits loses only forbidden characters, dots and spaces at its ends");
    check(Module1::cp936Length(clean) <= 250, "a clean name takes at most 250 bytes");
    check(!clean.startsWith(u' ') && !clean.endsWith(u' '), "a clean name has no spaces at its ends");
    const qsizetype at = allowed.indexOf(clean);
    check(clean.isEmpty() || !clean.back().isHighSurrogate() || at + clean.size() >= allowed.size()
              || !allowed[at + clean.size()].isLowSurrogate(),
          "the cut never splits a character");
}

void dictionaryAddress(const QByteArray &bytes)
{
    // Any word: the edit window takes any text.
    const QString prepared = WebLinks::prepareWord(utf16(bytes));
    const QString base = QStringLiteral("https://dict.example/w/");
    const QUrl url = WebLinks::dictionaryUrl(prepared, base);
    check(url.isValid(), "the address is valid");
    const QByteArray encoded = url.toEncoded();
    check(encoded.startsWith(base.toUtf8()) && encoded.endsWith('/'), "the address is base + word + /");
    check(!url.hasQuery() && !url.hasFragment() && url.host() == u"dict.example", "the word stays in the path");
    const QByteArray wordPart = encoded.sliced(base.size(), encoded.size() - base.size() - 1);
    check(QString::fromUtf8(QByteArray::fromPercentEncoding(wordPart)) == QString::fromUtf8(prepared.toUtf8()),
          "the address holds the whole word");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#ifdef QUORVEL_FUZZ_LARGE_BANK
    largeBank(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    return 0;
#endif
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    switch (data[0] % kPaths) {
    case 0: bank(input); break;
    case 1: wordFile(input); break;
    case 2: editedEntries(input); break;
    case 3: textTools(input); break;
    case 4: fileName(input); break;
    case 5: dictionaryAddress(input); break;
    }
    return 0;
}
