// The main window's word-file row (the word files beside the program and the one-click import) and
// the import window.
#include "Form1.h"

#include "import/BackgroundWork.h"
#include "import/BusyCursor.h"
#include "import/Form2.h"
#include "import/ImportReport.h"
#include "import/WordFiles.h"
#include "shell/Dialogs.h"
#include "ui_Form1.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QDir>
#include <QMenu>

void Form1::载入单词文件下拉框()
{
    m_ui->Combo3->clear();
    m_ui->Combo3->addItems(WordFiles::list(m_context.programFolder));
    if (m_ui->Combo3->count() > 0)
        m_ui->Combo3->setCurrentIndex(0);
}

void Form1::Command5_Click()
{
    const QString name = m_ui->Combo3->currentText();
    if (name.isEmpty())
        return;
    BusyCursor busy;
    const QString folder = m_context.programFolder;
    QString text; // the file's text only while it is being imported
    QString error;
    auto result = WordFiles::ReadResult::Missing;
    if (!BackgroundWork::run([&] { result = WordFiles::readFile(folder, name, &text, &error); })) {
        result = WordFiles::ReadResult::Unreadable;
        error = BackgroundWork::outOfMemoryReason();
        text = QString();
    }
    Module1::ImportCounts counts;
    if (result == WordFiles::ReadResult::Read) {
        counts = Module1::ImportWordPairs(text, *m_wordList);
        text = QString();
    }
    busy.release();
    switch (result) {
    case WordFiles::ReadResult::Missing:
        m_context.dialogs.message(this, Dialogs::Icon::Critical, QStringLiteral("该文件不存在!"));
        break;
    case WordFiles::ReadResult::Unreadable:
        m_context.dialogs.message(
            this, Dialogs::Icon::Critical,
            QStringLiteral("无法读取文件“%1”：%2")
                .arg(QDir::toNativeSeparators(QDir(m_context.programFolder).filePath(name)), error));
        break;
    case WordFiles::ReadResult::Read:
        ImportReport::show(this, m_context.dialogs, QStringLiteral("导入完成!"), counts);
        break;
    }
}

void Form1::menu导入单词_Click()
{
    // Modal and without an owner; a fresh window each time, so it always opens empty.
    Form2 form(*m_wordList, m_context.dialogs, m_context.programFolder);
    connect(&form, &Form2::wordFilesChanged, this, &Form1::载入单词文件下拉框);
    form.exec();
}

void Form1::connectImportSignals()
{
    // Only the listed word files can be chosen; a typed name is not accepted.
    m_ui->Combo3->setEditable(false);
    connect(m_ui->Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(m_listMenu.import, &QAction::triggered, this, &Form1::menu导入单词_Click);
}
