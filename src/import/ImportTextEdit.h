#pragma once

#include <QPlainTextEdit>

// The import window's text area: plain text only, made for texts of a million lines. Whole-text
// changes (loading a file, the replace tools, a large paste) go into the document in one operation
// outside the undo history; small pastes and typing stay undoable as usual.
class ImportTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    // Pastes of at least this many characters replace the document in one operation and cannot
    // be undone; smaller ones go through the undo history.
    static constexpr qsizetype kLargePaste = 256 * 1024;

    explicit ImportTextEdit(QWidget *parent = nullptr);

    // The whole text with CR LF line ends (no-break spaces kept as they are).
    QString crlfText() const;
    // Replaces the whole text; the cursor goes to `cursorPosition` (a document position).
    void replaceAll(const QString &text, int cursorPosition = 0);

protected:
    void insertFromMimeData(const QMimeData *source) override;
};
