#pragma once

#include "FakeDialogs.h"
#include "FakeLauncher.h"
#include "app/AppContext.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <vector>

// A throw-away world for one test: program folder, settings file, instance lock, fake dialogs
// and launcher. Nothing touches the real user's files.
// True when this Windows build runs under Wine, whose collation and processes are not quite
// Windows' own.
bool runningUnderWine();

class TestEnv
{
public:
    TestEnv();

    AppContext context();
    QString programFolder() const { return m_dir.filePath(QStringLiteral("program")); }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("config/TanvicQuorvel.conf")); }
    QString lockPath() const { return m_dir.filePath(QStringLiteral("run/TanvicQuorvel.lock")); }
    QString wordBankPath() const { return programFolder() + QStringLiteral("/wb.dcb"); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &path, const QByteArray &bytes) const;
    QByteArray readFile(const QString &path) const;
    // Writes a file that exists but cannot be read, even by root. False when this system offers
    // no way to make one (the caller skips).
    bool writeUnreadableFile(const QString &path) const;

    FakeDialogs dialogs;
    FakeLauncher launcher;

private:
    QTemporaryDir m_dir;
#ifdef Q_OS_WIN
    // Files held open without sharing, as another program holding them would; closed before the
    // folder goes.
    struct HeldFiles
    {
        ~HeldFiles();
        std::vector<void *> handles;
    };
    mutable HeldFiles m_held;
#endif
};
