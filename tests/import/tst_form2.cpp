// The import window driven without exec(): layout, import in both directions, the replace tools,
// opening and saving with the shared file name, large pastes.
#include "TestEnv.h"

#include "import/Form2.h"
#include "import/ImportTextEdit.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

template<typename T>
T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromUtf8(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

ImportTextEdit *editor(Form2 &f)
{
    return child<ImportTextEdit>(f, "RichTextBox1");
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlsCaptionsAndPlaces();
    void tabOrder();
    void tabKeysMoveTheFocus();
    void importBothDirections_data();
    void importBothDirections();
    void buttonDisabledWhileTheMessageIsOpen();
    void replaceToolsWorkOnTheText();
    void emptySearchKeepsTheTextAndItsUndo();
    void openLoadsEveryEncodingAndRemembersTheName();
    void failedOpenKeepsTheText();
    void saveWritesTheFormatAndAlwaysRefreshes();
    void failedSaveKeepsTheOldFile();
    void textKeepsWhatTheReaderNeeds();
    void everyLineSeparatorEndsALine_data();
    void everyLineSeparatorEndsALine();
    void largePasteReplacesTheSelection();
    void largeTextsComeAndGo();
};

void TestForm2::controlsCaptionsAndPlaces()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    QCOMPARE(f.windowTitle(), QStringLiteral("导入单词对照文本"));
    QCOMPARE(f.size(), QSize(510, 430));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QVERIFY(f.isModal());
    QVERIFY(!f.parentWidget());
    struct Expect
    {
        const char *name;
        QString caption;
        QRect place;
    };
    const QList<Expect> buttons{
        {"Command3", QStringLiteral("清空文本"), {416, 76, 89, 25}},
        {"Command2", QStringLiteral("打开文件"), {416, 119, 89, 25}},
        {"Command4", QStringLiteral("另存为..."), {416, 162, 89, 25}},
        {"Command1", QStringLiteral("导入到单词表"), {416, 206, 89, 25}},
        {"Command8", QStringLiteral("反向导入"), {416, 249, 89, 25}},
        {"Command5", QStringLiteral("关闭"), {416, 292, 89, 25}},
        {"Command6", QStringLiteral("执行"), {287, 18, 65, 19}},
        {"Command7", QStringLiteral("执行"), {287, 44, 65, 19}},
    };
    for (const Expect &e : buttons) {
        auto *b = child<QPushButton>(f, e.name);
        QCOMPARE(b->text(), e.caption);
        QCOMPARE(b->geometry(), e.place);
    }
    QCOMPARE(child<QLabel>(f, "Label1")->text(), QStringLiteral("文本最佳格式要求:英文+空格+空格+中文"));
    QCOMPARE(child<QLabel>(f, "Label2")->text(), QStringLiteral("替换为"));
    QCOMPARE(child<QLabel>(f, "Label3")->text(), QStringLiteral("替换为换行符"));
    QCOMPARE(child<QGroupBox>(f, "Frame1")->title(), QStringLiteral("文本预处理"));
    QCOMPARE(child<QGroupBox>(f, "Frame1")->geometry(), QRect(4, 349, 409, 71));
    QCOMPARE(editor(f)->geometry(), QRect(4, 16, 409, 328));
    QCOMPARE(child<QLineEdit>(f, "Text1")->geometry(), QRect(9, 18, 113, 19));
    QCOMPARE(child<QLineEdit>(f, "Text2")->geometry(), QRect(165, 18, 113, 19));
    QCOMPARE(child<QLineEdit>(f, "Text3")->geometry(), QRect(9, 44, 113, 19));
    // The fields sit in the frame.
    QCOMPARE(child<QLineEdit>(f, "Text3")->parentWidget(), child<QGroupBox>(f, "Frame1"));
    // Empty when it opens.
    QVERIFY(editor(f)->document()->isEmpty());
    for (const char *name : {"Text1", "Text2", "Text3"})
        QVERIFY(child<QLineEdit>(f, name)->text().isEmpty());
}

void TestForm2::tabOrder()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    const QStringList expected{QStringLiteral("RichTextBox1"), QStringLiteral("Command3"), QStringLiteral("Command1"),
                               QStringLiteral("Command2"),     QStringLiteral("Command4"), QStringLiteral("Command5"),
                               QStringLiteral("Text1"),        QStringLiteral("Text2"),    QStringLiteral("Text3"),
                               QStringLiteral("Command6"),     QStringLiteral("Command7"), QStringLiteral("Command8")};
    QStringList order;
    QWidget *w = editor(f);
    do {
        order << w->objectName();
        w = w->nextInFocusChain();
        while (w != editor(f) && (w->focusPolicy() & Qt::TabFocus) == 0)
            w = w->nextInFocusChain();
    } while (w != editor(f) && order.size() < 30);
    QCOMPARE(order, expected);
}

void TestForm2::tabKeysMoveTheFocus()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    editor(f)->setFocus();
    QTest::keyClick(editor(f), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command3"));
    editor(f)->setFocus();
    QTest::keyClick(editor(f), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command8"));
    QTest::keyClick(editor(f), Qt::Key_Tab, Qt::ControlModifier); // types one
    QCOMPARE(f.text(), QStringLiteral("\t"));
}

void TestForm2::importBothDirections_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::newRow("导入到单词表") << false;
    QTest::newRow("反向导入") << true;
}

void TestForm2::importBothDirections()
{
    QFETCH(bool, reversed);
    TestEnv env;
    WordListModel list;
    list.addEntry(QStringLiteral("cat"), QStringLiteral("猫"));
    Form2 f(list, env.dialogs, env.programFolder());
    // The same pairs written word first and meaning first; a line already in the list is dropped.
    f.setText(reversed ? QStringLiteral("苹果  apple\n书 book\n\n猫  cat\n") : QStringLiteral("apple  苹果\nbook 书\n\ncat  猫\n"));
    const QString before = f.text();
    child<QPushButton>(f, reversed ? "Command8" : "Command1")->click();
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.entry(1).word, QStringLiteral("apple"));
    QCOMPARE(list.entry(1).meaning, QStringLiteral("苹果"));
    QCOMPARE(list.entry(2).word, QStringLiteral("book"));
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].text, QStringLiteral("处理完成！\n新增 2 条，已在列表中 1 条。"));
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Information);
    QCOMPARE(f.text(), before); // the text stays

    // Again, and the same pairs in the other direction: nothing new (same keys), the message all
    // the same.
    child<QPushButton>(f, reversed ? "Command8" : "Command1")->click();
    f.setText(reversed ? QStringLiteral("apple  苹果") : QStringLiteral("苹果  apple"));
    child<QPushButton>(f, reversed ? "Command1" : "Command8")->click();
    QCOMPARE(list.count(), 3);
    QCOMPARE(env.dialogs.messages.size(), 3);
    QCOMPARE(env.dialogs.messages[1].text, QStringLiteral("处理完成！\n新增 0 条，已在列表中 3 条。"));
    QCOMPARE(env.dialogs.messages[2].text, QStringLiteral("处理完成！\n新增 0 条，已在列表中 1 条。"));

    // An empty text area: the message, nothing added.
    f.setText(QString());
    child<QPushButton>(f, "Command1")->click();
    QCOMPARE(list.count(), 3);
    QCOMPARE(env.dialogs.messages.size(), 4);
    QCOMPARE(env.dialogs.messages[3].text, QStringLiteral("处理完成！\n新增 0 条，已在列表中 0 条。"));
}

void TestForm2::buttonDisabledWhileTheMessageIsOpen()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    QList<bool> enabledDuringMessage;
    int countDuringMessage = -1;
    env.dialogs.onMessage = [&](const FakeDialogs::Message &) {
        enabledDuringMessage << child<QPushButton>(f, "Command1")->isEnabled()
                             << child<QPushButton>(f, "Command8")->isEnabled();
        countDuringMessage = list.count();
    };
    f.setText(QStringLiteral("apple  苹果"));
    child<QPushButton>(f, "Command1")->click();
    QCOMPARE(enabledDuringMessage, (QList<bool>{false, true}));
    QCOMPARE(countDuringMessage, 1); // the entries are in the list before the message
    QVERIFY(child<QPushButton>(f, "Command1")->isEnabled());
    enabledDuringMessage.clear();
    child<QPushButton>(f, "Command8")->click();
    QCOMPARE(enabledDuringMessage, (QList<bool>{true, false}));
    QVERIFY(child<QPushButton>(f, "Command8")->isEnabled());
}

void TestForm2::replaceToolsWorkOnTheText()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    f.setText(QStringLiteral("apple=苹果;Book=书;ICE CREAM=冰淇淋"));
    child<QLineEdit>(f, "Text1")->setText(QStringLiteral("="));
    child<QLineEdit>(f, "Text2")->setText(QStringLiteral("  "));
    child<QPushButton>(f, "Command6")->click();
    QCOMPARE(f.text(), QStringLiteral("apple  苹果;Book  书;ICE CREAM  冰淇淋"));
    child<QLineEdit>(f, "Text3")->setText(QStringLiteral(";"));
    child<QPushButton>(f, "Command7")->click();
    QCOMPARE(f.text(), QStringLiteral("apple  苹果\r\nBook  书\r\nICE CREAM  冰淇淋"));
    QCOMPARE(editor(f)->blockCount(), 3);
    // Letter case ignored, the replacement inserted as typed.
    child<QLineEdit>(f, "Text1")->setText(QStringLiteral("book"));
    child<QLineEdit>(f, "Text2")->setText(QStringLiteral("Bk"));
    child<QPushButton>(f, "Command6")->click();
    QCOMPARE(f.text(), QStringLiteral("apple  苹果\r\nBk  书\r\nICE CREAM  冰淇淋"));
    child<QPushButton>(f, "Command1")->click();
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.entry(2).word, QStringLiteral("ICE CREAM"));
    QVERIFY(env.dialogs.messages.size() == 1); // the replace tools show no message
}

void TestForm2::emptySearchKeepsTheTextAndItsUndo()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    editor(f)->insertPlainText(QStringLiteral("a A"));
    child<QLineEdit>(f, "Text2")->setText(QStringLiteral("b"));
    child<QPushButton>(f, "Command6")->click();
    child<QPushButton>(f, "Command7")->click();
    QCOMPARE(f.text(), QStringLiteral("a A"));
    QVERIFY(editor(f)->document()->isUndoAvailable()); // untouched, not set again
}

void TestForm2::openLoadsEveryEncodingAndRemembersTheName()
{
    TestEnv env;
    WordListModel list;
    const QString gbkFile = QDir(env.programFolder()).filePath(QStringLiteral("gbk.txt"));
    const QString utf8File = env.path(QStringLiteral("elsewhere/utf8.txt"));
    env.writeFile(gbkFile, TextFile::encode(QStringLiteral("apple  苹果\r\n")));
    env.writeFile(utf8File, QStringLiteral("book  书本\nice  冰块\r").toUtf8());
    {
        Form2 f(list, env.dialogs, env.programFolder());
        env.dialogs.openAnswers = QStringList{gbkFile, QString(), utf8File};
        env.dialogs.saveAnswers = QStringList{QString()};
        child<QPushButton>(f, "Command2")->click();
        QCOMPARE(f.text(), QStringLiteral("apple  苹果\r\n"));
        child<QPushButton>(f, "Command2")->click(); // cancelled: nothing changes
        QCOMPARE(f.text(), QStringLiteral("apple  苹果\r\n"));
        child<QPushButton>(f, "Command4")->click(); // the save dialog proposes the opened file
        child<QPushButton>(f, "Command2")->click();
        QCOMPARE(f.text(), QStringLiteral("book  书本\r\nice  冰块\r\n"));
        QCOMPARE(f.rememberedFileName(), utf8File);

        QCOMPARE(env.dialogs.openRequests.size(), 3);
        QCOMPARE(env.dialogs.openRequests[0].fileName, QString());
        QCOMPARE(env.dialogs.openRequests[0].folder, env.programFolder());
        QCOMPARE(env.dialogs.openRequests[0].filter, QStringLiteral("*.txt (*.txt)"));
        QCOMPARE(env.dialogs.openRequests[1].fileName, gbkFile);
        QCOMPARE(env.dialogs.saveRequests[0].fileName, gbkFile);
        QCOMPARE(env.dialogs.saveRequests[0].folder, env.programFolder());
        QCOMPARE(env.dialogs.saveRequests[0].defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(env.dialogs.openRequests[2].fileName, gbkFile);
        QVERIFY(env.dialogs.messages.isEmpty());
    }
    // A new window remembers nothing.
    Form2 again(list, env.dialogs, env.programFolder());
    env.dialogs.openAnswers.clear();
    child<QPushButton>(again, "Command2")->click();
    QCOMPARE(env.dialogs.openRequests.last().fileName, QString());
    QVERIFY(again.text().isEmpty());
}

void TestForm2::failedOpenKeepsTheText()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    f.setText(QStringLiteral("keep me"));
    env.dialogs.openAnswers = QStringList{env.programFolder()}; // a folder cannot be read as text
    child<QPushButton>(f, "Command2")->click();
    QCOMPARE(f.text(), QStringLiteral("keep me"));
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(env.dialogs.messages[0].text.contains(QDir::toNativeSeparators(env.programFolder())));
}

void TestForm2::saveWritesTheFormatAndAlwaysRefreshes()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    QSignalSpy refreshed(&f, &Form2::wordFilesChanged);
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("新词.txt"));
    editor(f)->insertPlainText(QStringLiteral("apple  苹果\n𠀀  字\u00a0x\n"));
    env.dialogs.saveAnswers = QStringList{path};
    child<QPushButton>(f, "Command4")->click();
    QCOMPARE(refreshed.size(), 1);
    // GBK (GB18030 for what GBK lacks), CR LF, no-break space kept: read back it is the same text.
    const QByteArray bytes = env.readFile(path);
    QCOMPARE(bytes, TextFile::encode(QStringLiteral("apple  苹果\r\n𠀀  字\u00a0x\r\n")));
    QVERIFY(bytes.startsWith("apple  \xC6\xBB\xB9\xFB\r\n"));
    QCOMPARE(TextFile::decode(bytes), f.text());
    // Cancelled: nothing written, the list refreshed all the same; the name is remembered.
    child<QPushButton>(f, "Command4")->click();
    QCOMPARE(refreshed.size(), 2);
    QCOMPARE(env.dialogs.saveRequests.last().fileName, path);
    QVERIFY(env.dialogs.messages.isEmpty());
}

void TestForm2::failedSaveKeepsTheOldFile()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    QSignalSpy refreshed(&f, &Form2::wordFilesChanged);
    f.setText(QStringLiteral("new text"));
    const QString folderAsFile = QDir(env.programFolder()).filePath(QStringLiteral("taken.txt"));
    QDir().mkpath(folderAsFile);
    env.dialogs.saveAnswers = QStringList{folderAsFile};
    child<QPushButton>(f, "Command4")->click();
    QCOMPARE(refreshed.size(), 1);
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(QFileInfo(folderAsFile).isDir());
}

void TestForm2::textKeepsWhatTheReaderNeeds()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    // Lone CR and LF become line ends; tabs, no-break and ideographic spaces stay.
    f.setText(QStringLiteral("a\tb\rc\u00a0d\ne\u3000f\r\n"));
    QCOMPARE(f.text(), QStringLiteral("a\tb\r\nc\u00a0d\r\ne\u3000f\r\n"));
    child<QPushButton>(f, "Command1")->click();
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.entry(0).word, QStringLiteral("a"));
    QCOMPARE(list.entry(1).word, QStringLiteral("c\u00a0d"));
}

void TestForm2::everyLineSeparatorEndsALine_data()
{
    QTest::addColumn<QString>("separator"); // empty: Shift+Enter typed
    QTest::newRow("Shift+Enter") << QString();
    QTest::newRow("U+2028") << QStringLiteral("\u2028");
    QTest::newRow("U+2029") << QStringLiteral("\u2029");
    QTest::newRow("CR") << QStringLiteral("\r");
    QTest::newRow("LF") << QStringLiteral("\n");
    QTest::newRow("CR LF") << QStringLiteral("\r\n");
}

void TestForm2::everyLineSeparatorEndsALine()
{
    QFETCH(QString, separator);
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    ImportTextEdit *edit = editor(f);
    edit->insertPlainText(QStringLiteral("pear  梨"));
    if (separator.isEmpty())
        QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
    else
        edit->insertPlainText(separator);
    edit->insertPlainText(QStringLiteral("plum  李"));
    child<QPushButton>(f, "Command1")->click();
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.entry(0).meaning, QStringLiteral("梨"));
    QCOMPARE(list.entry(1).word, QStringLiteral("plum"));
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("fruit.txt"));
    env.dialogs.saveAnswers = QStringList{path};
    child<QPushButton>(f, "Command4")->click();
    QCOMPARE(env.readFile(path), QByteArray("pear  \xC0\xE6\r\nplum  \xC0\xEE"));
}

void TestForm2::largePasteReplacesTheSelection()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    QString big;
    for (int i = 0; big.size() < ImportTextEdit::kLargeText; ++i)
        big += QStringLiteral("word%1  词\r\n").arg(i);
    const qsizetype lines = big.count(u'\n');
    f.setText(QStringLiteral("first\r\nXX\r\nlast"));
    QTextCursor c = editor(f)->textCursor();
    c.setPosition(6);
    c.setPosition(8, QTextCursor::KeepAnchor); // "XX"
    editor(f)->setTextCursor(c);
    QGuiApplication::clipboard()->setText(big);
    editor(f)->paste();
    QCOMPARE(f.text(), QStringLiteral("first\r\n") + big + QStringLiteral("\r\nlast"));
    QCOMPARE(editor(f)->textCursor().position(), 6 + int(big.size() - lines)); // after the pasted text
    // A small paste stays undoable.
    QGuiApplication::clipboard()->setText(QStringLiteral("tiny"));
    editor(f)->paste();
    editor(f)->undo();
    QCOMPARE(f.text(), QStringLiteral("first\r\n") + big + QStringLiteral("\r\nlast"));
}

void TestForm2::largeTextsComeAndGo()
{
    TestEnv env;
    WordListModel list;
    Form2 f(list, env.dialogs, env.programFolder());
    QString big;
    for (int i = 0; big.size() < ImportTextEdit::kLargeText; ++i)
        big += QStringLiteral("word%1=词;\r\n").arg(i);
    // Large, large again (the first large document goes), small, large: always the text given.
    f.setText(big);
    QCOMPARE(f.text(), big);
    f.setText(QStringLiteral("first\r\n") + big);
    QCOMPARE(editor(f)->blockCount(), int(big.count(u'\n')) + 2);
    f.setText(QStringLiteral("small"));
    QCOMPARE(f.text(), QStringLiteral("small"));
    f.setText(big);
    // The tools work on it and the result is a document like any other: editable, undoable.
    child<QLineEdit>(f, "Text1")->setText(QStringLiteral("="));
    child<QLineEdit>(f, "Text2")->setText(QStringLiteral("  "));
    child<QPushButton>(f, "Command6")->click();
    child<QLineEdit>(f, "Text3")->setText(QStringLiteral(";"));
    child<QPushButton>(f, "Command7")->click();
    const qsizetype pairs = big.count(u';');
    QCOMPARE(editor(f)->blockCount(), 2 * int(pairs) + 1);
    QCOMPARE(editor(f)->document()->defaultFont(), editor(f)->font());
    editor(f)->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor(f), QStringLiteral("xyz"));
    QVERIFY(f.text().endsWith(QStringLiteral("  词\r\n\r\nxyz")));
    editor(f)->undo();
    QVERIFY(f.text().endsWith(QStringLiteral("  词\r\n\r\n")));
    child<QPushButton>(f, "Command1")->click();
    QCOMPARE(list.count(), int(pairs));
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
