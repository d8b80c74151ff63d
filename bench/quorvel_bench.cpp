// Times the word bank's load and save in one process (as start-up and shutdown do them) and
// reports the peak memory.
//   quorvel-bench <bank>                 load and save <bank>
//   quorvel-bench --generate <bank> [N]  write an N-entry GBK bank (default 1,000,000)
// Output: one "name: <ms> ms" line per operation, then "peak RSS: <MiB> MiB".
#include "BenchReport.h"
#include "GeneratedBank.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// Writes an N-entry bank in the word-pair format.
int generate(const QString &path, int count)
{
    const QString text = generatedBankText(count);
    QString error;
    if (!TextFile::write(path, text, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QStringLiteral("--generate"))
        return generate(args[2], args.size() > 3 ? args[3].toInt() : 1000000);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: quorvel-bench <bank> | --generate <bank> [N]\n");
        return 2;
    }

    QElapsedTimer timer;
    timer.start();
    g_cpuStart = cpuMs();
    WordListModel list;
    {
        // As the program loads its bank at start-up.
        QByteArray bytes;
        QString error;
        if (!TextFile::readBytes(args[1], &bytes, &error)) {
            std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(args[1]), qPrintable(error));
            return 1;
        }
        std::printf("  of which reading the file: %lld ms\n", static_cast<long long>(timer.elapsed()));
        WordPairs::importWordBank(std::move(bytes), list);
    }
    report("load", timer.elapsed());
    std::printf("entries: %d\n", list.count());

    QTemporaryDir dir;
    timer.restart();
    g_cpuStart = cpuMs();
    QString error;
    if (!WordPairs::writeList(list, dir.filePath(QStringLiteral("wb.dcb")), &error)) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
        return 1;
    }
    report("save", timer.elapsed());

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
