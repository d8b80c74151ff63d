// The main window's word-file box, its one-click import and the import window opened from the
// list menu.
#include "TestEnv.h"

#include "app/Form1.h"
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

QComboBox *combo3(Form1 &form)
{
    return form.findChild<QComboBox *>(QStringLiteral("Combo3"));
}

QStringList items(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QString countLabel(Form1 &form)
{
    return form.findChild<QLabel *>(QStringLiteral("Label2"))->text();
}

void clickImport(Form1 &form)
{
    form.findChild<QPushButton *>(QStringLiteral("Command5"))->click();
}

// Opens the import window from the list menu and runs `drive` while it is shown modally; the
// window is closed afterwards if `drive` left it open.
void withImportWindow(Form1 &form, const std::function<void(Form2 &)> &drive)
{
    bool ran = false;
    QTimer::singleShot(0, &form, [&] {
        auto *f = qobject_cast<Form2 *>(QApplication::activeModalWidget());
        QVERIFY(f);
        ran = true;
        drive(*f);
        if (f->isVisible())
            f->findChild<QPushButton *>(QStringLiteral("Command5"))->click();
    });
    form.findChild<QAction *>(QStringLiteral("menu导入单词"))->trigger();
    QVERIFY(ran);
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
    void importWindowIsFreshModalAndReportsBack();
};

void TestForm1Import::wordFileBoxAtStart()
{
    TestEnv env;
    for (const char *name : {"b.txt", "A.TXT", "wb.dcb", "c.doc"})
        env.writeFile(QDir(env.programFolder()).filePath(QString::fromUtf8(name)), "x\r\n");
    QDir(env.programFolder()).mkpath(QStringLiteral("folder.txt"));
    Form1 form(env.context());
    form.Form_Load();
    QComboBox *box = combo3(form);
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
    TestEnv env;
    Form1 form(env.context());
    form.Form_Load();
    QCOMPARE(combo3(form)->count(), 0);
    clickImport(form);
    QVERIFY(env.dialogs.messages.isEmpty());
    QCOMPARE(form.wordList()->count(), 0);
    form.close();
}

void TestForm1Import::quickImportTwice()
{
    TestEnv env;
    env.writeFile(env.wordBankPath(), TextFile::encode(QStringLiteral("cat  猫\r\n")));
    env.writeFile(QDir(env.programFolder()).filePath(QStringLiteral("words.txt")),
                  TextFile::encode(QStringLiteral("apple  苹果\r\ncat  猫\r\nbook\t书\r\n")));
    {
        Form1 form(env.context());
        form.Form_Load();
        QCOMPARE(countLabel(form), QStringLiteral("词汇量:1"));
        QString labelDuringMessage;
        env.dialogs.onMessage = [&](const FakeDialogs::Message &) { labelDuringMessage = countLabel(form); };
        clickImport(form);
        QCOMPARE(labelDuringMessage, QStringLiteral("词汇量:3")); // counted before the message
        QCOMPARE(countLabel(form), QStringLiteral("词汇量:3"));
        clickImport(form);
        QCOMPARE(countLabel(form), QStringLiteral("词汇量:3"));
        QCOMPARE(env.dialogs.messages.size(), 2);
        for (const auto &m : std::as_const(env.dialogs.messages)) {
            QCOMPARE(m.text, QStringLiteral("导入完成!"));
            QCOMPARE(m.icon, Dialogs::Icon::Information);
        }
        form.close();
    }
    QCOMPARE(env.readFile(env.wordBankPath()), TextFile::encode(QStringLiteral("cat  猫\r\napple  苹果\r\nbook  书\r\n")));
}

void TestForm1Import::deletedFileIsReported()
{
    TestEnv env;
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("words.txt"));
    env.writeFile(path, "apple  x\r\n");
    Form1 form(env.context());
    form.Form_Load();
    QFile::remove(path);
    clickImport(form);
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].text, QStringLiteral("该文件不存在!"));
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(form.wordList()->count(), 0);
    QCOMPARE(countLabel(form), QStringLiteral("词汇量:0"));
    // A folder put in its place is no file either.
    QDir().mkpath(path);
    clickImport(form);
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[1].text, QStringLiteral("该文件不存在!"));
    form.close();
}

void TestForm1Import::unreadableFileIsReported()
{
    TestEnv env;
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("locked.txt"));
    if (!env.writeUnreadableFile(path))
        QSKIP("no way to make a file unreadable here");
    Form1 form(env.context());
    form.Form_Load();
    QCOMPARE(combo3(form)->currentText(), QStringLiteral("locked.txt"));
    clickImport(form);
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY2(env.dialogs.messages[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(env.dialogs.messages[0].text));
    QCOMPARE(form.wordList()->count(), 0);
    QCOMPARE(countLabel(form), QStringLiteral("词汇量:0"));
    form.close();
}

void TestForm1Import::importWindowIsFreshModalAndReportsBack()
{
    TestEnv env;
    Form1 form(env.context());
    form.Form_Load();
    form.show();
    const QString saved = QDir(env.programFolder()).filePath(QStringLiteral("saved.txt"));
    withImportWindow(form, [&](Form2 &f) {
        QVERIFY(!f.parentWidget());
        QCOMPARE(f.windowModality(), Qt::ApplicationModal);
        QVERIFY(f.text().isEmpty());
        f.setText(QStringLiteral("apple  苹果\r\nbook  书"));
        f.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("x"));
        f.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        // The count label follows while the window is still open.
        QCOMPARE(countLabel(form), QStringLiteral("词汇量:2"));
        env.dialogs.saveAnswers = QStringList{saved};
        f.findChild<QPushButton *>(QStringLiteral("Command4"))->click();
        QCOMPARE(items(combo3(form)), QStringList{QStringLiteral("saved.txt")});
    });
    QCOMPARE(form.wordList()->count(), 2);
    QCOMPARE(env.readFile(saved), TextFile::encode(QStringLiteral("apple  苹果\r\nbook  书")));
    // Opened again: nothing kept, not even the file name of the dialogs.
    withImportWindow(form, [&](Form2 &f) {
        QVERIFY(f.text().isEmpty());
        QVERIFY(f.findChild<QLineEdit *>(QStringLiteral("Text1"))->text().isEmpty());
        QVERIFY(f.rememberedFileName().isEmpty());
        // Cancelling the save dialog refreshes the box all the same.
        QFile::remove(saved);
        f.findChild<QPushButton *>(QStringLiteral("Command4"))->click();
        QCOMPARE(combo3(form)->count(), 0);
    });
    form.close();
}

QTEST_MAIN(TestForm1Import)
#include "tst_form1_import.moc"
