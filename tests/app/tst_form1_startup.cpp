// The main window's start-up and shutdown with a temporary program folder and settings file.
#include "TestEnv.h"

#include "app/Form1.h"
#include "import/BackgroundWork.h"
#include "wordlist/WordListModel.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryFile>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QSysInfo>
#include <QSettings>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>


namespace {
QString comboText(Form1 &form, const char *name)
{
    return form.findChild<QComboBox *>(QString::fromUtf8(name))->currentText();
}

QString countLabel(Form1 &form)
{
    return form.findChild<QLabel *>(QStringLiteral("Label2"))->text();
}

void setCombo(Form1 &form, const char *name, const QString &text)
{
    auto *box = form.findChild<QComboBox *>(QString::fromUtf8(name));
    box->setCurrentIndex(box->findText(text));
}

} // namespace

class TestForm1Startup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStart();
    void loadsTheBankAndRestoresSettings();
    void bankBeginningLikeAByteOrderMarkReadsBack();
    void storedValueTheBoxDoesNotOfferLeavesItAsDesigned();
    void secondInstanceStoresNothing();
    void crashedInstanceDoesNotBlockTheNext();
    void failedSaveKeepsTheOldBankAndOffersAnotherPlace();
    void unreadableBankIsNeverOverwritten();
    void bankReadInPartIsNeverOverwritten();
    void failedSettingsAreReported();
    void garbageSettingsFileIsReplacedSilently();
    void shutdownDuringTheStartupMessageEndsTheProgram();
    void shutdownWaitsForARunningStep();
    void unwritableProgramFolderIsToldAtStart();
};

void TestForm1Startup::firstStart()
{
    TestEnv env;
    {
        Form1 form(env.context());
        QSignalSpy ended(&form, &Form1::programEnded);
        form.Form_Load();
        QVERIFY(!form.isSecondInstance());
        QCOMPARE(form.wordList()->count(), 0);
        QCOMPARE(countLabel(form), QStringLiteral("词汇量:0"));
        QCOMPARE(comboText(form, "Combo1"), QStringLiteral("10"));
        QCOMPARE(comboText(form, "Combo2"), QStringLiteral("顺序"));
        form.close();
        QCOMPARE(ended.size(), 1);
    }
    QCOMPARE(env.readFile(env.wordBankPath()), QByteArray("\r\n"));
    QSettings settings(env.settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("10"));
    QCOMPARE(settings.value(QStringLiteral("设置/次序")).toString(), QStringLiteral("顺序"));
    QVERIFY(env.dialogs.messages.isEmpty());
}

void TestForm1Startup::loadsTheBankAndRestoresSettings()
{
    TestEnv env;
    // LF line ends are read as well; the bank is written back in the format.
    env.writeFile(env.wordBankPath(), QByteArray("apple  \xC6\xBB\xB9\xFB\nbook \xCA\xE9\n\nbook  \xCA\xE9\n\xB5\xA5\xB4\xCA\n"));
    {
        Form1 form(env.context());
        form.Form_Load();
        QCOMPARE(form.wordList()->count(), 3);
        QCOMPARE(countLabel(form), QStringLiteral("词汇量:3"));
        setCombo(form, "Combo1", QStringLiteral("25"));
        setCombo(form, "Combo2", QStringLiteral("随机"));
        form.close();
    }
    QCOMPARE(env.readFile(env.wordBankPath()),
             QByteArray("apple  \xC6\xBB\xB9\xFB\r\nbook  \xCA\xE9\r\n\xB5\xA5\xB4\xCA\r\n"));
    Form1 again(env.context());
    again.Form_Load();
    QCOMPARE(comboText(again, "Combo1"), QStringLiteral("25"));
    QCOMPARE(comboText(again, "Combo2"), QStringLiteral("随机"));
    QCOMPARE(again.wordList()->count(), 3);
}

void TestForm1Startup::bankBeginningLikeAByteOrderMarkReadsBack()
{
    // "锘縡" is EF BB BF 66 in GBK: the bytes of UTF-8's byte-order mark, then "f".
    TestEnv env;
    const QString word = QStringLiteral("锘縡");
    {
        Form1 form(env.context());
        form.Form_Load();
        form.wordList()->addEntry(word, QStringLiteral("义"));
        form.close();
    }
    Form1 again(env.context());
    again.Form_Load();
    QCOMPARE(again.wordList()->count(), 1);
    QCOMPARE(again.wordList()->entry(0).word, word);
}

void TestForm1Startup::storedValueTheBoxDoesNotOfferLeavesItAsDesigned()
{
    TestEnv env;
    {
        QSettings settings(env.settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("设置/延时"), QStringLiteral("abc"));
        settings.setValue(QStringLiteral("设置/次序"), QStringLiteral("倒序"));
    }
    Form1 form(env.context());
    form.Form_Load();
    QCOMPARE(comboText(form, "Combo1"), QStringLiteral("10"));
    QCOMPARE(comboText(form, "Combo2"), QStringLiteral("顺序"));
}

void TestForm1Startup::secondInstanceStoresNothing()
{
    TestEnv env;
    env.writeFile(env.wordBankPath(), "apple  x\r\n");
    Form1 first(env.context());
    first.Form_Load();

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

void TestForm1Startup::crashedInstanceDoesNotBlockTheNext()
{
    TestEnv env;
    // A lock file naming a process that no longer exists, as a crash leaves it.
#ifdef Q_OS_WIN
    const QByteArray host = qgetenv("COMPUTERNAME"); // the name QLockFile writes on Windows
#else
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
#endif
    env.writeFile(env.lockPath(), "999999\nTanvicQuorvel\n" + host + "\n");
    Form1 form(env.context());
    form.Form_Load();
    QVERIFY(!form.isSecondInstance());
}

void TestForm1Startup::failedSaveKeepsTheOldBankAndOffersAnotherPlace()
{
    TestEnv env;
    env.writeFile(env.wordBankPath(), "apple  x\r\n");
    const QString elsewhere = env.path(QStringLiteral("kept.txt"));
    env.dialogs.saveAnswers = {elsewhere};
    {
        Form1 form(env.context());
        form.Form_Load();
        form.wordList()->addEntry(QStringLiteral("book"), QStringLiteral("y"));
        // The bank's place becomes a folder: the save must fail without touching anything.
        QFile::remove(env.wordBankPath());
        QVERIFY(QDir().mkdir(env.wordBankPath()));
        form.close();
    }
    QVERIFY(QFileInfo(env.wordBankPath()).isDir());
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(env.dialogs.messages[0].text.contains(QStringLiteral("wb.dcb")));
    QCOMPARE(env.dialogs.saveRequests.size(), 1);
    QCOMPARE(env.readFile(elsewhere), QByteArray("apple  x\r\nbook  y\r\n"));
}

void TestForm1Startup::unreadableBankIsNeverOverwritten()
{
    TestEnv env;
    // Something stands at the bank's place that cannot be read as a file.
    QDir().mkpath(env.wordBankPath());
    {
        Form1 form(env.context());
        form.Form_Load();
        QCOMPARE(form.wordList()->count(), 0);
        QCOMPARE(env.dialogs.messages.size(), 1); // told at start-up
        form.close();
    }
    QCOMPARE(env.dialogs.messages.size(), 1);
    // With words added in the meantime, the user is offered another place for them.
    env.dialogs.saveAnswers = {env.path(QStringLiteral("kept.txt"))};
    {
        Form1 form(env.context());
        form.Form_Load();
        form.wordList()->addEntry(QStringLiteral("apple"), QString());
        form.close();
    }
    QVERIFY(QFileInfo(env.wordBankPath()).isDir());
    QCOMPARE(env.readFile(env.path(QStringLiteral("kept.txt"))), QByteArray("apple\r\n"));
}

void TestForm1Startup::bankReadInPartIsNeverOverwritten()
{
    // Memory runs out while the bank loads: saving what was read would lose the rest.
    TestEnv env;
    QByteArray bank;
    for (int i = 0; i < 100; ++i)
        bank += "word" + QByteArray::number(i) + "  \xC6\xBB\xB9\xFB\r\n";
    env.writeFile(env.wordBankPath(), bank);
    {
        Form1 form(env.context());
        form.wordList()->limitText(200);
        form.Form_Load();
        QVERIFY(form.wordList()->count() > 0);
        QVERIFY(form.wordList()->count() < 100);
        QCOMPARE(env.dialogs.messages.size(), 1); // told at start-up
        form.close();
    }
    QCOMPARE(env.readFile(env.wordBankPath()), bank);
}

void TestForm1Startup::failedSettingsAreReported()
{
    TestEnv env;
    // The settings file's folder is a file: the store cannot be written.
    env.writeFile(QFileInfo(env.settingsPath()).absolutePath(), "not a folder");
    Form1 form(env.context());
    form.Form_Load();
    form.close();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(env.dialogs.messages[0].text.contains(QStringLiteral("设置")));
    QCOMPARE(env.readFile(env.wordBankPath()), QByteArray("\r\n"));
}

void TestForm1Startup::garbageSettingsFileIsReplacedSilently()
{
    // Bytes of every value where the settings file should be: the defaults are used, and at exit
    // the file is written correctly, which is no failure to report.
    TestEnv env;
    QByteArray junk;
    for (int i = 0; i < 3000; ++i)
        junk += char((i * 7919 + i / 3) & 0xFF);
    env.writeFile(env.settingsPath(), junk);
    {
        Form1 form(env.context());
        form.Form_Load();
        setCombo(form, "Combo1", QStringLiteral("25"));
        form.close();
    }
    QVERIFY(env.dialogs.messages.isEmpty());
    QSettings settings(env.settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("设置/延时")).toString(), QStringLiteral("25"));
}

void TestForm1Startup::shutdownDuringTheStartupMessageEndsTheProgram()
{
    // A termination signal while the start-up warning is open: shutdown runs, and the window
    // never comes back afterwards (the event loop it asked to leave was not running yet).
    TestEnv env;
    QDir().mkpath(env.wordBankPath());
    Form1 form(env.context());
    QSignalSpy ended(&form, &Form1::programEnded);
    env.dialogs.onMessage = [&form](const FakeDialogs::Message &) { form.shutdown(); };
    form.Form_Load();
    QCOMPARE(ended.size(), 1);
    QVERIFY(form.hasEnded());
    form.showAtStart();
    QVERIFY(!form.isVisible());
}

void TestForm1Startup::shutdownWaitsForARunningStep()
{
    // A shutdown asked for while a file is being written (the window thread waits in its loop)
    // runs after the write, once, never in its middle.
    TestEnv env;
    Form1 form(env.context());
    form.Form_Load();
    QSignalSpy ended(&form, &Form1::programEnded);
    QSemaphore handled;
    BackgroundWork::run([&] {
        QMetaObject::invokeMethod(&form, [&form] { form.shutdown(); }, Qt::QueuedConnection);
        // Events are handled in order: once this one has run, so has the shutdown request.
        QMetaObject::invokeMethod(&form, [&handled] { handled.release(); }, Qt::QueuedConnection);
        handled.acquire();
    }, BackgroundWork::Step::MustFinish);
    QCOMPARE(ended.size(), 0);
    QTRY_COMPARE(ended.size(), 1);
    form.shutdown();
    QCoreApplication::processEvents();
    QCOMPARE(ended.size(), 1);
}

void TestForm1Startup::unwritableProgramFolderIsToldAtStart()
{
    TestEnv env;
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
    {
        Form1 form(context);
        form.Form_Load();
        QCOMPARE(env.dialogs.messages.size(), 1);
        QCOMPARE(env.dialogs.messages[0].icon, Dialogs::Icon::Warning);
        QVERIFY(env.dialogs.messages[0].text.contains(QDir::toNativeSeparators(context.programFolder)));
        form.wordList()->addEntry(QStringLiteral("apple"), QStringLiteral("x"));
        form.close();
    }
    // The exit-time failure is still reported, and another place offered.
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[1].icon, Dialogs::Icon::Critical);
    QCOMPARE(env.dialogs.saveRequests.size(), 1);
    QFile::setPermissions(env.programFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_MAIN(TestForm1Startup)
#include "tst_form1_startup.moc"
