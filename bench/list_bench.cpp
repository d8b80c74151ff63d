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

#include "BenchReport.h"
#include "GeneratedBank.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <cstdio>

namespace {
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
        text = generatedBankText(1000000);
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
