#include "ImportTextEdit.h"

#include "BusyCursor.h"
#include "TextTools.h"

#include <QMimeData>
#include <QTextDocument>

ImportTextEdit::ImportTextEdit(QWidget *parent) : QPlainTextEdit(parent) {}

QString ImportTextEdit::crlfText() const
{
    // The raw text keeps no-break spaces (the plain-text getter turns them into spaces); its block
    // breaks (U+2029) become CR LF.
    return TextTools::fromEditorText(document()->toRawText());
}

void ImportTextEdit::replaceAll(const QString &text, int cursorPosition)
{
    // setPlainText builds the document in one edit block with the undo history switched off.
    setPlainText(text);
    if (cursorPosition > 0) {
        QTextCursor c = textCursor();
        c.setPosition(qMin(cursorPosition, document()->characterCount() - 1));
        setTextCursor(c);
    }
}

void ImportTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString pasted = source->text();
    if (pasted.size() < kLargePaste) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // A large paste: through the undo history it would take many seconds and much memory.
    BusyCursor busy;
    pasted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    pasted.replace(u'\r', QChar::ParagraphSeparator);
    pasted.replace(u'\n', QChar::ParagraphSeparator);
    const QTextCursor c = textCursor();
    const int start = c.selectionStart();
    QString all = document()->toRawText();
    all.replace(start, c.selectionEnd() - start, pasted);
    replaceAll(all, start + int(pasted.size()));
}
