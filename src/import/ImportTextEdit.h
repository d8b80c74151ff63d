#pragma once

#include <QPlainTextEdit>

// The import window's text area: plain text only, made for texts of a million lines. Whole-text
// changes (loading a file, the replace tools, a large paste) go into the document in one operation
// outside the undo history; small pastes and typing stay undoable as usual. A large document is
// built by a worker thread while the window stays drawn. Tab and Shift+Tab move the focus as in
// every other control (a typed tab would be a stray separator in the text); Ctrl+Tab types one.
class ImportTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    // Texts of at least this many characters are built apart from the window; pastes that large
    // replace the document in one operation and cannot be undone (smaller ones can).
    static constexpr qsizetype kLargeText = 256 * 1024;

    explicit ImportTextEdit(QWidget *parent = nullptr);

    // The whole text with CR LF line ends (no-break spaces kept as they are). `complete` is set
    // false when memory ran out on the way: then the text is not all there.
    QString crlfText(bool *complete = nullptr) const;
    // Replaces the whole text; the cursor goes to `cursorPosition` (a document position). False
    // when memory ran out while the new text was laid out: then the old text stays.
    bool replaceAll(const QString &text, int cursorPosition = 0);

protected:
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Null when memory ran out.
    QTextDocument *buildDocument(const QString &text);
};
