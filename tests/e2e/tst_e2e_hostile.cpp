// The real program against what can go wrong around it: a bank that cannot be read, word files that
// are no files, and termination signals at awkward moments. It must never hang, never lose the
// bank, and always end when told to.
#include "FileBytes.h"
#include "E2eProgram.h"
#include "wordlist/TextFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/stat.h>

namespace {
// The window of the program titled like the main window that is not `except`.
QString otherWindow(const QString &except, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        for (const QString &w : E2eProgram::findWindows(QStringLiteral("^TanvicQuorvel$"))) {
            if (w != except)
                return w;
        }
        QThread::msleep(100);
    }
    return {};
}
} // namespace

class TestE2eHostile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void terminationDuringTheStartupMessage_data();
    void terminationDuringTheStartupMessage();
    void hostileWordFilesAreRefused_data();
    void hostileWordFilesAreRefused();
    void terminationDuringALargeImport();
};

void TestE2eHostile::terminationDuringTheStartupMessage_data()
{
    QTest::addColumn<QString>("bank");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("FIFO after listing") << QStringLiteral("fifo");
}

void TestE2eHostile::terminationDuringTheStartupMessage()
{
    QFETCH(QString, bank);
    E2eProgram program;
    if (bank == u"folder")
        QVERIFY(QDir().mkpath(program.wordBankPath()));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(program.wordBankPath()).constData(), 0600), 0);
    // The start-up warning about the bank is the first window (no hang in opening the FIFO).
    QVERIFY(program.start());
    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit(10000));
    QCOMPARE(program.exitCode(), 0);
    // No window came back, and nothing holds the instance lock: the next start is a first one.
    QVERIFY(E2eProgram::findWindows(QStringLiteral("^TanvicQuorvel$")).isEmpty());
    QVERIFY(program.start());
    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit(10000));
    // The bank's place is as it was.
    const QFileInfo info(program.wordBankPath());
    QVERIFY(bank == u"folder" ? info.isDir() : (!info.isFile() && info.exists()));
}

void TestE2eHostile::hostileWordFilesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("symbolic link to /dev/zero") << QStringLiteral("zero");
    QTest::newRow("FIFO after listing") << QStringLiteral("fifo");
    QTest::newRow("1 GB") << QStringLiteral("huge");
}

void TestE2eHostile::hostileWordFilesAreRefused()
{
    QFETCH(QString, kind);
    E2eProgram program;
    const QByteArray bank = "apple  " + gbk(QStringLiteral("苹果")) + "\r\n";
    program.writeFile(program.wordBankPath(), bank);
    // Listed first: the word-file box selects it.
    const QString path = program.programFolder() + QStringLiteral("/a.txt");
    if (kind == u"zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == u"fifo") {
        program.writeFile(path, "book  x\r\n"); // a FIFO is not listed: it becomes one later
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(1) << 30)); // sparse
    }
    QVERIFY(program.start());
    if (kind == u"fifo") {
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 388 + 37, main.y() + 30 + 10); // "导入列表"
    const QString box = otherWindow(program.mainWindow);
    QVERIFY(!box.isEmpty()); // a message, not a hang
    E2eProgram::key(QStringLiteral("Return"));
    QVERIFY(program.waitForWindowGone(box));
    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit(10000));
    QCOMPARE(program.readFile(program.wordBankPath()), bank);
}

void TestE2eHostile::terminationDuringALargeImport()
{
    E2eProgram program;
    const QByteArray bank = "apple  " + gbk(QStringLiteral("苹果")) + "\r\n";
    program.writeFile(program.wordBankPath(), bank);
    QByteArray big;
    big.reserve(24 << 20);
    for (int i = 0; i < 1000000; ++i)
        big += "word" + QByteArray::number(i) + "  " + gbk(QStringLiteral("词")) +
               QByteArray::number(i % 97) + "\r\n";
    program.writeFile(program.programFolder() + QStringLiteral("/big.txt"), big);
    QVERIFY(program.start());
    const QRect main = E2eProgram::geometry(program.mainWindow);
    E2eProgram::click(main.x() + 388 + 37, main.y() + 30 + 10); // "导入列表"
    QThread::msleep(300);                                       // in the middle of reading or importing
    QElapsedTimer clock;
    clock.start();
    program.terminate(SIGTERM);
    QVERIFY(program.waitForExit(20000));
    qInfo("ended %lld ms after SIGTERM", static_cast<long long>(clock.elapsed()));
    QCOMPARE(program.exitCode(), 0);
    // The old entries, plus none or all of the file's.
    const QByteArray written = program.readFile(program.wordBankPath());
    QVERIFY(written.startsWith(bank));
    const qsizetype lines = written.count('\n');
    QVERIFY2(lines == 1 || lines == 1000001, qPrintable(QString::number(lines)));
}

QTEST_GUILESS_MAIN(TestE2eHostile)
#include "tst_e2e_hostile.moc"
