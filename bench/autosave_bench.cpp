// Saving as you go with a large list: how long the window's thread is held up while a change
// reaches the bank, how long that takes, and the cost of undoing a clear.
//   quorvel-autosave-bench <bank>   the bank to load (e.g. the one quorvel-bench --generate writes)
//   quorvel-autosave-bench          a generated 1,000,000-entry list instead
// The window's thread runs a 1 ms timer throughout; the longest gap between its ticks is the
// longest the window could not draw or take input. Output: "name: <value>" lines.
#include "wordlist/BankAutosave.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordBank.h"
#include "wordlist/WordListHistory.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include "GeneratedBank.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {
// The longest gap between ticks of a 1 ms timer on this thread since the last reset().
class StallMeter
{
public:
    StallMeter()
    {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.restart());
        });
        m_since.start();
        m_tick.start();
    }
    void reset()
    {
        m_since.restart();
        m_longest = 0;
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

// Runs the event loop until `done` or 60 s.
template<class F>
void runUntil(F done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

void print(const char *name, qint64 value, const char *unit)
{
    std::printf("%s: %lld %s\n", name, static_cast<long long>(value), unit);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString bankPath = dir.filePath(QStringLiteral("wb.dcb"));
    QByteArray bytes;
    if (argc >= 2) {
        QString error;
        if (!TextFile::readBytes(QString::fromLocal8Bit(argv[1]), &bytes, &error)) {
            std::fprintf(stderr, "cannot read %s: %s\n", argv[1], qPrintable(error));
            return 1;
        }
    } else {
        bytes = TextFile::encode(generatedBankText(1000000));
    }
    {
        QFile f(bankPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    bytes = QByteArray();

    WordListModel list;
    WordBank bank(bankPath);
    bank.load(list);
    print("entries", list.count(), "");
    WordListHistory history(list);
    BankAutosave autosave(bank, list, false);
    QSignalSpy saved(&autosave, &BankAutosave::saved);
    StallMeter stall;

    // An unchanged list: nothing is written, however long the program runs.
    const QDateTime before = QFileInfo(bankPath).lastModified();
    QElapsedTimer wait;
    wait.start();
    runUntil([&] { return wait.elapsed() >= 3000; });
    print("unchanged list, bank rewritten after 3 s", QFileInfo(bankPath).lastModified() != before, "(0 = no)");

    // One edit: from the change to the bank replaced, and the longest stall meanwhile.
    for (int round = 1; round <= 3; ++round) {
        stall.reset();
        QElapsedTimer t;
        t.start();
        list.setEntry(round * 1000, QStringLiteral("edited%1").arg(round), QStringLiteral("改"));
        const qsizetype want = saved.size() + 1;
        runUntil([&] { return saved.size() >= want; });
        std::printf("edit %d: saved after %lld ms (1000 ms of it the quiet wait), longest stall %lld ms\n", round,
                    static_cast<long long>(t.elapsed()), static_cast<long long>(stall.longest()));
        std::fflush(stdout);
    }

    // Clear and its undo, each saved in the background.
    stall.reset();
    QElapsedTimer t;
    t.start();
    list.clear();
    print("clear", t.elapsed(), "ms");
    qsizetype want = saved.size() + 1;
    runUntil([&] { return saved.size() >= want; });
    t.restart();
    history.undo();
    print("undo of the clear", t.elapsed(), "ms");
    print("entries after undo", list.count(), "");
    want = saved.size() + 1;
    runUntil([&] { return saved.size() >= want; });
    print("longest stall over clear, undo and their saves", stall.longest(), "ms");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
