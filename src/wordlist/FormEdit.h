#pragma once

#include <QDialog>
#include <QPointer>
#include <QScreen>
#include <QPersistentModelIndex>

#include <memory>

class QLineEdit;
class WordListModel;

namespace Ui {
class FormEdit;
}

// The edit dialog: one entry's word and meaning.
//
// It works on the row itself (`LI`), not on a copy: "确定" writes straight into the list. The key
// of the entry stays what it was. "取消", Esc and the close box change nothing.
class FormEdit : public QDialog
{
    Q_OBJECT
public:
    // Fills the two boxes from `row` of `list`; exec() shows it.
    FormEdit(WordListModel *list, int row, QWidget *parent = nullptr);
    ~FormEdit() override;

    // The monitor it opens centred on (the main window's); else its owner's, else the primary one.
    void centreOn(QScreen *screen) { m_centreOn = screen; }

    QLineEdit *text1() const;
    QLineEdit *text2() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // "确定": word and meaning, U+0020 trimmed at both ends, go into the row; the dialog closes.
    void Command1_Click();
    // "取消": the dialog closes, nothing changes.
    void Command2_Click();

    // The row under edit; follows the row if the list is reordered while the dialog is open.
    QPersistentModelIndex LI;
    std::unique_ptr<Ui::FormEdit> m_ui;
    WordListModel *m_list = nullptr;
    bool m_placed = false;
    QPointer<QScreen> m_centreOn;
};
