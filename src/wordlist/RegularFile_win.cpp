#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace RegularFile {

Open openForReading(const QString &path, QFile &file, QString *why)
{
    // Pipes and devices have names of their own (\\.\pipe\..., CON, NUL) and open as sequential
    // devices; only a file with a size is read.
    if (!QFileInfo(path).isFile())
        return Open::NotAFile;
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return Open::Failed;
    }
    if (file.isSequential()) {
        file.close();
        return Open::NotAFile;
    }
    return Open::Opened;
}

bool syncToDisk(QFileDevice &, QString *)
{
    // QSaveFile flushes the file's buffers to the disk itself (FlushFileBuffers) when it commits.
    return true;
}

} // namespace RegularFile
