// The main window's word list: the list view, its pop-up menu and the list commands.
#include "Form1.h"

#include "ui_Form1.h"
#include "wordlist/WordListModel.h"

#include <QHeaderView>
#include <QMenu>

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

    m_menu列表 = new QMenu(QStringLiteral("列表"), this);
    m_menu列表->setObjectName(QStringLiteral("menu列表"));
    auto add = [this](const char *name, const QString &caption) {
        QAction *a = m_menu列表->addAction(caption);
        a->setObjectName(QString::fromUtf8(name));
        return a;
    };
    add("menu删除", QStringLiteral("删除"));
    add("menu修改", QStringLiteral("修改"));
    m_menu列表->addSeparator()->setObjectName(QStringLiteral("we3435"));
    add("menu清空列表", QStringLiteral("清空列表"));
    add("menu导入单词", QStringLiteral("导入单词"));
    add("menu列表另存为", QStringLiteral("列表另存为"));
    m_menu列表->addSeparator()->setObjectName(QStringLiteral("eg6456"));
    add("menu在线翻译", QStringLiteral("在线翻译"));
    add("menu关于", QStringLiteral("关于"));
    m_menu列表->addSeparator()->setObjectName(QStringLiteral("er45"));
    add("menu退出", QStringLiteral("退出"));
}

void Form1::connectWordListSignals()
{
    connect(m_menu列表->findChild<QAction *>(QStringLiteral("menu退出")), &QAction::triggered, this,
            [this] { close(); });
}
