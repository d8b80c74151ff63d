#include "FileNames.h"

#include "text/GbkCodec.h"

#include <QDir>
#include <QFileInfo>

namespace Module1 {

namespace {
constexpr int kMaxNameBytes = 250;

// Bytes one character (a code point, possibly a surrogate pair) takes in code page 936; one
// outside it counts as its four GB18030 bytes, which is how the program's files store it.
int cp936Bytes(QStringView ch)
{
    return static_cast<int>(GbkCodec::encodedSize(ch));
}

qsizetype charSize(const QString &text, qsizetype i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

// Cuts `text` after its last character that still ends within `maxBytes` bytes.
QString truncateToBytes(const QString &text, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype step = charSize(text, i);
        const int len = cp936Bytes(QStringView(text).mid(i, step));
        if (bytes + len > maxBytes)
            break;
        bytes += len;
        i += step;
    }
    return text.left(i);
}

bool isRemoved(QChar c)
{
    switch (c.unicode()) {
    case u'\\': case u'/': case u':': case u'*': case u'?': case u'"':
    case u'<': case u'>': case u'|': case u'\r': case u'\n': case u'\0':
        return true;
    default:
        return false;
    }
}
} // namespace

QChar pathSeparator()
{
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

int cp936Length(const QString &text)
{
    return static_cast<int>(GbkCodec::encodedSize(text));
}

QString CleanFileName(const QString &name)
{
    // Characters no file name may hold go first (the CR LF pair goes with its two halves).
    QString s;
    s.reserve(name.size());
    for (QChar c : name) {
        if (!isRemoved(c))
            s.append(c);
    }
    // Then the dots at either end.
    qsizetype first = 0;
    while (first < s.size() && s.at(first) == u'.')
        ++first;
    qsizetype last = s.size();
    while (last > first && s.at(last - 1) == u'.')
        --last;
    s = s.mid(first, last - first);
    // Then the name is cut to at most 250 bytes in code page 936.
    s = truncateToBytes(s, kMaxNameBytes);
    // Last the spaces at either end, which the cut may have left; dots behind them stay.
    first = 0;
    while (first < s.size() && s.at(first) == u' ')
        ++first;
    last = s.size();
    while (last > first && s.at(last - 1) == u' ')
        --last;
    return s.mid(first, last - first);
}

QString makeFolderPathWith(const QString &path, QChar separator, const FolderOps &ops, qsizetype keep)
{
    const QStringList parts = path.split(separator);
    QString soFar = parts.constFirst(); // the drive, or empty before a leading separator
    for (qsizetype i = 1; i < parts.size(); ++i) {
        // Folder names that lie within the kept base are the system's own: never cleaned (a
        // cleaned ".local" would become "local", a folder no one looks in).
        const bool kept = soFar.size() + 1 + parts.at(i).size() <= keep;
        soFar += separator + (kept ? parts.at(i) : CleanFileName(parts.at(i)));
        if (!ops.exists(soFar))
            ops.makeFolder(soFar);
    }
    return ops.exists(soFar) ? soFar : QString();
}

FolderOps localFolderOps(QChar separator)
{
    auto toQt = [separator](const QString &p) {
        return separator == u'\\' ? QDir::fromNativeSeparators(p) : p;
    };
    FolderOps ops;
    ops.exists = [toQt, separator](const QString &p) {
        if (p.isEmpty())
            return false;
        if (p.endsWith(separator)) {
            const QFileInfo info(toQt(p));
#ifdef Q_OS_WIN
            return info.isDir() && info.isReadable();
#else
            // Listing a folder needs both read and search rights.
            return info.isDir() && info.isReadable() && info.isExecutable();
#endif
        }
        return QFileInfo(toQt(p)).exists() || QFileInfo(toQt(p)).isSymLink();
    };
    ops.makeFolder = [toQt](const QString &p) {
        if (!p.isEmpty())
            QDir().mkdir(toQt(p));
    };
    return ops;
}

QString MakeFolderPath(const QString &path, qsizetype keep)
{
    return makeFolderPathWith(path, pathSeparator(), localFolderOps(pathSeparator()), keep);
}

} // namespace Module1
