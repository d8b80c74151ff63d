// The main window's start-up and shutdown with a temporary program folder and settings file.
#include "MainWindow.h"

#include "app/InstanceLock.h"
#include "app/ProgramFolder.h"
#include "import/BackgroundWork.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QDir>
#include <QTemporaryFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QSettings>
#include <QSemaphore>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

// Makes a file read-only for this user; root ignores permissions on Linux, not the immutable flag.
static bool makeReadOnly(const QString &path, bool readOnly = true)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | (readOnly ? QFileDevice::Permissions() : QFileDevice::WriteOwner));
#ifdef Q_OS_LINUX
    if (const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY); fd >= 0) {
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0)
            flags = readOnly ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        ::close(fd);
    }
#endif
    return QFileInfo(path).isWritable() != readOnly;
}

class TestForm1Startup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStart();
    void loadsTheBankAndRestoresSettings();
    void bankBeginningLikeAByteOrderMarkReadsBack();
    void storedValueTheBoxDoesNotOfferLeavesItAsDesigned();
    void secondInstanceStoresNothing();
    void crashedInstanceDoesNotBlockTheNext_data();
    void crashedInstanceDoesNotBlockTheNext();
    void lockLivesInTheUsersOwnFolder();
    void failedSaveKeepsTheOldBankAndOffersAnotherPlace();
    void unreadableBankIsNeverOverwritten();
    void bankReadInPartIsNeverOverwritten();
    void failedSettingsAreReported();
    void garbageSettingsFileIsReplacedSilently();
    void shutdownDuringTheStartupMessageEndsTheProgram();
    void shutdownWaitsForARunningStep();
    void unwritableProgramFolderIsToldAtStart();
    void readOnlyBankIsNamedAtStart();
    void decliningTheRescueIsAskedOnce();
    void sessionEndQuestionSavesAndRunsOn();
};

void TestForm1Startup::firstStart()
{
    MainWindow w;
    QSignalSpy ended(&w.create(), &Form1::programEnded);
    w.start();
    QVERIFY(!w->isSecondInstance());
    QCOMPARE(w->wordList()->count(), 0);
    QCOMPARE(w.countText(), QStringLiteral("词汇量:0"));
    QCOMPARE(w.comboText("Combo1"), QStringLiteral("10"));
    QCOMPARE(w.comboText("Combo2"), QStringLiteral("顺序"));
    w->close();
    QCOMPARE(ended.size(), 1);
    QCOMPARE(w.env.readFile(w.env.wordBankPath()), QByteArray("\r\n"));
    QSettings settings(w.env.settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("10"));
    QCOMPARE(settings.value(QStringLiteral("设置/次序")).toString(), QStringLiteral("顺序"));
    QVERIFY(w.env.dialogs.messages.isEmpty());
}

void TestForm1Startup::loadsTheBankAndRestoresSettings()
{
    MainWindow w;
    // LF line ends are read as well. A list the session did not change leaves the bank as it was;
    // a changed one is written in the format.
    const QByteArray original("apple  \xC6\xBB\xB9\xFB\nbook \xCA\xE9\n\nbook  \xCA\xE9\n\xB5\xA5\xB4\xCA\n");
    w.env.writeFile(w.env.wordBankPath(), original);
    w.start();
    QCOMPARE(w->wordList()->count(), 3);
    QCOMPARE(w.countText(), QStringLiteral("词汇量:3"));
    w.choose("Combo1", QStringLiteral("25"));
    w.choose("Combo2", QStringLiteral("随机"));
    QCOMPARE(w.closeAndReadBank(), original);
    w.start();
    QCOMPARE(w.comboText("Combo1"), QStringLiteral("25"));
    QCOMPARE(w.comboText("Combo2"), QStringLiteral("随机"));
    QCOMPARE(w->wordList()->count(), 3);
    w->wordList()->addEntry(u"cat", u"\u732B");
    QCOMPARE(w.closeAndReadBank(),
             QByteArray("apple  \xC6\xBB\xB9\xFB\r\nbook  \xCA\xE9\r\n\xB5\xA5\xB4\xCA\r\ncat  \xC3\xA8\r\n"));
}

void TestForm1Startup::bankBeginningLikeAByteOrderMarkReadsBack()
{
    // "锘縡" is EF BB BF 66 in GBK: the bytes of UTF-8's byte-order mark, then "f".
    MainWindow w;
    const QString word = QStringLiteral("锘縡");
    w.start().wordList()->addEntry(word, QStringLiteral("义"));
    w.restart();
    QCOMPARE(w->wordList()->count(), 1);
    QCOMPARE(w->wordList()->entry(0).word, word);
}

void TestForm1Startup::storedValueTheBoxDoesNotOfferLeavesItAsDesigned()
{
    MainWindow w;
    {
        QSettings settings(w.env.settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("设置/延时"), QStringLiteral("abc"));
        settings.setValue(QStringLiteral("设置/次序"), QStringLiteral("倒序"));
    }
    w.start();
    QCOMPARE(w.comboText("Combo1"), QStringLiteral("10"));
    QCOMPARE(w.comboText("Combo2"), QStringLiteral("顺序"));
}

void TestForm1Startup::secondInstanceStoresNothing()
{
    MainWindow w;
    TestEnv &env = w.env;
    env.writeFile(env.wordBankPath(), "apple  x\r\n");
    Form1 &first = w.start();

    Form1 second(env.context());
    QSignalSpy ended(&second, &Form1::programEnded);
    second.Form_Load();
    QVERIFY(second.isSecondInstance());
    QCOMPARE(second.wordList()->count(), 0);
    second.showAtStart();
    QVERIFY(!second.isVisible());
    // Timer2 ends it about 300 ms later, storing nothing.
    QVERIFY(ended.wait(2000));
    QVERIFY(!QFileInfo::exists(env.settingsPath()));
    QCOMPARE(env.readFile(env.wordBankPath()), QByteArray("apple  x\r\n"));
    QCOMPARE(first.wordList()->count(), 1);
}

void TestForm1Startup::crashedInstanceDoesNotBlockTheNext_data()
{
    // Lock files no live copy holds: all are taken over (empty and garbage ones: tst_e2e_wordbank).
#ifdef Q_OS_WIN
    const QByteArray host = qgetenv("COMPUTERNAME"); // the name QLockFile writes on Windows
#else
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
#endif
    const QByteArray self = QCoreApplication::applicationFilePath().section(u'/', -1).toUtf8();
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("dead pid, as a crash leaves it") << "999999\nTanvicQuorvel\n" + host + "\n";
    QTest::newRow("other host") << QByteArray("1\nTanvicQuorvel\nsomewhere-else\n");
    QTest::newRow("live process of this name (pid reused)")
        << QByteArray::number(QCoreApplication::applicationPid()) + '\n' + self + '\n' + host + '\n';
}

void TestForm1Startup::crashedInstanceDoesNotBlockTheNext()
{
    QFETCH(QByteArray, lock);
    MainWindow w;
    w.env.writeFile(w.env.lockPath(), lock);
    QVERIFY(!w.start().isSecondInstance());
}

void TestForm1Startup::lockLivesInTheUsersOwnFolder()
{
    QTemporaryDir home;
    qunsetenv("XDG_RUNTIME_DIR"); // not the shared temporary folder then
    qputenv("XDG_CACHE_HOME", home.path().toUtf8());
    const QFileInfo folder(QFileInfo(InstanceLock::defaultPath()).absolutePath());
    QVERIFY(folder.isDir());
    QVERIFY(!folder.absoluteFilePath().startsWith(QDir::tempPath()) || folder.absoluteFilePath().startsWith(home.path()));
#ifndef Q_OS_WIN // Windows' folders in the user's profile are the user's own; Qt shows no owner bits there
    QCOMPARE(folder.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther), QFileDevice::Permissions());
#endif
}

void TestForm1Startup::failedSaveKeepsTheOldBankAndOffersAnotherPlace()
{
    MainWindow w;
    TestEnv &env = w.env;
    env.writeFile(env.wordBankPath(), "apple  x\r\n");
    const QString elsewhere = env.path(QStringLiteral("kept.txt"));
    env.dialogs.saveAnswers = {elsewhere};
    w.start().wordList()->addEntry(QStringLiteral("book"), QStringLiteral("y"));
    // The bank's place becomes a folder: the save must fail without touching anything.
    QFile::remove(env.wordBankPath());
    QVERIFY(QDir().mkdir(env.wordBankPath()));
    w->close();
    QVERIFY(QFileInfo(env.wordBankPath()).isDir());
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(env.dialogs.messages[0].text.contains(QStringLiteral("wb.dcb")));
    QCOMPARE(env.dialogs.saveRequests.size(), 1);
    QCOMPARE(env.dialogs.saveRequests[0].folder, ProgramFolder::documentsFolder()); // not the refusing one
    QCOMPARE(env.readFile(elsewhere), QByteArray("apple  x\r\nbook  y\r\n"));
}

void TestForm1Startup::unreadableBankIsNeverOverwritten()
{
    MainWindow w;
    TestEnv &env = w.env;
    // Something stands at the bank's place that cannot be read as a file.
    QDir().mkpath(env.wordBankPath());
    QCOMPARE(w.start().wordList()->count(), 0);
    QCOMPARE(env.dialogs.messages.size(), 1); // told at start-up
    w->close();
    QCOMPARE(env.dialogs.messages.size(), 1);
    // With words added in the meantime, the user is offered another place for them.
    env.dialogs.saveAnswers = {env.path(QStringLiteral("kept.txt"))};
    w.restart().wordList()->addEntry(QStringLiteral("apple"), QString());
    w->close();
    QVERIFY(QFileInfo(env.wordBankPath()).isDir());
    QCOMPARE(env.readFile(env.path(QStringLiteral("kept.txt"))), QByteArray("apple\r\n"));
}

void TestForm1Startup::bankReadInPartIsNeverOverwritten()
{
    // Memory runs out while the bank loads: saving what was read would lose the rest.
    MainWindow w;
    QByteArray bank;
    for (int i = 0; i < 100; ++i)
        bank += "word" + QByteArray::number(i) + "  \xC6\xBB\xB9\xFB\r\n";
    w.env.writeFile(w.env.wordBankPath(), bank);
    w.create().wordList()->limitText(200);
    w.start();
    QVERIFY(w->wordList()->count() > 0);
    QVERIFY(w->wordList()->count() < 100);
    QCOMPARE(w.env.dialogs.messages.size(), 1); // told at start-up
    QCOMPARE(w.closeAndReadBank(), bank);
}

void TestForm1Startup::failedSettingsAreReported()
{
    MainWindow w;
    // The settings file's folder is a file: the store cannot be written.
    w.env.writeFile(QFileInfo(w.env.settingsPath()).absolutePath(), "not a folder");
    w.start();
    Module1::ImportWordPairs(QStringLiteral("apple  苹果\r\n"), *w->wordList());
    // No message stands between the words and the disk: while the box is up, the bank is written.
    QByteArray bankWhileAsked;
    w.env.dialogs.onMessage = [&](const FakeDialogs::Message &) {
        bankWhileAsked = w.env.readFile(w.env.wordBankPath());
    };
    QCOMPARE(w.closeAndReadBank(), QByteArray("apple  \xC6\xBB\xB9\xFB\r\n"));
    QCOMPARE(bankWhileAsked, QByteArray("apple  \xC6\xBB\xB9\xFB\r\n"));
    QCOMPARE(w.env.dialogs.messages.size(), 1);
    QVERIFY(w.env.dialogs.messages[0].text.contains(QStringLiteral("设置")));
}

void TestForm1Startup::garbageSettingsFileIsReplacedSilently()
{
    // Bytes of every value where the settings file should be: the defaults are used, and at exit
    // the file is written correctly, which is no failure to report.
    MainWindow w;
    QByteArray junk;
    for (int i = 0; i < 3000; ++i)
        junk += char((i * 7919 + i / 3) & 0xFF);
    w.env.writeFile(w.env.settingsPath(), junk);
    w.start();
    w.choose("Combo1", QStringLiteral("25"));
    w->close();
    QVERIFY(w.env.dialogs.messages.isEmpty());
    QSettings settings(w.env.settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("25"));
}

void TestForm1Startup::shutdownDuringTheStartupMessageEndsTheProgram()
{
    // A termination signal while the start-up warning is open: shutdown runs, and the window
    // never comes back afterwards (the event loop it asked to leave was not running yet).
    MainWindow w;
    QDir().mkpath(w.env.wordBankPath());
    Form1 &form = w.create();
    QSignalSpy ended(&form, &Form1::programEnded);
    w.env.dialogs.onMessage = [&form](const FakeDialogs::Message &) { form.shutdown(); };
    w.start();
    QCOMPARE(ended.size(), 1);
    QVERIFY(form.hasEnded());
    form.showAtStart();
    QVERIFY(!form.isVisible());
}

void TestForm1Startup::shutdownWaitsForARunningStep()
{
    // A shutdown asked for while a file is being written (the window thread waits in its loop)
    // runs after the write, once, never in its middle.
    MainWindow w;
    Form1 &form = w.start();
    QSignalSpy ended(&form, &Form1::programEnded);
    QSemaphore handled;
    const bool finished = BackgroundWork::run([&] {
        QMetaObject::invokeMethod(&form, [&form] { form.shutdown(); }, Qt::QueuedConnection);
        // Events are handled in order: once this one has run, so has the shutdown request.
        QMetaObject::invokeMethod(&form, [&handled] { handled.release(); }, Qt::QueuedConnection);
        handled.acquire();
    }, BackgroundWork::Step::MustFinish);
    QVERIFY(finished);
    QCOMPARE(ended.size(), 0);
    QTRY_COMPARE(ended.size(), 1);
    form.shutdown();
    QCoreApplication::processEvents();
    QCOMPARE(ended.size(), 1);
}

void TestForm1Startup::unwritableProgramFolderIsToldAtStart()
{
    MainWindow w;
    TestEnv &env = w.env;
    AppContext context = env.context();
    // A folder this user may not write to; permissions do not stop root, /proc does.
    QDir().mkpath(env.programFolder());
    QFile::setPermissions(env.programFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QTemporaryFile(env.programFolder() + QStringLiteral("/probe-XXXXXX")).open()) {
#ifdef Q_OS_LINUX
        context.programFolder = QStringLiteral("/proc/self");
#else
        if (!runningUnderWine())
            QSKIP("this user may write to any folder");
        context.programFolder = QStringLiteral("Z:/proc/self"); // Wine's Z: is the root folder
#endif
    }
    w.create(context);
    w.start();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Warning);
    QVERIFY(env.dialogs.messages[0].text.contains(QDir::toNativeSeparators(context.programFolder)));
    w->wordList()->addEntry(QStringLiteral("apple"), QStringLiteral("x"));
    w->close();
    // The exit-time failure is still reported, and another place offered.
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[1].icon, Dialogs::Icon::Critical);
    QCOMPARE(env.dialogs.saveRequests.size(), 1);
    QFile::setPermissions(env.programFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestForm1Startup::readOnlyBankIsNamedAtStart()
{
    MainWindow w;
    w.env.writeFile(w.env.wordBankPath(), "apple  x\r\n");
    if (!makeReadOnly(w.env.wordBankPath()))
        QSKIP("no way to make a file read-only for this user here");
    const auto restore = qScopeGuard([&] { makeReadOnly(w.env.wordBankPath(), false); });
    w.start();
    QCOMPARE(w.env.dialogs.messages.size(), 1);
    QCOMPARE(w.env.dialogs.messages[0].text, ProgramFolder::readOnlyBankMessage(w.env.wordBankPath()));
}

void TestForm1Startup::decliningTheRescueIsAskedOnce()
{
    MainWindow w;
    TestEnv &env = w.env;
    // Cancel, go back to the dialog, save; next time cancel and quit without saving.
    env.dialogs.saveAnswers = {QString(), env.path(QStringLiteral("kept.txt"))};
    env.dialogs.askAnswers = {false, true};
    for (int run = 1; run <= 2; ++run) {
        (run == 1 ? w.start() : w.restart()).wordList()->addEntry(QStringLiteral("book"), QStringLiteral("y"));
        QDir().mkpath(env.wordBankPath()); // the save fails
        w->close();
        QCOMPARE(env.dialogs.questions.size(), run);
    }
    QCOMPARE(env.dialogs.saveRequests.size(), 3);
    QCOMPARE(env.readFile(env.path(QStringLiteral("kept.txt"))), QByteArray("book  y\r\n"));
}

void TestForm1Startup::sessionEndQuestionSavesAndRunsOn()
{
    MainWindow w;
    QSignalSpy ended(&w.create(), &Form1::programEnded);
    w.start().wordList()->addEntry(QStringLiteral("apple"), QStringLiteral("x"));
    w.choose("Combo1", QStringLiteral("25"));
    w->saveForSessionEnd();
    QCOMPARE(w.env.readFile(w.env.wordBankPath()), QByteArray("apple  x\r\n"));
    QCOMPARE(QSettings(w.env.settingsPath(), QSettings::IniFormat).value(QStringLiteral("设置/延时")).toString(), QStringLiteral("25"));
    // The sign-out may still be cancelled: the program runs on.
    QVERIFY(!w->hasEnded());
    QCOMPARE(ended.size(), 0);
}

QTEST_MAIN(TestForm1Startup)
#include "tst_form1_startup.moc"
