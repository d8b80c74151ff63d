#include "FormEdit.h"

#include "WordListModel.h"
#include "WordPairs.h"
#include "ui_FormEdit.h"
#include "widgets/FixedWindow.h"

#include <QGuiApplication>

FormEdit::FormEdit(WordListModel *list, int row, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FormEdit>()), m_list(list)
{
    m_ui->setupUi(this);
    // A fixed-size tool window with a close box only.
    FixedWindow::setUp(this, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    if (m_list && row >= 0 && row < m_list->count()) {
        LI = QPersistentModelIndex(m_list->index(row, 0));
        m_ui->Text1->setText(m_list->word(row).toString());
        m_ui->Text2->setText(m_list->meaning(row).toString());
    }

    connect(m_ui->Command1, &QPushButton::clicked, this, &FormEdit::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &FormEdit::Command2_Click);
}

FormEdit::~FormEdit() = default;

QLineEdit *FormEdit::text1() const
{
    return m_ui->Text1;
}

QLineEdit *FormEdit::text2() const
{
    return m_ui->Text2;
}

void FormEdit::Command1_Click()
{
    if (m_list && LI.isValid()) {
        const QString word = m_ui->Text1->text();
        const QString meaning = m_ui->Text2->text();
        m_list->setEntry(LI.row(), WordPairs::trimSpaces(word), WordPairs::trimSpaces(meaning));
    }
    accept();
}

void FormEdit::Command2_Click()
{
    reject();
}

void FormEdit::showEvent(QShowEvent *event)
{
    // Centred on the screen the first time it is shown.
    if (!m_placed) {
        m_placed = true;
        QScreen *screen = m_centreOn ? m_centreOn.data()
                          : parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        FixedWindow::centre(this, screen);
    }
    QDialog::showEvent(event);
}
