#pragma once

class QFile;
class QFileDevice;
class QString;

// What opening and writing a file needs from the system beyond Qt: one implementation per
// platform (RegularFile_posix.cpp, RegularFile_win.cpp).
namespace RegularFile {

enum class Open {
    Opened,
    NotAFile, // a folder, a pipe or a device: refused before a byte is read
    Failed,   // `why` says why
};

// Opens `path` for reading only when it is a regular file: a FIFO, a device (also behind a
// symbolic link, such as one to /dev/zero) or a folder is refused before a byte is read, so
// nothing can block the read or feed it without end.
Open openForReading(const QString &path, QFile &file, QString *why);

// Puts what was written to `file` on the disk itself, before it replaces the old file, so a power
// cut never leaves an empty word bank. False with the system's reason.
bool syncToDisk(QFileDevice &file, QString *why);

} // namespace RegularFile
