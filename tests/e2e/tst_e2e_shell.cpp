// The real program's reach into the desktop: its Start-menu entry and what it asks the browser for.
#include "E2eProgram.h"

#include "shell/Endpoints.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

class TestE2eShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void startMenuEntryStartsTheProgram();
    void bannerAndFloatingWindowOpenPages();
    void listMenuLooksUpAndShowsAbout();

private:
    QStringList requestedAddresses() const;

    QTemporaryDir m_browser;
};

void TestE2eShell::initTestCase()
{
    // A browser (and xdg-open) that only writes down what it was asked to open. The program's
    // environment is taken from ours when it starts.
    QVERIFY(m_browser.isValid());
    const QString recorder = m_browser.filePath(QStringLiteral("xdg-open"));
    QFile script(recorder);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$QUORVEL_URL_LOG\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    qputenv("BROWSER", recorder.toUtf8());
    qputenv("PATH", m_browser.path().toUtf8() + ':' + qgetenv("PATH"));
    qputenv("QUORVEL_URL_LOG", m_browser.filePath(QStringLiteral("urls.log")).toUtf8());
}

QStringList TestE2eShell::requestedAddresses() const
{
    QFile log(m_browser.filePath(QStringLiteral("urls.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void TestE2eShell::startMenuEntryStartsTheProgram()
{
    E2eProgram program;
    QVERIFY(program.start());
    const QString entry = program.root() + QStringLiteral("/data/applications/Tanvic软件/TanvicQuorvel.desktop");
    QVERIFY(QFileInfo::exists(entry));
    const QString text = QString::fromUtf8(program.readFile(entry));
    QVERIFY2(text.contains(QStringLiteral("\nExec=\"") + program.programFolder() + QStringLiteral("/TanvicQuorvel\"\n")),
             qPrintable(text));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());

    // Deleted entries come back at the next start, and two starts leave one entry.
    QVERIFY(QFile::remove(entry));
    QVERIFY(program.start());
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(QDir(QFileInfo(entry).path()).entryList({QStringLiteral("*.desktop")}, QDir::Files).size(), 1);

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty())
        QCOMPARE(QProcess::execute(validator, {entry}), 0);

    // The entry starts the program, the way a GLib desktop's menu does.
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        QSKIP("gio is not installed");
    QVERIFY(QFile::remove(program.wordBankPath()));
    QProcess launch;
    QProcessEnvironment env = program.environment();
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    launch.setProcessEnvironment(env);
    launch.start(gio, {QStringLiteral("launch"), entry});
    QVERIFY(launch.waitForFinished(10000));
    QCOMPARE(launch.exitCode(), 0);
    const QString window = program.waitForWindow(QStringLiteral("^TanvicQuorvel$"));
    QVERIFY(!window.isEmpty());
    const pid_t pid = static_cast<pid_t>(
        E2eProgram::run(QStringLiteral("xdotool"), {QStringLiteral("getwindowpid"), window}).toLongLong());
    QVERIFY(pid > 0);
    QThread::msleep(300);
    E2eProgram::closeWindow(window);
    // It ran as the program of that folder: it writes its bank there on the way out, then ends.
    QDeadlineTimer deadline(10000);
    while (::kill(pid, 0) == 0 && !deadline.hasExpired())
        QThread::msleep(50);
    QVERIFY(::kill(pid, 0) != 0);
    QVERIFY(QFileInfo::exists(program.wordBankPath()));
}

void TestE2eShell::bannerAndFloatingWindowOpenPages()
{
    E2eProgram program;
    program.writeFile(program.wordBankPath(), QByteArrayLiteral("apple  \xc6\xbb\xb9\xfb\r\n"));
    QVERIFY(program.start());
    E2eProgram::activate(program.mainWindow);
    QThread::msleep(300);
    const QRect main = E2eProgram::geometry(program.mainWindow);
    // The banner sits in the top right corner (467, 12, 200 x 29).
    E2eProgram::click(main.x() + 567, main.y() + 26);
    QDeadlineTimer deadline(10000);
    while (!requestedAddresses().contains(Endpoints::homePage()) && !deadline.hasExpired())
        QThread::msleep(100);
    QVERIFY2(requestedAddresses().contains(Endpoints::homePage()), program.output().constData());

    // The drill runs: a double-click on the floating window's text asks for the word's page.
    QVERIFY(program.waitForWindowGone(program.mainWindow));
    QString floating;
    for (QDeadlineTimer wait(10000); floating.isEmpty() && !wait.hasExpired(); QThread::msleep(100)) {
        QStringList ids = E2eProgram::run(QStringLiteral("xdotool"),
                                          {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                           QStringLiteral("--class"), QStringLiteral("TanvicQuorvel")})
                              .split(u'\n', Qt::SkipEmptyParts);
        ids.removeAll(program.mainWindow);
        if (ids.size() == 1)
            floating = ids.first();
    }
    QVERIFY(!floating.isEmpty());
    QThread::msleep(300);
    const QRect shown = E2eProgram::geometry(floating);
    // The text sits right of the stop button.
    E2eProgram::doubleClick(shown.right() - 8, shown.center().y());
    const QString page = Endpoints::dictionaryBase() + QStringLiteral("apple/");
    for (QDeadlineTimer wait(10000); !requestedAddresses().contains(page) && !wait.hasExpired();)
        QThread::msleep(100);
    QVERIFY2(requestedAddresses().contains(page), qPrintable(requestedAddresses().join(u' ')));
    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit());
}

void TestE2eShell::listMenuLooksUpAndShowsAbout()
{
    E2eProgram program;
    program.writeFile(program.wordBankPath(), QByteArrayLiteral("apple  x\r\nC#  y\r\n"));
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);

    // The second row, then the list menu's "在线翻译": the eighth entry the arrow keys reach (删除,
    // 修改, 清空列表, 导入单词, 列表另存为, 标记为已掌握, 取消已掌握; 撤销 and 重做 are disabled).
    const int x = main.x() + 60;
    const int y = main.y() + 54 + 22 + 18 + 9;
    E2eProgram::click(x, y, 1);
    E2eProgram::click(x, y, 3);
    QThread::msleep(300);
    E2eProgram::key(QStringLiteral("Down Down Down Down Down Down Down Down Return"));
    const QString page = Endpoints::dictionaryBase() + QStringLiteral("C%23/");
    for (QDeadlineTimer wait(10000); !requestedAddresses().contains(page) && !wait.hasExpired();)
        QThread::msleep(100);
    QVERIFY2(requestedAddresses().contains(page), qPrintable(requestedAddresses().join(u' ')));

    // "关于" (after "选项"): the About window with its caption, trailing space included.
    E2eProgram::click(x, y, 3);
    QThread::msleep(300);
    E2eProgram::key(QStringLiteral("Down Down Down Down Down Down Down Down Down Down Return"));
    const QString about = program.waitForWindow(QStringLiteral("^关于『TanvicQuorvel』 $"));
    QVERIFY(!about.isEmpty());

    // No system-information tool on this machine: the button says so in a message box.
    QThread::msleep(300);
    E2eProgram::activate(about);
    E2eProgram::key(QStringLiteral("alt+s"));
    QString box;
    for (QDeadlineTimer wait(10000); box.isEmpty() && !wait.hasExpired(); QThread::msleep(100)) {
        QStringList ids = E2eProgram::findWindows(QStringLiteral("^TanvicQuorvel$"));
        ids.removeAll(program.mainWindow);
        if (!ids.isEmpty())
            box = ids.constLast();
    }
    QVERIFY(!box.isEmpty());
    E2eProgram::key(QStringLiteral("Return"));
    QVERIFY(program.waitForWindowGone(box));
    // Esc closes the About window; the main window takes input again.
    E2eProgram::activate(about);
    E2eProgram::key(QStringLiteral("Escape"));
    QVERIFY(program.waitForWindowGone(about));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestE2eShell)
#include "tst_e2e_shell.moc"
