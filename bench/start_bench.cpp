// Times the program's start to its first frame and its exit after SIGTERM, with a large word bank,
// and reports the peak memory of the running program.
//   quorvel-start-bench <bank> [runs]   default 3 runs
// Each run starts a fresh process (this executable in its program role) in a temporary program
// folder holding <bank> as its word bank, offscreen. That process does what the program's main()
// does (main window, start-up, shown, termination signals) and reports its first painted frame of
// the word list; then it gets SIGTERM and saves the bank and ends as the program does.
// Output: one "name: <ms> ms" line per measure (the median of the runs, each run listed), and the
// program's peak RSS.
#include "BenchSeams.h"
#include "app/Form1.h"
#include "app/TerminationSignals.h"
#include "shell/AppInfo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The program's role: start-up, first frame, then wait for SIGTERM.
int runProgram(int argc, char *argv[], const QString &folder)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::title());
    QApplication::setQuitOnLastWindowClosed(false);

    BenchDialogs dialogs;
    BenchLauncher launcher;
    const AppContext context{.programFolder = folder,
                             .executablePath = QString(),
                             .settingsPath = QDir(folder).filePath(QStringLiteral("settings.ini")),
                             .instanceLockPath = QDir(folder).filePath(QStringLiteral("instance.lock")),
                             .dialogs = dialogs,
                             .launcher = launcher};

    Form1 form(context);
    QObject::connect(&form, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    TerminationSignals signals;
    QObject::connect(&signals, &TerminationSignals::terminationRequested, &form, &Form1::shutdown);

    // The first paint of the list has run when the event loop comes back after it.
    struct FirstPaint : QObject
    {
        bool reported = false;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !reported) {
                reported = true;
                QTimer::singleShot(0, [] {
                    const char line[] = "frame\n";
                    [[maybe_unused]] const auto n = ::write(1, line, sizeof line - 1);
                });
            }
            return false;
        }
    } firstPaint;
    if (auto *list = form.findChild<QTableView *>(QStringLiteral("ListView1")))
        list->viewport()->installEventFilter(&firstPaint);

    form.Form_Load();
    form.showAtStart();
    return QApplication::exec();
}

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Run
{
    double startMs = -1;
    double exitMs = -1;
    double peakMiB = 0;
};

Run oneRun(const char *self, const QString &bank)
{
    Run run;
    QTemporaryDir dir;
    const QString folder = dir.path();
    QFile::copy(bank, QDir(folder).filePath(AppInfo::wordBankName()));
    // The page cache holds the bank from the copy, as it would for a bank in daily use.
    int out[2];
    if (::pipe(out) != 0)
        return run;
    const std::string folderArg = QFile::encodeName(folder).toStdString();
    const qint64 t0 = nowNs();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(self, self, "--program", folderArg.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char buf[64];
    std::string got;
    while (got.find("frame\n") == std::string::npos) {
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got.append(buf, size_t(n));
    }
    const qint64 t1 = nowNs();
    if (got.find("frame\n") != std::string::npos)
        run.startMs = double(t1 - t0) / 1e6;
    // Let the program settle as a user would before closing it.
    ::usleep(300 * 1000);
    const qint64 t2 = nowNs();
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const qint64 t3 = nowNs();
    ::close(out[0]);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        run.exitMs = double(t3 - t2) / 1e6;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    const QFileInfo saved(QDir(folder).filePath(AppInfo::wordBankName()));
    if (saved.size() != QFileInfo(bank).size())
        std::fprintf(stderr, "warning: the saved bank has %lld bytes, the original %lld\n",
                     static_cast<long long>(saved.size()), static_cast<long long>(QFileInfo(bank).size()));
    return run;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

void report(const char *name, const std::vector<double> &values)
{
    std::printf("%s: %.0f ms (runs:", name, median(values));
    for (double v : values)
        std::printf(" %.0f", v);
    std::printf(")\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::string(argv[1]) == "--program") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return runProgram(argc, argv, QFile::decodeName(argv[2]));
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvel-start-bench <bank> [runs]\n");
        return 2;
    }
    const QString bank = QFile::decodeName(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    // Keep the user's own settings, menus and lock out of it.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const QByteArray self = QFile::encodeName(QFileInfo(QFile::decodeName(argv[0])).absoluteFilePath());
    std::vector<double> start, exit, peak;
    for (int i = 0; i < runs; ++i) {
        const Run r = oneRun(self.constData(), bank);
        start.push_back(r.startMs);
        exit.push_back(r.exitMs);
        peak.push_back(r.peakMiB);
    }
    report("start to first frame", start);
    report("exit after SIGTERM (save and end)", exit);
    std::printf("peak RSS of the program with the bank shown: %.1f MiB\n", median(peak));
    return 0;
}
