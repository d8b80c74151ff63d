// The main window's word-file box, its one-click import and the import window opened from the
// list menu.
#include "ChildProcess.h"
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

namespace {

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
    QTest::addColumn<bool>("outOfMemory");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");
    // Room for the bank's "cat 猫" (4 units), "apple 苹果" (7) and the repeated "cat 猫" (4):
    // "book 书" finds the list full.
    QTest::newRow("list full") << false << 2
                               << u"导入没有完成：单词列表已满，后面的词汇没有导入。\n新增 1 条，已在列表中 1 条。"_qs;
    // Memory runs out while the worker decodes the file: the step fails, the list is as it was,
    // and the program goes on.
    QTest::newRow("out of memory while reading") << true << 1 << u"无法读取文件“%1”：内存不足"_qs;
}

void TestForm1Import::importCutShortIsReported()
{
    QFETCH(bool, outOfMemory);
    QFETCH(int, count);
    QFETCH(QString, message);
#if !defined(Q_OS_LINUX) || defined(__SANITIZE_ADDRESS__)
    if (outOfMemory)
        QSKIP("needs a limit on the address space (Linux, no sanitizer)");
#endif
    MainWindow w;
    w.env.writeFile(w.env.wordBankPath(), TextFile::encode(u"cat  猫\r\n"_qs));
    const QString path = QDir(w.env.programFolder()).filePath(u"words.txt"_qs);
    const QByteArray words = TextFile::encode(u"apple  苹果\r\ncat  猫\r\nbook  书\r\n"_qs);
    // 150 MB, read whole, then 300 MB more once decoded.
    w.env.writeFile(path, outOfMemory ? words.repeated(6 << 20) : words);
    w.create().wordList()->limitText(outOfMemory ? TextArena::maxUnits() : 15);
    w.start();
    if (outOfMemory)
        message = message.arg(QDir::toNativeSeparators(path));
    auto importAndCheck = [&] {
        w.button("Command5")->click();
        const auto &told = w.env.dialogs.messages;
        return told.size() == 1 && told[0].text == message
               && told[0].icon == (outOfMemory ? Dialogs::Icon::Critical : Dialogs::Icon::Warning)
               && w.countText() == u"词汇量:%1"_qs.arg(count);
    };
#ifdef Q_OS_LINUX
    if (outOfMemory) // in a child with 300 MB to spare, so this process keeps its own memory
        QCOMPARE(runInChild(importAndCheck, rlim_t(300) << 20), 0);
    else
#endif
        QVERIFY(importAndCheck());
    w->close();
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
