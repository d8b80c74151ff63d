#include "InstanceLock.h"

#include "shell/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace InstanceLock {

QString defaultPath()
{
#ifdef Q_OS_WIN
    // %TEMP% would do for one user, but a reboot does not clear it.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!folder.isEmpty())
        folder = QDir(folder).filePath(AppInfo::title());
#else
    QString folder;
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)).filePath(AppInfo::title());
#endif
    if (folder.isEmpty())
        folder = QDir(QDir::homePath()).filePath(QStringLiteral(".") + AppInfo::title());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return QDir(folder).filePath(AppInfo::title() + QStringLiteral(".lock"));
}

std::unique_ptr<QLockFile> claim(const QString &path, bool *otherInstance)
{
    *otherInstance = false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto lock = std::make_unique<QLockFile>(path);
    // Never stale by age: a copy that has run for months still holds its lock.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    if (lock->error() != QLockFile::LockFailedError)
        return nullptr;
    // Qt takes over only a readable lock of this machine whose process has ended. Whatever else
    // the file says, the owner is alive only if it still holds the file: removing it fails then.
    if (lock->removeStaleLockFile() && lock->tryLock(0))
        return lock;
    *otherInstance = lock->error() == QLockFile::LockFailedError;
    return nullptr;
}

} // namespace InstanceLock
