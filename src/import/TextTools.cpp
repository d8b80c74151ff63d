#include "TextTools.h"

#include <QStringMatcher>

namespace TextTools {

QString replaceAll(const QString &text, const QString &search, const QString &replacement, bool *changed)
{
    if (changed)
        *changed = false;
    if (search.isEmpty() || text.size() < search.size())
        return text;
    // One pass over the original text: the result is built from the pieces between the matches, so
    // the inserted text is never looked at again and no match can overlap the one before it.
    const QStringMatcher matcher(search, Qt::CaseInsensitive);
    qsizetype pos = matcher.indexIn(text, 0);
    if (pos < 0)
        return text;
    if (changed)
        *changed = true;
    QString out;
    out.reserve(text.size() + (replacement.size() > search.size() ? text.size() / 8 : 0));
    qsizetype from = 0;
    const QStringView all(text);
    while (pos >= 0) {
        out += all.sliced(from, pos - from);
        out += replacement;
        from = pos + search.size();
        pos = matcher.indexIn(text, from);
    }
    out += all.sliced(from);
    return out;
}

QString fromEditorText(QString raw)
{
    auto isBreak = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\r' || c == u'\n';
    };
    // Most texts hold only block breaks: check first, copy once.
    const qsizetype n = raw.size();
    const QChar *d = raw.constData();
    qsizetype breaks = 0;
    bool surrogates = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (isBreak(d[i]))
            ++breaks;
        surrogates |= d[i].isSurrogate();
    }
    if (breaks == 0 && !surrogates)
        return raw;
    QString out;
    out.reserve(n + breaks);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = d[i];
        if (c.isHighSurrogate() && i + 1 < n && d[i + 1].isLowSurrogate()) {
            out += c;
            out += d[++i];
            continue;
        }
        if (c.isSurrogate()) {
            // Half a character (pasted from a broken source) is no text any file can hold; the
            // saved bank would read back with U+FFFD in its place, so the list gets that now.
            out += QChar(QChar::ReplacementCharacter);
            continue;
        }
        if (!isBreak(c)) {
            out += c;
            continue;
        }
        out += u"\r\n";
        if (c == u'\r' && i + 1 < n && d[i + 1] == u'\n')
            ++i; // CR LF is one line end
    }
    return out;
}

} // namespace TextTools
