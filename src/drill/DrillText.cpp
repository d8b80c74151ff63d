#include "DrillText.h"

#include "shell/WebLinks.h"
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
    QStringView s = WordPairs::trimSpaces(caption);
    const qsizetype gap = s.indexOf(QStringLiteral("  "));
    if (gap >= 0)
        s = s.left(gap);
    // Prepared exactly as the list menu's lookup prepares an entry's word.
    return WebLinks::prepareWord(s.toString());
}

} // namespace DrillText
