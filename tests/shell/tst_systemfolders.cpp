#include "shell/SystemFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Module1;

class TestSystemFolders : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parseUserDirs_data();
    void parseUserDirs();
    void xdgFolders();
    void processEnvironment();
};

void TestSystemFolders::parseUserDirs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("home relative") << u"XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"_qs << u"DESKTOP"_qs << u"/h/桌面"_qs;
    QTest::newRow("absolute") << u"XDG_TEMPLATES_DIR=\"/srv/tpl\""_qs << u"TEMPLATES"_qs << u"/srv/tpl"_qs;
    QTest::newRow("disabled (home itself)") << u"XDG_DOCUMENTS_DIR=\"$HOME/\""_qs << u"DOCUMENTS"_qs << QString();
    QTest::newRow("comment ignored") << u"# XDG_DESKTOP_DIR=\"/x\""_qs << u"DESKTOP"_qs << QString();
    QTest::newRow("relative ignored") << u"XDG_DESKTOP_DIR=\"Desktop\""_qs << u"DESKTOP"_qs << QString();
    QTest::newRow("escaped quote") << u"XDG_MUSIC_DIR=\"$HOME/a\\\"b\""_qs << u"MUSIC"_qs << u"/h/a\"b"_qs;
}

void TestSystemFolders::parseUserDirs()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(Module1::parseUserDirs(text, u"/h"_qs).value(key), expected);
}

void TestSystemFolders::xdgFolders()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    XdgEnvironment env;
    env.home = dir.filePath(u"home"_qs);
    env.dataHome = dir.filePath(u"data"_qs);
    env.configHome = dir.filePath(u"config"_qs);
    env.cacheHome = dir.filePath(u"cache"_qs);
    env.tempDir = dir.filePath(u"tmp/"_qs);

    // Without a user-dirs file: the desktop is ~/Desktop, the other user folders are none.
    SystemFolders f = xdgSystemFolders(env);
    QCOMPARE(f.ProgramsDir, env.dataHome + u"/applications"_qs);
    QCOMPARE(f.StartMenuDir, env.dataHome + u"/applications"_qs);
    QCOMPARE(f.StartupDir, env.configHome + u"/autostart"_qs);
    QCOMPARE(f.FontsDir, env.dataHome + u"/fonts"_qs);
    QCOMPARE(f.InternetCacheDir, env.cacheHome);
    QCOMPARE(f.AppDataDir, env.dataHome);
    QCOMPARE(f.TempDir, dir.filePath(u"tmp"_qs)); // no trailing separator
    QCOMPARE(f.DesktopDir, env.home + u"/Desktop"_qs);
    QVERIFY(f.PersonalDir.isEmpty());
    QVERIFY(f.TemplatesDir.isEmpty());
    for (const QString *none : {&f.WindowsDir, &f.SystemDir, &f.SendToDir, &f.FavoritesDir, &f.RecentDir,
                                &f.NetHoodDir, &f.CookiesDir, &f.HistoryDir, &f.PrintHoodDir})
        QVERIFY(none->isEmpty());

    QVERIFY(QDir().mkpath(env.configHome));
    QFile userDirs(env.configHome + u"/user-dirs.dirs"_qs);
    QVERIFY(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DESKTOP_DIR=\"$HOME/\xe6\xa1\x8c\xe9\x9d\xa2\"\n"
                   "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
                   "XDG_TEMPLATES_DIR=\"$HOME/\"\n");
    userDirs.close();
    f = xdgSystemFolders(env);
    QCOMPARE(f.DesktopDir, env.home + u"/桌面"_qs);
    QCOMPARE(f.PersonalDir, env.home + u"/Docs"_qs);
    QVERIFY(f.TemplatesDir.isEmpty());
}

void TestSystemFolders::processEnvironment()
{
#ifdef Q_OS_WIN
    QSKIP("the XDG folders; Windows asks the shell, tested in tests/win32");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_DATA_HOME", dir.filePath(u"data"_qs).toUtf8());
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    LoadSystemFolders();
    QCOMPARE(systemFolders().ProgramsDir, dir.filePath(u"data/applications"_qs));
    QCOMPARE(systemFolders().StartupDir, QDir::homePath() + u"/.config/autostart"_qs);
    QVERIFY(!systemFolders().TempDir.endsWith(u'/'));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
}

QTEST_GUILESS_MAIN(TestSystemFolders)
#include "tst_systemfolders.moc"
