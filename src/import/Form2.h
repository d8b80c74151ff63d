#pragma once

#include <QDialog>

#include <memory>

class Dialogs;
class WordListModel;

namespace Ui {
class Form2;
}

// The import window: text from a file or pasted, two search-and-replace tools, and import into
// the word list with the word first or the meaning first. A fresh window is built for every
// opening, so nothing is kept from one opening to the next. It reports to the main window by
// signal.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    Form2(WordListModel &list, Dialogs &dialogs, const QString &programFolder, QWidget *parent = nullptr);
    ~Form2() override;

    // The text area's whole text with CR LF line ends, as the reader and the saver take it.
    QString text() const;
    // Replaces the whole text of the text area (quickly, also for a million lines). False when
    // memory ran out: then the old text stays.
    bool setText(const QString &text);

    // The file name both file dialogs propose; the last one chosen in either of them.
    QString rememberedFileName() const { return m_fileName; }

Q_SIGNALS:
    // A save dialog has closed (saved, cancelled or failed): the word-file list needs refreshing.
    void wordFilesChanged();

private:
    void Command1_Click(); // "导入到单词表"
    void Command2_Click(); // "打开文件"
    void Command3_Click(); // "清空文本"
    void Command4_Click(); // "另存为..."
    void Command5_Click(); // "关闭"
    void Command6_Click(); // first "执行": Text1 replaced by Text2
    void Command7_Click(); // second "执行": Text3 replaced by a line break
    void Command8_Click(); // "反向导入"

    void connectSignals();
    void importText(bool reversed);
    void replaceInText(const QString &search, const QString &replacement);

    std::unique_ptr<Ui::Form2> m_ui;
    WordListModel &m_list;
    Dialogs &m_dialogs;
    QString m_programFolder;
    QString m_fileName;
};
