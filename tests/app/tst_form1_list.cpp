// The main window's word list through its controls: header clicks, pop-up menu, keys, edit dialog,
// save as; and what reaches the word bank afterwards.
#include "MainWindow.h"

#include "app/Form1.h"
#include "wordlist/FormEdit.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// Loads `bank` (word-pair text) as the word bank and shows the window, ready for input.
struct Fixture : MainWindow
{
    explicit Fixture(const QString &bank = QString())
    {
        if (!bank.isNull())
            writeBank(bank);
        start();
        showActive();
        view = list();
        menu = form().findChild<QMenu *>(u"menu列表"_qs);
    }

    QPoint rowPos(int row) const { return view->visualRect(form().wordList()->index(row, 0)).center(); }
    void clickRow(int row, Qt::KeyboardModifiers mods = {}) const
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, rowPos(row));
    }
    void clickHeader(int column) const
    {
        QHeaderView *header = view->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 20, header->height() / 2));
    }
    QStringList words() const
    {
        QStringList out;
        for (const WordEntry &e : form().wordList()->entries())
            out << e.word.toString();
        return out;
    }

    QTableView *view = nullptr;
    QMenu *menu = nullptr;
};

bool anEditDialogIsLeft()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget *w) { return qobject_cast<FormEdit *>(w); });
}

QString sixWords()
{
    return u"one  一\r\ntwo  二\r\nthree  三\r\nfour  四\r\nfive  五\r\nsix  六\r\n"_qs;
}

} // namespace

class TestForm1List : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void headerClicksSortOnceAndTheBankKeepsTheOrder_data();
    void headerClicksSortOnceAndTheBankKeepsTheOrder();
    void deleteRemovesEverySelectedRow_data();
    void deleteRemovesEverySelectedRow();
    void deleteOnEmptyListChangesNothing();
    void clearEmptiesListAndBank();
    void editFromDoubleClickOrEnter();
    void editNeedsACurrentEntry();
    void saveAs_data();
    void saveAs();
    void rightPressOpensTheMenuLeftPressDoesNot();
    void tabLeavesTheListArrowsMoveWithin();
    void keyboardOpensTheMenu_data();
    void keyboardOpensTheMenu();
};

void TestForm1List::headerClicksSortOnceAndTheBankKeepsTheOrder_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("bank");
    QTest::newRow("英文 ×3: word descending") << QList<int>{0, 0, 0} << u"c  x\r\nb  y\r\na  z\r\n"_qs;
    QTest::newRow("英文, 中文: meaning ascending") << QList<int>{0, 1} << u"c  x\r\nb  y\r\na  z\r\n"_qs;
    QTest::newRow("中文: meaning descending") << QList<int>{1} << u"a  z\r\nb  y\r\nc  x\r\n"_qs;
    QTest::newRow("英文 ×2: word ascending") << QList<int>{0, 0} << u"a  z\r\nb  y\r\nc  x\r\n"_qs;
}

void TestForm1List::headerClicksSortOnceAndTheBankKeepsTheOrder()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, bank);
    Fixture f(u"b  y\r\na  z\r\nc  x\r\n"_qs);
    f.clickRow(1); // a, selected and current: both follow the entry
    for (int column : clicks)
        f.clickHeader(column);
    const int row = f.words().indexOf(u"a"_qs);
    QCOMPARE(f.view->currentIndex().row(), row);
    QVERIFY(f.view->selectionModel()->isRowSelected(row, {}));
    QCOMPARE(f.countText(), u"词汇量:3"_qs);
    QCOMPARE(f.closeAndReadBank(), TextFile::encode(bank));
}

void TestForm1List::deleteRemovesEverySelectedRow_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("menu") << false;
    QTest::newRow("Delete key") << true;
}

void TestForm1List::deleteRemovesEverySelectedRow()
{
    QFETCH(bool, byKey);
    Fixture f(sixWords());
    auto remove = [&] {
        if (byKey)
            QTest::keyClick(f.view, Qt::Key_Delete);
        else
            f.menuAction("menu删除")->trigger();
    };
    // Rows 2, 3 and 5.
    f.clickRow(1);
    f.clickRow(2, Qt::ControlModifier);
    f.clickRow(4, Qt::ControlModifier);
    remove();
    QCOMPARE(f.words(), (QStringList{u"one"_qs, u"four"_qs, u"six"_qs}));
    QCOMPARE(f.countText(), u"词汇量:3"_qs);
    QVERIFY(!f.view->selectionModel()->hasSelection());
    QVERIFY(f.view->isVisible());

    // Everything.
    QTest::keyClick(f.view, Qt::Key_A, Qt::ControlModifier);
    remove();
    QCOMPARE(f->wordList()->count(), 0);
    QCOMPARE(f.countText(), u"词汇量:0"_qs);
    QCOMPARE(f.closeAndReadBank(), QByteArray("\r\n"));
}

void TestForm1List::deleteOnEmptyListChangesNothing()
{
    Fixture f;
    f->findChild<QLabel *>(u"Label2"_qs)->setText(u"词汇量:?"_qs); // whatever it shows stays
    f.menuAction("menu删除")->trigger();
    QTest::keyClick(f.view, Qt::Key_Delete);
    // Nor does clearing it.
    f.menuAction("menu清空列表")->trigger();
    QCOMPARE(f.countText(), u"词汇量:?"_qs);
}

void TestForm1List::clearEmptiesListAndBank()
{
    QString bank;
    for (int i = 0; i < 500; ++i)
        bank += u"word%1  词%1\r\n"_qs.arg(i);
    Fixture f(bank);
    QCOMPARE(f.countText(), u"词汇量:500"_qs);
    f.menuAction("menu清空列表")->trigger();
    QCOMPARE(f->wordList()->count(), 0);
    QCOMPARE(f.countText(), u"词汇量:0"_qs);
    QCOMPARE(f.closeAndReadBank(), QByteArray("\r\n"));
}

void TestForm1List::editFromDoubleClickOrEnter()
{
    Fixture f(sixWords());
    // What a real double-click delivers: a click, then the double-click.
    f.clickRow(2);
    const bool byDoubleClick = whileModal<FormEdit>(
        [&] { QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.rowPos(2)); },
        [&](FormEdit &d) {
            QCOMPARE(d.parentWidget(), nullptr); // no owner, as the other windows of the menu
            QCOMPARE(d.text1()->text(), u"three"_qs);
            QCOMPARE(d.text2()->text(), u"三"_qs);
            d.text1()->setText(u"  Three "_qs);
            d.text2()->setText(u" 叁"_qs);
            QTest::mouseClick(d.findChild<QPushButton *>(u"Command1"_qs), Qt::LeftButton);
        });
    QVERIFY(byDoubleClick);
    QVERIFY(!anEditDialogIsLeft()); // gone, so the next edit starts afresh
    QCOMPARE(f.words().at(2), u"Three"_qs);
    QCOMPARE(f->wordList()->entry(2).meaning, u"叁"_qs);
    QCOMPARE(f->wordList()->count(), 6);

    // Enter edits the current row; "取消" leaves it.
    f.view->setFocus();
    f.clickRow(4);
    const bool byEnter = whileModal<FormEdit>([&] { QTest::keyClick(f.view, Qt::Key_Return); }, [&](FormEdit &d) {
        QCOMPARE(d.text1()->text(), u"five"_qs);
        d.text1()->setText(u"changed"_qs);
        QTest::mouseClick(d.findChild<QPushButton *>(u"Command2"_qs), Qt::LeftButton);
    });
    QVERIFY(byEnter);
    QVERIFY(!anEditDialogIsLeft());
    QCOMPARE(f.words().at(4), u"five"_qs);

    // The bank gets the edit, key unchanged: the old pair could not be added again.
    QVERIFY(!f->wordList()->addEntry(u"three"_qs, u"三"_qs));
    const QByteArray bank = f.closeAndReadBank();
    QVERIFY(bank.contains(TextFile::encode(u"\r\nThree  叁\r\n"_qs)));
}

void TestForm1List::editNeedsACurrentEntry()
{
    Fixture f;
    const std::function<void()> ways[] = {
        [&] { QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, QPoint(20, 20)); },
        [&] { f.menuAction("menu修改")->trigger(); },
        [&] { QTest::keyClick(f.view, Qt::Key_Return); },
    };
    for (const auto &way : ways)
        QVERIFY(!whileModal<FormEdit>(way, [](FormEdit &) {}));
}

void TestForm1List::saveAs_data()
{
    QTest::addColumn<QString>("answer"); // relative to the program folder; empty = cancel
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("reported");
    QTest::newRow("saved") << u"mylist.txt"_qs << true << false;
    QTest::newRow("cancelled") << QString() << false << false;
    QTest::newRow("cannot be written") << u"no such folder/mylist.txt"_qs << false << true;
}

void TestForm1List::saveAs()
{
    QFETCH(QString, answer);
    QFETCH(bool, written);
    QFETCH(bool, reported);
    Fixture f(u"apple  苹果\r\nbook  书\r\n"_qs);
    const QString folder = f.env.programFolder();
    const QString target = folder + u'/' + (answer.isEmpty() ? u"mylist.txt"_qs : answer);
    if (!answer.isEmpty())
        f.env.dialogs.saveAnswers << target;
    // A word file that appeared since start-up: the box must list it afterwards in every case.
    f.env.writeFile(folder + u"/later.txt"_qs, "x  y\r\n");

    f.menuAction("menu列表另存为")->trigger();

    QCOMPARE(f.env.dialogs.saveRequests.size(), 1);
    const Dialogs::FileRequest request = f.env.dialogs.saveRequests.first();
    QCOMPARE(request.folder, folder);
    QCOMPARE(request.filter, u"*.txt (*.txt)"_qs);
    QCOMPARE(request.defaultSuffix, u"txt"_qs);
    QCOMPARE(QFileInfo::exists(target), written);
    if (written)
        QCOMPARE(f.env.readFile(target), QByteArray("apple  \xC6\xBB\xB9\xFB\r\nbook  \xCA\xE9\r\n"));
    QCOMPARE(f.env.dialogs.messages.size(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(f.env.dialogs.messages.first().icon, Dialogs::Icon::Critical);
        QVERIFY(f.env.dialogs.messages.first().text.contains(u"mylist.txt"_qs));
    }
    QCOMPARE(f.words(), (QStringList{u"apple"_qs, u"book"_qs}));
    auto *box = f.combo("Combo3");
    QVERIFY(box->findText(u"later.txt"_qs) >= 0);
    QCOMPARE(box->findText(u"mylist.txt"_qs) >= 0, written);
}

void TestForm1List::rightPressOpensTheMenuLeftPressDoesNot()
{
    Fixture f(sixWords());
    QTest::mousePress(f.view->viewport(), Qt::LeftButton, {}, f.rowPos(1));
    QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, f.rowPos(1));
    QVERIFY(!f.menu->isVisible());

    // The row under the mouse is selected before the menu opens there.
    const QPoint at = f.rowPos(3);
    QTest::mousePress(f.view->viewport(), Qt::RightButton, {}, at);
    QVERIFY(f.menu->isVisible());
    QCOMPARE(f.menu->pos(), f.view->viewport()->mapToGlobal(at));
    QCOMPARE(f.view->currentIndex().row(), 3);
    QVERIFY(f.view->selectionModel()->isRowSelected(3, {}));
    QVERIFY(!f.view->selectionModel()->isRowSelected(1, {}));
    f.menu->hide();

    // Below the last row too: an empty list still needs "导入单词".
    f.menuAction("menu清空列表")->trigger();
    QTest::mousePress(f.view->viewport(), Qt::RightButton, {}, QPoint(30, 200));
    QVERIFY(f.menu->isVisible());
    f.menu->hide();
}

void TestForm1List::tabLeavesTheListArrowsMoveWithin()
{
    Fixture f(sixWords());
    f.clickRow(1);
    QTest::keyClick(f.view, Qt::Key_Down);
    QCOMPARE(f.view->currentIndex().row(), 2);
    QVERIFY(f.view->selectionModel()->isRowSelected(2, {}));

    // Tab goes on to the next control (round to the first) and Shift+Tab back to the one before;
    // neither moves the selection, which is where the next drill starts.
    QTest::keyClick(f.view, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), f->findChild<QWidget *>(u"Combo1"_qs));
    f.view->setFocus();
    QTest::keyClick(f.view, Qt::Key_Backtab, Qt::ShiftModifier);
    QTRY_COMPARE(QApplication::focusWidget(), f->findChild<QWidget *>(u"Command5"_qs));
    QCOMPARE(f.view->selectionModel()->selectedRows().size(), 1);
    QVERIFY(f.view->selectionModel()->isRowSelected(2, {}));
}

void TestForm1List::keyboardOpensTheMenu_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("menu key") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestForm1List::keyboardOpensTheMenu()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Fixture f(sixWords());
    f.clickRow(2);
    // Opening the menu adds no listener to the list (it added one at every opening).
    struct Listeners : QObject
    {
        // receivers() is protected: reached through a member pointer, not a cast to a type the
        // list is not.
        static int of(const QObject *m) { return (m->*(&Listeners::receivers))(SIGNAL(modelReset())); }
    };
    const int listeners = Listeners::of(f->wordList());
    if (key == Qt::Key_Menu) {
        // The platform turns the menu key into a context-menu event from the keyboard.
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos(), modifiers);
        QCoreApplication::sendEvent(f.view, &event);
    } else {
        QTest::keyClick(f->windowHandle(), Qt::Key(key), modifiers);
    }
    QTRY_VERIFY(f.menu->isVisible());
    // At the current row, whose entry the menu's commands use.
    QCOMPARE(f.menu->pos(), f.view->viewport()->mapToGlobal(
                                f.view->visualRect(f->wordList()->index(2, 0)).bottomLeft()));
    f.menu->hide();
    QCOMPARE(Listeners::of(f->wordList()), listeners);
}

QTEST_MAIN(TestForm1List)
#include "tst_form1_list.moc"
