// The main window's word list: the list view, its pop-up menu and the list commands.
#include "Form1.h"

#include "import/BusyCursor.h"
#include "shell/Dialogs.h"
#include "ui_Form1.h"
#include "wordlist/FormEdit.h"
#include "wordlist/KnownEntryDelegate.h"
#include "wordlist/WordListCommands.h"
#include "wordlist/WordListModel.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <functional>
#include <memory>

namespace {

// Hands every event of `target` to a function first; the function returns true to swallow it.
class EventHook : public QObject
{
public:
    EventHook(QObject *target, std::function<bool(QEvent *)> hook) : QObject(target), m_hook(std::move(hook))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override { return m_hook(event); }

private:
    std::function<bool(QEvent *)> m_hook;
};

// A command works through a list this long for a noticeable moment: the busy cursor shows.
constexpr int kBusyEntries = 100000;

} // namespace

void Form1::setupWordList()
{
    QTableView *view = m_ui->ListView1;
    view->setModel(m_wordList);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setDefaultSectionSize(4000 / 15);
    view->horizontalHeader()->setStretchLastSection(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(false);
    view->setWordWrap(false);
    // Tab and Shift+Tab leave the list for the next control; the arrow keys move within it.
    view->setTabKeyNavigation(false);
    // Where the keyboard is shows plainly: a blue frame while the list has the focus.
    view->setStyleSheet(
        QStringLiteral("QTableView#ListView1 { border: 2px solid rgb(172, 172, 172); }"
                       " QTableView#ListView1:focus { border: 2px solid rgb(38, 110, 214); }"));
    // The header's empty part past the last column looks like the header, not like the window.
    QHeaderView *header = view->horizontalHeader();
    QPalette headerPalette = header->palette();
    headerPalette.setColor(QPalette::Window, headerPalette.color(QPalette::Button));
    header->setPalette(headerPalette);

    m_menu列表 = new QMenu(QStringLiteral("列表"), this);
    m_menu列表->setObjectName(QStringLiteral("menu列表"));
    auto add = [this](const char *name, const QString &caption) {
        QAction *a = m_menu列表->addAction(caption);
        a->setObjectName(QString::fromUtf8(name));
        return a;
    };
    m_listMenu.remove = add("menu删除", QStringLiteral("删除"));
    m_listMenu.edit = add("menu修改", QStringLiteral("修改"));
    m_menu列表->addSeparator()->setObjectName(QStringLiteral("we3435"));
    m_listMenu.clear = add("menu清空列表", QStringLiteral("清空列表"));
    m_listMenu.import = add("menu导入单词", QStringLiteral("导入单词"));
    m_listMenu.saveAs = add("menu列表另存为", QStringLiteral("列表另存为"));
    m_menu列表->addSeparator()->setObjectName(QStringLiteral("eg6456"));
    m_listMenu.lookUp = add("menu在线翻译", QStringLiteral("在线翻译"));
    m_listMenu.about = add("menu关于", QStringLiteral("关于"));
    // After the commands that were always there, so their places in the menu stay ("退出" stays
    // last). Undo and redo work from anywhere in the main window, not only from the menu.
    m_menu列表->addSeparator();
    m_listMenu.undo = add("menu撤销", QStringLiteral("撤销"));
    m_listMenu.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_listMenu.redo = add("menu重做", QStringLiteral("重做"));
    m_listMenu.redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction *a : {m_listMenu.undo, m_listMenu.redo}) {
        a->setEnabled(false);
        addAction(a);
    }
    m_menu列表->addSeparator();
    m_listMenu.markKnown = add("menu标记为已掌握", QStringLiteral("标记为已掌握"));
    m_listMenu.unmarkKnown = add("menu取消已掌握", QStringLiteral("取消已掌握"));
    m_listMenu.speak = add("menu朗读", QStringLiteral("朗读"));
    m_listMenu.speak->setEnabled(false);
    // A command the system cannot do says why in its tooltip.
    m_menu列表->setToolTipsVisible(true);
    // Known entries are drawn grey with a check mark.
    view->setItemDelegate(new KnownEntryDelegate(view));
    m_menu列表->addSeparator();
    m_listMenu.options = add("menu选项", QStringLiteral("选项"));
    m_menu列表->addSeparator()->setObjectName(QStringLiteral("er45"));
    m_listMenu.exit = add("menu退出", QStringLiteral("退出"));
}

void Form1::connectWordListSignals()
{
    QTableView *view = m_ui->ListView1;
    QWidget *viewport = view->viewport();

    // The count label follows the list, whatever changed it (load, import, delete, clear, tests).
    connect(m_wordList, &QAbstractItemModel::rowsInserted, this, &Form1::updateCountLabel);
    connect(m_wordList, &QAbstractItemModel::rowsRemoved, this, &Form1::updateCountLabel);
    connect(m_wordList, &QAbstractItemModel::modelReset, this, &Form1::updateCountLabel);

    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, &Form1::ListView1_ColumnClick);

    // Mouse presses over the list. A right press is handed to the view first, so the row under
    // the mouse is selected before the menu opens, as everywhere else on the desktop.
    new EventHook(viewport, [this, viewport, forwarding = false](QEvent *event) mutable {
        if (event->type() == QEvent::MouseButtonPress && !forwarding) {
            auto *press = static_cast<QMouseEvent *>(event);
            if (press->button() != Qt::RightButton) {
                ListView1_MouseDown(press->button(), press->modifiers(), press->position().toPoint());
                return false;
            }
            forwarding = true;
            const std::unique_ptr<QEvent> copy(press->clone());
            QCoreApplication::sendEvent(viewport, copy.get());
            forwarding = false;
            ListView1_MouseDown(press->button(), press->modifiers(), press->position().toPoint());
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            auto *click = static_cast<QMouseEvent *>(event);
            // A double-click on a row edits it; one on the empty space below the rows does nothing.
            if (click->button() == Qt::LeftButton &&
                m_ui->ListView1->indexAt(click->position().toPoint()).isValid()) {
                ListView1_DblClick();
                return true;
            }
        }
        return false;
    });
    new EventHook(view, [this](QEvent *event) {
        // Keys as users expect of a list; the menu itself shows no shortcut keys.
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            // Shift+F10 opens the menu as the menu key does (Windows turns it into a context-menu
            // event itself; X11 does not).
            if (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) {
                popupListMenuAtCurrentRow();
                return true;
            }
            if (mods != Qt::NoModifier)
                return false;
            if (key->key() == Qt::Key_Delete) {
                menu删除_Click();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                menu修改_Click();
                return true;
            }
            return false;
        }
        // The menu key opens the same menu at the current row.
        if (event->type() == QEvent::ContextMenu &&
            static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
            popupListMenuAtCurrentRow();
            return true;
        }
        return false;
    });

    connect(m_listMenu.remove, &QAction::triggered, this, &Form1::menu删除_Click);
    connect(m_listMenu.edit, &QAction::triggered, this, &Form1::menu修改_Click);
    connect(m_listMenu.clear, &QAction::triggered, this, &Form1::menu清空列表_Click);
    connect(m_listMenu.speak, &QAction::triggered, this, &Form1::menu朗读_Click);
    connect(m_listMenu.markKnown, &QAction::triggered, this, [this] { markSelectedKnown(true); });
    connect(m_listMenu.unmarkKnown, &QAction::triggered, this, [this] { markSelectedKnown(false); });
    connect(m_listMenu.saveAs, &QAction::triggered, this, &Form1::menu列表另存为_Click);
    connect(m_listMenu.exit, &QAction::triggered, this, &Form1::close);
}

void Form1::popupListMenuAtCurrentRow()
{
    QTableView *view = m_ui->ListView1;
    QWidget *viewport = view->viewport();
    QPoint at(0, 0);
    const int row = currentEntryRow();
    if (row >= 0) {
        const QRect rect = view->visualRect(m_wordList->index(row, 0));
        if (viewport->rect().intersects(rect))
            at = rect.bottomLeft();
    }
    m_menu列表->popup(viewport->mapToGlobal(at));
}

void Form1::ListView1_ColumnClick(int column)
{
    const BusyCursor busy(m_wordList->count() >= kBusyEntries);
    m_sorter.sortByColumn(*m_wordList, column);
}

void Form1::ListView1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &pos)
{
    if (button == Qt::RightButton)
        m_menu列表->popup(m_ui->ListView1->viewport()->mapToGlobal(pos));
}

void Form1::ListView1_DblClick()
{
    menu修改_Click();
}

int Form1::currentEntryRow() const
{
    return WordListCommands::currentEntryRow(*m_ui->ListView1->selectionModel());
}

void Form1::menu删除_Click()
{
    if (m_wordList->count() == 0)
        return;
    const BusyCursor busy(m_wordList->count() >= kBusyEntries);
    WordListCommands::removeSelected(*m_wordList, *m_ui->ListView1->selectionModel());
}

void Form1::menu修改_Click()
{
    const int row = currentEntryRow();
    if (row < 0)
        return;
    // Opened as the other windows of the list menu are: modal, without an owner, and made afresh
    // for this edit, so nothing carries over to the next one.
    FormEdit dialog(m_wordList, row);
    dialog.centreOn(screen()); // on the main window's monitor
    dialog.exec();
}

void Form1::markSelectedKnown(bool known)
{
    m_wordList->setKnown(WordListCommands::selectedRows(*m_ui->ListView1->selectionModel()), known);
}

void Form1::menu清空列表_Click()
{
    const BusyCursor busy(m_wordList->count() >= kBusyEntries);
    m_wordList->clear();
}

void Form1::menu列表另存为_Click()
{
    const QString path = m_context.dialogs.saveFileName(
        this, {m_context.programFolder, QString(), QStringLiteral("*.txt (*.txt)"), QStringLiteral("txt")});
    QString error;
    if (!path.isEmpty() && !保存单词列表(path, &error)) {
        m_context.dialogs.message(this, Dialogs::Icon::Critical,
                                  QStringLiteral("无法保存“%1”：%2").arg(QDir::toNativeSeparators(path), error));
    }
    // A list saved beside the program shows up at once among the word files.
    载入单词文件下拉框();
}
