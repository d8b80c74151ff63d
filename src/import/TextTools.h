#pragma once

#include <QString>

// The import window's text preprocessing and the conversions between its text area and the
// word-pair reader.
namespace TextTools {

// Replaces every occurrence of `search` in `text` by `replacement`: left to right, occurrences not
// overlapping, inserted text never searched again, letters compared without regard to case.
// An empty `search` leaves the text as it is. `changed` (if given) tells whether anything was
// replaced.
QString replaceAll(const QString &text, const QString &search, const QString &replacement,
                   bool *changed = nullptr);

// The line break the second replace tool inserts.
inline QString lineBreak()
{
    return QStringLiteral("\r\n");
}

// A plain-text editor's raw text as the reader and the saver take it: every line end the editor can
// hold becomes CR LF: block breaks (U+2029), line breaks within a block (U+2028, Shift+Enter or
// pasted), and CR LF, lone CR and lone LF. Half of a surrogate pair becomes U+FFFD, as the file
// readers and the writer make it. Other characters, no-break spaces among them, are kept.
QString fromEditorText(QString raw);

} // namespace TextTools
