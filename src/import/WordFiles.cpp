#include "WordFiles.h"

#include "wordlist/TextFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace WordFiles {

QStringList list(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    // Name filters of QDir ignore letter case unless told otherwise, so "WORDS.TXT" is listed as
    // it would be on Windows. Hidden files stay out, as in the system's own file lists.
    QStringList names = QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b; // names that differ only in case: a fixed order all the same
    });
    return names;
}

ReadResult readFile(const QString &folder, const QString &name, QString *text, QString *error)
{
    text->clear();
    // Only a name in the folder itself, never a path that leads elsewhere.
    if (name.isEmpty() || QFileInfo(name).fileName() != name)
        return ReadResult::Missing;
    const QString path = QDir(folder).filePath(name);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return ReadResult::Missing;
    return TextFile::read(path, text, error) ? ReadResult::Read : ReadResult::Unreadable;
}

} // namespace WordFiles
