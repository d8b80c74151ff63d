// Times the import paths with a large word file (bench/run's 1,000,000-entry bank, or one generated
// here): the one-click import of the main window and the import window's open, paste, replace,
// import and save. Prints "name: <ms> ms". Runs offscreen on a Release build.
//   quorvel-import-bench [<word file> | <number of lines to generate>]
#include "BenchSeams.h"
#include "app/AppContext.h"
#include "app/Form1.h"
#include "import/Form2.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// CPU time of the calling thread; on a machine shared with other work it tells what the window
// thread itself spent, apart from waiting for the processor.
qint64 threadCpuMs()
{
#ifdef CLOCK_THREAD_CPUTIME_ID
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#else
    return -1;
#endif
}

// Prints the step's time; the window thread's own CPU time; and, when the window stayed drawn
// part of the time, the longest stretch in which the window thread handled no events (what the
// user feels as a frozen window).
void measure(const char *name, const std::function<void()> &step)
{
    QElapsedTimer t;
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    ticker.start();
    const qint64 cpu0 = threadCpuMs();
    t.start();
    sinceTick.start();
    step();
    const qint64 total = t.elapsed();
    const qint64 cpu = threadCpuMs() - cpu0;
    longestGap = std::max(longestGap, sinceTick.elapsed());
    std::printf("%s: %lld ms\n", name, static_cast<long long>(total));
    std::printf("%s, window thread CPU: %lld ms\n", name, static_cast<long long>(cpu));
    if (longestGap < total - 50)
        std::printf("%s, longest freeze: %lld ms\n", name, static_cast<long long>(longestGap));
    std::fflush(stdout);
}

// Lets the window lay out and paint what it shows now.
void settle(QWidget *w)
{
    QCoreApplication::processEvents();
    w->repaint();
    QCoreApplication::processEvents();
}

// One word pair a line: a made-up word of 6 to 10 letters with a number, two spaces, a meaning of
// two to five Chinese characters. About 24 bytes a line in GBK.
QString generateText(int lines, const QString &separator, const QString &lineEnd)
{
    static const QString hanzi = QStringLiteral("学习记忆单词语言中文英语放弃苹果冰淇淋快速简单困难重要朋友时间工作生活世界国家问题发展经济");
    QRandomGenerator rng(20261207);
    QString out;
    out.reserve(qsizetype(lines) * 22);
    for (int i = 0; i < lines; ++i) {
        const int letters = 4 + int(rng.bounded(4));
        for (int k = 0; k < letters; ++k)
            out += QChar(u'a' + rng.bounded(26));
        out += QString::number(i);
        out += separator;
        const int chars = 2 + int(rng.bounded(3));
        for (int k = 0; k < chars; ++k)
            out += hanzi.at(rng.bounded(hanzi.size()));
        out += lineEnd;
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString arg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    const QString big = QDir(program).filePath(QStringLiteral("big.txt"));
    QString text;
    if (QFileInfo(arg).isFile()) {
        QFile::copy(arg, big);
        TextFile::read(big, &text);
    } else {
        text = generateText(arg.isEmpty() ? 1000000 : arg.toInt(), QStringLiteral("  "), QStringLiteral("\r\n"));
        TextFile::write(big, text);
    }
    const int lines = int(text.count(u'\n'));
    std::printf("word file: %d lines, %lld bytes\n", lines, static_cast<long long>(QFileInfo(big).size()));

    BenchDialogs dialogs;
    dialogs.answer = big;
    BenchLauncher launcher;

    // The main window's one-click import, view included.
    {
        AppContext context{.programFolder = program,
                           .executablePath = QString(),
                           .settingsPath = QString(),
                           .instanceLockPath = QString(),
                           .dialogs = dialogs,
                           .launcher = launcher};
        Form1 form(context);
        form.refreshWordFiles();
        form.show();
        settle(&form);
        auto *button = form.findChild<QPushButton *>(QStringLiteral("Command5"));
        measure("quick import, empty list (Command5)", [&] { button->click(); settle(&form); });
        measure("quick import again, every line dropped", [&] { button->click(); settle(&form); });
    }

    WordListModel list;
    Form2 form(list, dialogs, program);
    form.show();
    settle(&form);
    auto *edit = form.findChild<QPlainTextEdit *>(QStringLiteral("RichTextBox1"));
    auto click = [&form](const char *button) { form.findChild<QPushButton *>(QString::fromLatin1(button))->click(); };

    measure("open file (Command2), shown", [&] { click("Command2"); settle(&form); });
    measure("scroll to the end", [&] { edit->moveCursor(QTextCursor::End); settle(&form); });
    measure("text of the window", [&] { (void)form.text(); });
    measure("import, empty list (Command1)", [&] { click("Command1"); });
    measure("import again, every line dropped", [&] { click("Command1"); });
    measure("reverse import (Command8)", [&] { click("Command8"); });
    form.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("  "));
    form.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("="));
    measure("replace two spaces by = on every line (Command6), shown", [&] { click("Command6"); settle(&form); });
    form.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("\u00e4"));
    measure("replace, no match (Command7)", [&] { click("Command7"); settle(&form); });
    dialogs.answer = dir.filePath(QStringLiteral("saved.txt"));
    measure("save as (Command4)", [&] { click("Command4"); });
    measure("clear text (Command3)", [&] { click("Command3"); settle(&form); });

    QGuiApplication::clipboard()->setText(text);
    measure("paste into the empty window, shown", [&] { edit->paste(); settle(&form); });
    measure("undo after the paste (a large paste leaves nothing to undo)", [&] { edit->undo(); settle(&form); });
    measure("clear text (Command3)", [&] { click("Command3"); settle(&form); });

    // A one-line text of pairs written word=meaning; turned into the format with the two tools.
    const int pairs = 50000;
    QString oneLine = generateText(pairs, QStringLiteral("="), QStringLiteral(";"));
    std::printf("one-line text: %d pairs, %lld characters\n", pairs, static_cast<long long>(oneLine.size()));
    measure("set one-line text, shown", [&] { form.setText(oneLine); settle(&form); });
    form.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("="));
    form.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("  "));
    measure("replace = by two spaces (Command6), shown", [&] { click("Command6"); settle(&form); });
    form.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral(";"));
    measure("replace ; by line break (Command7), shown", [&] { click("Command7"); settle(&form); });
    return 0;
}
