#include "RegularFile.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

Open openForReading(const QString &path, QFile &file, QString *why)
{
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer; the
    // type is then checked on what was opened, not on the name, which may change meanwhile.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(strerror(errno));
        return Open::Failed;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Open::NotAFile;
    }
    // Reading a regular file never blocks; clear the flag all the same.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *why = file.errorString();
        return Open::Failed;
    }
    return Open::Opened;
}

bool syncToDisk(QFileDevice &file, QString *why)
{
    if (::fsync(file.handle()) == 0)
        return true;
    *why = QString::fromLocal8Bit(strerror(errno));
    return false;
}

} // namespace RegularFile
