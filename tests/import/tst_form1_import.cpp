// The main window's word-file box, its one-click import and the import window opened from the
// list menu.
#include "MainWindow.h"

#include "import/Form2.h"
#include "import/ImportTextEdit.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#ifdef Q_OS_LINUX
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// Bytes of address space this process holds.
rlim_t addressSpaceInUse()
{
    unsigned long pages = 0;
    if (std::FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    return rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
}
#endif

QStringList items(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Opens the import window from the list menu and runs `drive` while it is open.
bool withImportWindow(const MainWindow &w, const std::function<void(Form2 &)> &drive)
{
    return whileModal<Form2>([&] { w.menuAction("menu导入单词")->trigger(); }, drive);
}

} // namespace

class TestForm1Import : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wordFileBoxAtStart();
    void emptyBoxDoesNothing();
    void quickImportTwice();
    void deletedFileIsReported();
    void unreadableFileIsReported();
    void importCutShortIsReported_data();
    void importCutShortIsReported();
    void importWindowIsFreshModalAndReportsBack();
};

void TestForm1Import::wordFileBoxAtStart()
{
    MainWindow w;
    TestEnv &env = w.env;
    for (const char *name : {"b.txt", "A.TXT", "wb.dcb", "c.doc"})
        env.writeFile(QDir(env.programFolder()).filePath(QString::fromUtf8(name)), "x\r\n");
    QDir(env.programFolder()).mkpath(QStringLiteral("folder.txt"));
    Form1 &form = w.start();
    QComboBox *box = w.combo("Combo3");
    QCOMPARE(items(box), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("b.txt")}));
    QCOMPARE(box->currentText(), QStringLiteral("A.TXT"));
    QVERIFY(!box->isEditable());
    // A refresh reads the folder afresh and selects the first name again.
    box->setCurrentIndex(1);
    env.writeFile(QDir(env.programFolder()).filePath(QStringLiteral("0.txt")), "x\r\n");
    form.refreshWordFiles();
    QCOMPARE(items(box), (QStringList{QStringLiteral("0.txt"), QStringLiteral("A.TXT"), QStringLiteral("b.txt")}));
    QCOMPARE(box->currentIndex(), 0);
    form.close();
}

void TestForm1Import::emptyBoxDoesNothing()
{
    MainWindow w;
    TestEnv &env = w.env;
    Form1 &form = w.start();
    QCOMPARE(w.combo("Combo3")->count(), 0);
    w.button("Command5")->click();
    QVERIFY(env.dialogs.messages.isEmpty());
    QCOMPARE(form.wordList()->count(), 0);
    form.close();
}

void TestForm1Import::quickImportTwice()
{
    MainWindow w;
    TestEnv &env = w.env;
    env.writeFile(env.wordBankPath(), TextFile::encode(QStringLiteral("cat  猫\r\n")));
    env.writeFile(QDir(env.programFolder()).filePath(QStringLiteral("words.txt")),
                  TextFile::encode(QStringLiteral("apple  苹果\r\ncat  猫\r\nbook\t书\r\n")));
    w.start();
    QCOMPARE(w.countText(), QStringLiteral("词汇量:1"));
    QString labelDuringMessage;
    env.dialogs.onMessage = [&](const FakeDialogs::Message &) { labelDuringMessage = w.countText(); };
    w.button("Command5")->click();
    QCOMPARE(labelDuringMessage, QStringLiteral("词汇量:3")); // counted before the message
    QCOMPARE(w.countText(), QStringLiteral("词汇量:3"));
    w.button("Command5")->click();
    QCOMPARE(w.countText(), QStringLiteral("词汇量:3"));
    QCOMPARE(env.dialogs.messages.size(), 2);
    // How many entries came in, and how many the list held already.
    QCOMPARE(env.dialogs.messages[0].text, QStringLiteral("导入完成!\n新增 2 条，已在列表中 1 条。"));
    QCOMPARE(env.dialogs.messages[1].text, QStringLiteral("导入完成!\n新增 0 条，已在列表中 3 条。"));
    for (const auto &m : std::as_const(env.dialogs.messages))
        QCOMPARE(m.icon, Dialogs::Icon::Information);
    QCOMPARE(w.closeAndReadBank(), TextFile::encode(QStringLiteral("cat  猫\r\napple  苹果\r\nbook  书\r\n")));
}

void TestForm1Import::importCutShortIsReported_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    // Room for the bank's "cat 猫" (4 units), "apple 苹果" (7) and the repeated "cat 猫" (4):
    // "book 书" finds the list full.
    QTest::newRow("list full") << QStringLiteral("full") << 2
                               << QStringLiteral("导入没有完成：单词列表已满，后面的词汇没有导入。\n新增 1 条，已在列表中 1 条。")
                               << int(Dialogs::Icon::Warning);
    // Memory runs out while the file is decoded in the worker: the step fails, the list is as it
    // was, and the program goes on.
    QTest::newRow("out of memory while reading") << QStringLiteral("memory") << 1
                                                 << QStringLiteral("无法读取文件“%1”：内存不足") << int(Dialogs::Icon::Critical);
}

void TestForm1Import::importCutShortIsReported()
{
    QFETCH(QString, how);
    QFETCH(int, count);
    QFETCH(QString, message);
    QFETCH(int, icon);
#if !defined(Q_OS_LINUX) || defined(__SANITIZE_ADDRESS__)
    if (how == u"memory")
        QSKIP("needs a limit on the address space (Linux, no sanitizer)");
#endif
    MainWindow w;
    TestEnv &env = w.env;
    env.writeFile(env.wordBankPath(), TextFile::encode(QStringLiteral("cat  猫\r\n")));
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("words.txt"));
    QByteArray words = TextFile::encode(QStringLiteral("apple  苹果\r\ncat  猫\r\nbook  书\r\n"));
    if (how == u"memory")
        words = words.repeated(6 << 20); // 150 MB: decoding it takes 300 MB more
    env.writeFile(path, words);
    words = QByteArray();
    Form1 &form = w.create();
    if (how == u"full")
        form.wordList()->limitText(15);
    w.start();
#ifdef Q_OS_LINUX
    if (how == u"memory") {
        // In a child process with 300 MB of address space to spare, so this one keeps its own.
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit limit{addressSpaceInUse() + (300 << 20), RLIM_INFINITY};
            ::setrlimit(RLIMIT_AS, &limit);
            w.button("Command5")->click();
            const bool told = env.dialogs.messages.size() == 1
                              && env.dialogs.messages[0].text == message.arg(QDir::toNativeSeparators(path))
                              && int(env.dialogs.messages[0].icon) == icon;
            ::_exit(told && form.wordList()->count() == count ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), "the program was ended by a signal");
        QCOMPARE(WEXITSTATUS(status), 0);
        form.close();
        return;
    }
#endif
    w.button("Command5")->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].text, message);
    QCOMPARE(int(env.dialogs.messages[0].icon), icon);
    QCOMPARE(form.wordList()->count(), count);
    QCOMPARE(w.countText(), QStringLiteral("词汇量:%1").arg(count));
    form.close();
}

void TestForm1Import::deletedFileIsReported()
{
    MainWindow w;
    TestEnv &env = w.env;
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("words.txt"));
    env.writeFile(path, "apple  x\r\n");
    Form1 &form = w.start();
    QFile::remove(path);
    w.button("Command5")->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].text, QStringLiteral("该文件不存在!"));
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(form.wordList()->count(), 0);
    QCOMPARE(w.countText(), QStringLiteral("词汇量:0"));
    // A folder put in its place is no file either.
    QDir().mkpath(path);
    w.button("Command5")->click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[1].text, QStringLiteral("该文件不存在!"));
    form.close();
}

void TestForm1Import::unreadableFileIsReported()
{
    MainWindow w;
    TestEnv &env = w.env;
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("locked.txt"));
    if (!env.writeUnreadableFile(path))
        QSKIP("no way to make a file unreadable here");
    Form1 &form = w.start();
    QCOMPARE(w.combo("Combo3")->currentText(), QStringLiteral("locked.txt"));
    w.button("Command5")->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY2(env.dialogs.messages[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(env.dialogs.messages[0].text));
    QCOMPARE(form.wordList()->count(), 0);
    QCOMPARE(w.countText(), QStringLiteral("词汇量:0"));
    form.close();
}

void TestForm1Import::importWindowIsFreshModalAndReportsBack()
{
    MainWindow w;
    TestEnv &env = w.env;
    Form1 &form = w.start();
    form.show();
    const QString saved = QDir(env.programFolder()).filePath(QStringLiteral("saved.txt"));
    QVERIFY(withImportWindow(w, [&](Form2 &f) {
        QVERIFY(!f.parentWidget());
        QCOMPARE(f.windowModality(), Qt::ApplicationModal);
        QVERIFY(f.text().isEmpty());
        f.setText(QStringLiteral("apple  苹果\r\nbook  书"));
        f.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("x"));
        f.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        // The count label follows while the window is still open.
        QCOMPARE(w.countText(), QStringLiteral("词汇量:2"));
        env.dialogs.saveAnswers = QStringList{saved};
        f.findChild<QPushButton *>(QStringLiteral("Command4"))->click();
        QCOMPARE(items(w.combo("Combo3")), QStringList{QStringLiteral("saved.txt")});
    }));
    QCOMPARE(form.wordList()->count(), 2);
    QCOMPARE(env.readFile(saved), TextFile::encode(QStringLiteral("apple  苹果\r\nbook  书")));
    // Opened again: nothing kept, not even the file name of the dialogs.
    QVERIFY(withImportWindow(w, [&](Form2 &f) {
        QVERIFY(f.text().isEmpty());
        QVERIFY(f.findChild<QLineEdit *>(QStringLiteral("Text1"))->text().isEmpty());
        QVERIFY(f.rememberedFileName().isEmpty());
        // Cancelling the save dialog refreshes the box all the same.
        QFile::remove(saved);
        f.findChild<QPushButton *>(QStringLiteral("Command4"))->click();
        QCOMPARE(w.combo("Combo3")->count(), 0);
    }));
    form.close();
}

QTEST_MAIN(TestForm1Import)
#include "tst_form1_import.moc"
