#pragma once

#include <QString>

#include <functional>

namespace Module1 {

// The separator of the platform's paths: "\" on Windows, "/" elsewhere.
QChar pathSeparator();

// Makes a name fit to be one component of a path: drops \ / : * ? " < > | CR LF NUL, then leading
// and trailing dots, keeps at most 250 bytes as counted in code page 936 (a character that would
// straddle the limit is dropped whole), then trims spaces (U+0020 only) at both ends.
QString CleanFileName(const QString &name);

// Creates every missing folder along `path` (split at the platform's separator; component 0, the
// drive or the empty root, is kept as it is, every later one is cleaned by CleanFileName). The
// first `keep` characters of `path` are a base the system gave (such as the Programs folder):
// its folder names are kept as they are, only the ones after it are cleaned. Returns the path as
// built, or an empty string when nothing exists there afterwards. Failures are swallowed; the
// caller learns of them only through the empty result.
QString MakeFolderPath(const QString &path, qsizetype keep = 0);

// The file-system operations MakeFolderPath needs, so that the algorithm can be run against any
// separator and any file system.
struct FolderOps
{
    // True when a file or folder exists at the path; a path ending in the separator counts only
    // when the folder it names can be listed.
    std::function<bool(const QString &)> exists;
    // Creates one folder; failures are ignored.
    std::function<void(const QString &)> makeFolder;
};

QString makeFolderPathWith(const QString &path, QChar separator, const FolderOps &ops, qsizetype keep = 0);

// The real file system, paths written with `separator`.
FolderOps localFolderOps(QChar separator);

// Number of bytes `text` takes in code page 936 (characters outside it counted as their four-byte
// GB18030 form, which is how the program's files store them).
int cp936Length(const QString &text);

} // namespace Module1
