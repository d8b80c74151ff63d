// The single-instance lock: which lock files left behind are taken over.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "app/InstanceLock.h"

class TestInstanceLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void leftBehindLocks_data();
    void leftBehindLocks();
    void liveCopyKeepsItsLock();
    void lockFolderIsTheUsersOwn();
};

void TestInstanceLock::leftBehindLocks_data()
{
    QTest::addColumn<QByteArray>("content"); // "PID" stands for a live process of another program
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
                            + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' + host + '\n';
    QTest::newRow("empty (power cut)") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x01\xFFnot a lock\n\n\n\n");
    QTest::newRow("other host") << QByteArray("1\nTanvicQuorvel\nsomewhere-else\n");
    QTest::newRow("dead pid") << QByteArray("999999\nTanvicQuorvel\n" + host + '\n');
    QTest::newRow("live pid of another program") << QByteArray("PID\nsleep\n" + host + '\n');
    QTest::newRow("a live process named as it says, not holding the file") << self;
}

void TestInstanceLock::leftBehindLocks()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TanvicQuorvel.lock"));
    QProcess other;
    if (content.startsWith("PID")) {
#ifdef Q_OS_WIN
        QSKIP("needs a POSIX sleep");
#endif
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        content.replace("PID", QByteArray::number(other.processId()));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    bool otherInstance = true;
    const auto lock = InstanceLock::claim(path, &otherInstance);
    QVERIFY(lock);
    QVERIFY(!otherInstance);
    QVERIFY(lock->isLocked());
    other.kill();
    other.waitForFinished();
}

void TestInstanceLock::liveCopyKeepsItsLock()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TanvicQuorvel.lock"));
    bool otherInstance = true;
    const auto running = InstanceLock::claim(path, &otherInstance);
    QVERIFY(running && !otherInstance);
    QVERIFY(!InstanceLock::claim(path, &otherInstance));
    QVERIFY(otherInstance);
    QVERIFY(running->isLocked());
    QVERIFY(QFileInfo::exists(path));
}

void TestInstanceLock::lockFolderIsTheUsersOwn()
{
    QTemporaryDir home;
    qputenv("XDG_RUNTIME_DIR", QByteArray());
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    const QString path = InstanceLock::defaultPath();
    const QFileInfo folder(QFileInfo(path).absolutePath());
#ifndef Q_OS_WIN
    QVERIFY2(path.startsWith(home.path()), qPrintable(path));
    QCOMPARE(folder.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther | QFileDevice::ReadOther),
             QFileDevice::Permissions());
#else
    QVERIFY(!path.startsWith(QDir::tempPath()));
#endif
    QVERIFY(folder.isDir());
}

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
