#include "DrillText.h"

#include "wordlist/WordPairs.h"

namespace DrillText {

QString displayText(const QString &word, const QString &meaning)
{
    const QString joined = word + QStringLiteral("  ") + meaning;
    QString text = WordPairs::trimSpaces(joined).toString();
    text.replace(u'\t', u' ');
    const QString three = QStringLiteral("   ");
    while (text.contains(three))
        text.replace(three, QStringLiteral(" "));
    return text;
}

QString lookupWord(const QString &caption)
{
    QString s = WordPairs::trimSpaces(caption).toString();
    const qsizetype gap = s.indexOf(QStringLiteral("  "));
    if (gap >= 0)
        s = WordPairs::trimSpaces(QStringView(s).left(gap)).toString();
    if (s.endsWith(u'/'))
        s.chop(1);
    return s;
}

} // namespace DrillText
