#include "AboutText.h"

namespace AboutText {

QString caption(const QString &title)
{
    return QStringLiteral("关于『") + title + QStringLiteral("』 ");
}

QString version(int major, int minor, int revision)
{
    return QStringLiteral("版本 ") + QString::number(major) + u'.' + QString::number(minor) + u'.'
           + QString::number(revision);
}

} // namespace AboutText
