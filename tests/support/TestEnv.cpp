#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#ifdef Q_OS_WIN
TestEnv::HeldFiles::~HeldFiles()
{
    for (void *h : handles)
        CloseHandle(h);
}
#endif

bool runningUnderWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

TestEnv::TestEnv()
{
    QDir().mkpath(programFolder());
    // Anything the program asks the desktop for (XDG folders) stays inside the test's folder.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
}

AppContext TestEnv::context()
{
    return AppContext{.programFolder = programFolder(),
                      .executablePath = programFolder() + QStringLiteral("/TanvicQuorvel"),
                      .settingsPath = settingsPath(),
                      .instanceLockPath = lockPath(),
                      .dialogs = dialogs,
                      .launcher = launcher};
}

void TestEnv::writeFile(const QString &path, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TestEnv::readFile(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TestEnv::writeUnreadableFile(const QString &path) const
{
    writeFile(path, "apple  x\r\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (!QFile(path).open(QIODevice::ReadOnly))
        return true;
#ifdef Q_OS_WIN
    // Held open by someone who shares it with nobody, as an editor may hold a document.
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                                 GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_held.handles.push_back(h);
    return !QFile(path).open(QIODevice::ReadOnly);
#endif
    // Permissions do not stop root: a link to a file whose reading fails does.
    if (!QFileInfo::exists(QStringLiteral("/proc/self/mem")))
        return false;
    QFile::remove(path);
    return QFile::link(QStringLiteral("/proc/self/mem"), path);
}
