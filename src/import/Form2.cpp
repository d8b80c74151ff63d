#include "Form2.h"

#include "BackgroundWork.h"
#include "BusyCursor.h"
#include "ImportReport.h"
#include "TextTools.h"
#include "shell/Dialogs.h"
#include "widgets/FixedWindow.h"
#include "ui_Form2.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordPairs.h"

#include <QDir>

namespace {
const QString kFilter = QStringLiteral("*.txt (*.txt)");
} // namespace

Form2::Form2(WordListModel &list, Dialogs &dialogs, const QString &programFolder, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Form2>()), m_list(list), m_dialogs(dialogs),
      m_programFolder(programFolder)
{
    m_ui->setupUi(this);
    // A fixed-size window with a close box only; without a parent Qt centres it on the screen.
    FixedWindow::setUp(this, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                                 | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connectSignals();
}

Form2::~Form2() = default;

void Form2::connectSignals()
{
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(m_ui->Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(m_ui->Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(m_ui->Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(m_ui->Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    connect(m_ui->Command8, &QPushButton::clicked, this, &Form2::Command8_Click);
}

QString Form2::text() const
{
    return m_ui->RichTextBox1->crlfText();
}

bool Form2::setText(const QString &text)
{
    return m_ui->RichTextBox1->replaceAll(text);
}

void Form2::importText(bool reversed)
{
    QPushButton *button = reversed ? m_ui->Command8 : m_ui->Command1;
    button->setEnabled(false);
    Module1::ImportCounts counts;
    bool complete = true;
    {
        BusyCursor busy;
        const QString all = m_ui->RichTextBox1->crlfText(&complete);
        if (complete)
            counts = reversed ? Module1::ImportWordPairsReversed(all, m_list)
                              : Module1::ImportWordPairs(all, m_list);
    }
    if (complete)
        ImportReport::show(this, m_dialogs, QStringLiteral("处理完成！"), counts);
    else
        m_dialogs.message(
            this, Dialogs::Icon::Critical,
            QStringLiteral("无法导入：%1，列表没有改动。").arg(BackgroundWork::outOfMemoryReason()));
    button->setEnabled(true);
}

void Form2::Command1_Click()
{
    importText(false);
}

void Form2::Command8_Click()
{
    importText(true);
}

void Form2::Command2_Click()
{
    const QString path = m_dialogs.openFileName(this, {m_programFolder, m_fileName, kFilter, QString()});
    if (path.isEmpty())
        return;
    m_fileName = path;
    BusyCursor busy;
    QString loaded;
    QString error;
    bool ok = false;
    if (!BackgroundWork::run([&] { ok = TextFile::read(path, &loaded, &error); })) {
        ok = false;
        error = BackgroundWork::outOfMemoryReason();
    }
    if (ok && !setText(loaded)) {
        ok = false;
        error = BackgroundWork::outOfMemoryReason();
    }
    if (!ok) {
        busy.release();
        m_dialogs.message(this, Dialogs::Icon::Critical,
                          QStringLiteral("无法打开文件“%1”：%2").arg(QDir::toNativeSeparators(path), error));
    }
}

void Form2::Command3_Click()
{
    m_ui->RichTextBox1->clear();
}

void Form2::Command4_Click()
{
    const QString path =
        m_dialogs.saveFileName(this, {m_programFolder, m_fileName, kFilter, QStringLiteral("txt")});
    QString failure;
    if (!path.isEmpty()) {
        m_fileName = path;
        BusyCursor busy;
        bool complete = true;
        const QString all = m_ui->RichTextBox1->crlfText(&complete);
        QString error = BackgroundWork::outOfMemoryReason();
        bool ok = false;
        if (complete && !BackgroundWork::run([&] { ok = TextFile::write(path, all, &error); },
                                             BackgroundWork::Step::MustFinish))
            error = BackgroundWork::outOfMemoryReason();
        if (!ok)
            failure = QStringLiteral("无法保存文件“%1”：%2").arg(QDir::toNativeSeparators(path), error);
    }
    // Saved, cancelled or failed: the main window's word-file list is read afresh all the same.
    Q_EMIT wordFilesChanged();
    if (!failure.isEmpty())
        m_dialogs.message(this, Dialogs::Icon::Critical, failure);
}

void Form2::Command5_Click()
{
    close();
}

void Form2::replaceInText(const QString &search, const QString &replacement)
{
    if (search.isEmpty())
        return;
    BusyCursor busy;
    bool complete = true;
    const QString all = m_ui->RichTextBox1->crlfText(&complete);
    bool changed = false;
    QString result;
    if (!complete ||
        !BackgroundWork::run([&] { result = TextTools::replaceAll(all, search, replacement, &changed); }) ||
        (changed && !setText(result))) {
        busy.release();
        m_dialogs.message(
            this, Dialogs::Icon::Critical,
            QStringLiteral("无法替换：%1，文本没有改动。").arg(BackgroundWork::outOfMemoryReason()));
    }
}

void Form2::Command6_Click()
{
    replaceInText(m_ui->Text1->text(), m_ui->Text2->text());
}

void Form2::Command7_Click()
{
    replaceInText(m_ui->Text3->text(), TextTools::lineBreak());
}
