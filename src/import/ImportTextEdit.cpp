#include "ImportTextEdit.h"

#include "BackgroundWork.h"
#include "BusyCursor.h"
#include "TextTools.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPointer>
#include <QTextDocument>
#include <QThread>

#include <memory>

ImportTextEdit::ImportTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

void ImportTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString ImportTextEdit::crlfText(bool *complete) const
{
    if (complete)
        *complete = true;
    // The raw text keeps no-break spaces (the plain-text getter turns them into spaces); its block
    // breaks (U+2029) become CR LF.
    QString raw = document()->toRawText();
    if (raw.size() < kLargeText)
        return TextTools::fromEditorText(std::move(raw));
    QString text;
    if (!BackgroundWork::run([&] { text = TextTools::fromEditorText(std::move(raw)); }) && complete)
        *complete = false;
    return text;
}

bool ImportTextEdit::replaceAll(const QString &text, int cursorPosition)
{
    if (text.size() < kLargeText) {
        // One edit block with the undo history switched off.
        setPlainText(text);
    } else {
        // Building a document costs a few microseconds a line, seconds for a million lines. A
        // worker builds it while this thread keeps the windows drawn (user input waits), then the
        // finished document is put in place, which takes only a fraction of that.
        QTextDocument *built = buildDocument(text);
        if (!built)
            return false; // out of memory: the old text stays
        built->setParent(this);
        // The editor deletes the document it made itself; one built here is ours to delete.
        const QPointer<QTextDocument> old = document();
        setDocument(built);
        if (old && old->parent() == this)
            delete old;
    }
    if (cursorPosition > 0) {
        QTextCursor c = textCursor();
        c.setPosition(qMin(cursorPosition, document()->characterCount() - 1));
        setTextCursor(c);
    }
    return true;
}

QTextDocument *ImportTextEdit::buildDocument(const QString &text)
{
    // Everything that would make the editor go over all blocks once more is settled here, in the
    // worker: font, text options, layout. Only the layout's width is left to the editor.
    QThread *gui = thread();
    const QFont defaultFont = font();
    const QTextOption option = document()->defaultTextOption();
    QTextDocument *built = nullptr;
    const bool done = BackgroundWork::run([&] {
        // Deleted again if memory runs out while it is built.
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        doc->setDefaultFont(defaultFont);
        doc->setDefaultTextOption(option);
        doc->setDocumentLayout(new QPlainTextDocumentLayout(doc.get()));
        doc->setPlainText(text);
        doc->setUndoRedoEnabled(true);
        doc->moveToThread(gui);
        built = doc.release();
    });
    return done ? built : nullptr;
}

void ImportTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString pasted = source->text();
    if (pasted.size() < kLargeText) {
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
