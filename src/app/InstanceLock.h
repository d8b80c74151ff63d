#pragma once

#include <QString>

#include <memory>

class QLockFile;

// The lock that keeps the program to one running copy per user.
namespace InstanceLock {

// Where the lock lives: a folder only this user can write to (the per-user runtime folder where
// the system sets one, else a folder of the program's own with owner-only access in the user's
// cache; the user's local application data on Windows), so no one else can plant a lock there.
QString defaultPath();

// Takes the lock at `path`. A lock file whose owner does not hold it any more is taken over,
// whatever it says: empty (a power cut), garbage, written on another machine, naming a process
// that has ended or is some other program. Only a live copy of the program holds the file open
// (and, on POSIX, locked), and the system refuses to remove it while it does: then
// `*otherInstance` is true and nothing is returned. A folder that cannot be written returns
// nothing with `*otherInstance` false, so it never keeps the program from starting.
std::unique_ptr<QLockFile> claim(const QString &path, bool *otherInstance);

} // namespace InstanceLock
