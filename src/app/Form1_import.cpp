// The main window's word-file row: the word files beside the program and the one-click import.
#include "Form1.h"

#include "ui_Form1.h"

#include <QDir>

void Form1::载入单词文件下拉框()
{
    const QDir folder(m_context.programFolder);
    const QStringList names =
        folder.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    m_ui->Combo3->clear();
    m_ui->Combo3->addItems(names);
    if (m_ui->Combo3->count() > 0)
        m_ui->Combo3->setCurrentIndex(0);
}

void Form1::connectImportSignals() {}
