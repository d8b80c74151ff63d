// Times the word-list commands on a large bank, with the list shown in a real view (offscreen) so
// that the view's own handling of each change is part of the figure.
//   quorvel-list-bench <bank>   the bank to load (e.g. the one quorvel-bench --generate writes)
//   quorvel-list-bench          a generated 1,000,000-entry list instead
// Output: one "name: <ms> ms" line per operation.
#include "wordlist/TextFile.h"
#include "wordlist/WordListCommands.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordListSorter.h"
#include "wordlist/WordPairs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QTableView>

#include <cstdio>
#include <sys/resource.h>

namespace {

// Processor time of this process so far, in ms: next to the wall-clock figure it shows how much
// of it was spent waiting for a busy machine.
qint64 cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

qint64 g_cpuStart = 0;

void report(const char *name, qint64 ms)
{
    const qint64 cpu = cpuMs();
    std::printf("%s: %lld ms\n", name, static_cast<long long>(ms));
    std::printf("%s (cpu): %lld ms\n", name, static_cast<long long>(cpu - g_cpuStart));
    std::fflush(stdout);
    g_cpuStart = cpuMs();
}

// Random English-like words, 1-6 common Chinese characters as meaning, as word-pair text.
QString generatedText(int count)
{
    QRandomGenerator rng(12345);
    QString text;
    text.reserve(qsizetype(count) * 16);
    for (int i = 0; i < count; ++i) {
        const int wordLen = 5 + rng.bounded(14);
        for (int j = 0; j < wordLen; ++j)
            text += QChar(u'a' + rng.bounded(26));
        text += u"  ";
        const int meaningLen = 1 + rng.bounded(6);
        for (int j = 0; j < meaningLen; ++j)
            text += QChar(char16_t(0x4E00 + rng.bounded(0x9FA5 - 0x4E00)));
        text += u"\r\n";
    }
    return text;
}

// Lets the view handle everything the change queued (layout, repaint).
void settle()
{
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();

    QString text;
    if (args.size() >= 2) {
        QString error;
        if (!TextFile::read(args[1], &text, &error)) {
            std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(args[1]), qPrintable(error));
            return 1;
        }
    } else {
        text = generatedText(1000000);
    }

    WordListModel list;
    QTableView view;
    view.setModel(&list);
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.resize(664, 417);
    view.show();
    settle();

    QElapsedTimer timer;
    timer.start();
    g_cpuStart = cpuMs();
    Module1::ImportWordPairs(text, list);
    settle();
    report("list-load (import into the shown list)", timer.elapsed());
    std::printf("entries: %d\n", list.count());

    WordListSorter sorter;
    timer.restart();
    g_cpuStart = cpuMs();
    sorter.sortByColumn(list, WordListModel::WordColumn);
    settle();
    report("sort by word", timer.elapsed());

    timer.restart();
    g_cpuStart = cpuMs();
    sorter.sortByColumn(list, WordListModel::MeaningColumn);
    settle();
    report("sort by meaning", timer.elapsed());

    timer.restart();
    g_cpuStart = cpuMs();
    Module1::ImportWordPairs(text, list);
    settle();
    report("re-import of the same text (all duplicates)", timer.elapsed());
    std::printf("entries: %d\n", list.count());

    // Every second row selected, one range each, as ctrl-clicks would leave them.
    timer.restart();
    g_cpuStart = cpuMs();
    QItemSelection selection;
    selection.reserve(list.count() / 2 + 1);
    for (int row = 1; row < list.count(); row += 2)
        selection.append(QItemSelectionRange(list.index(row, 0), list.index(row, 1)));
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    settle();
    report("(setup) select every second row", timer.elapsed());
    std::printf("selected: %lld ranges\n", static_cast<long long>(selection.size()));
    selection.clear();

    timer.restart();
    g_cpuStart = cpuMs();
    const int removed = WordListCommands::removeSelected(list, *view.selectionModel());
    settle();
    report("delete every second entry", timer.elapsed());
    std::printf("removed: %d, entries: %d\n", removed, list.count());

    // Back to the full list, so the clear below empties all of it.
    timer.restart();
    g_cpuStart = cpuMs();
    Module1::ImportWordPairs(text, list);
    settle();
    report("(setup) import the removed half again", timer.elapsed());
    std::printf("entries: %d\n", list.count());

    timer.restart();
    g_cpuStart = cpuMs();
    list.clear();
    settle();
    report("clear", timer.elapsed());
    return 0;
}
