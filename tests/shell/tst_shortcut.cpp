#include "shell/AppInfo.h"
#include "shell/Shortcut.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {
const QString kName = QStringLiteral("TanvicQuorvel");
const QString kDescription = QStringLiteral("学习各种语言或者速记各种词汇的最佳工具！");

// The raw key=value lines of a desktop entry's main group.
QHash<QString, QString> readEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QHash<QString, QString> keys;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            keys.insert(line.left(eq), line.mid(eq + 1));
    }
    keys.insert(QStringLiteral("[group]"), lines.value(0));
    return keys;
}

// A program that writes its own path and argument count, each ended by NUL, to $QUORVEL_MARKER.
bool writeRecordingProgram(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\nprintf '%s\\0%s\\0' \"$0\" \"$#\" > \"$QUORVEL_MARKER\"\n");
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.desktop")}, QDir::Files);
}
} // namespace

class TestShortcut : public QObject
{
    Q_OBJECT
    QTemporaryDir m_data;
private Q_SLOTS:
    void initTestCase();
    void entryFields();
    void hostilePaths_data();
    void hostilePaths();
    void oneEntryAfterTwoWrites();
    void folderArgument();
};

void TestShortcut::initTestCase()
{
    // The icon theme's files go to the data folder: keep them in the test's own.
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
}

void TestShortcut::entryFields()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(u"bin/TanvicQuorvel"_qs);
    QVERIFY(QDir().mkpath(dir.filePath(u"bin"_qs)));
    QVERIFY(writeRecordingProgram(program));
    QString folder = dir.filePath(u"Tanvic软件"_qs);
    QVERIFY(QDir().mkpath(folder));

    Module1::MakeShortcut(kName, kDescription, program, folder);
    QCOMPARE(folder, dir.filePath(u"Tanvic软件/"_qs));

    const auto entry = readEntry(folder + kName + u".desktop"_qs);
    QCOMPARE(entry.value(u"[group]"_qs), u"[Desktop Entry]"_qs);
    QCOMPARE(entry.value(u"Type"_qs), u"Application"_qs);
    QCOMPARE(entry.value(u"Name"_qs), kName);
    QCOMPARE(entry.value(u"Comment"_qs), kDescription);
    QCOMPARE(entry.value(u"Exec"_qs), u"\""_qs + program + u"\""_qs);
    QCOMPARE(entry.value(u"TryExec"_qs), program);
    QCOMPARE(entry.value(u"Path"_qs), folder);
    // A theme icon name: every size lies in the user's hicolor theme, each drawn at that size.
    QCOMPARE(entry.value(u"Icon"_qs), kName);
    for (const int size : AppInfo::kIconSizes) {
        const QImage image(m_data.filePath(u"icons/hicolor/%1x%1/apps/"_qs.arg(size) + kName + u".png"_qs));
        QCOMPARE(image.size(), QSize(size, size));
    }

    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_qs);
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QProcess validate;
    validate.start(validator, {folder + kName + u".desktop"_qs});
    QVERIFY(validate.waitForFinished(10000));
    QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());
}

void TestShortcut::hostilePaths_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::newRow("spaces") << u"my programs"_qs;
    QTest::newRow("double quote") << u"say \"hi\""_qs;
    QTest::newRow("single quote") << u"it's"_qs;
    QTest::newRow("dollar") << u"$HOME ${PATH} $(touch INJECTED)"_qs;
    QTest::newRow("backtick") << u"`touch INJECTED`"_qs;
    QTest::newRow("backslash") << u"back\\slash\\\\ \\n"_qs;
    QTest::newRow("percent") << u"100% %f %u %%"_qs;
    QTest::newRow("equals") << u"a=b"_qs;
    QTest::newRow("shell punctuation") << u";&|<>~#*?()[]{}!"_qs;
    QTest::newRow("tab") << u"a\tb"_qs;
    QTest::newRow("line break") << u"a\nb\rc"_qs;
    QTest::newRow("Chinese") << u"单词 软件"_qs;
}

void TestShortcut::hostilePaths()
{
    QFETCH(QString, folderName);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString programFolder = dir.filePath(folderName);
    QVERIFY(QDir().mkpath(programFolder));
    const QString program = programFolder + u"/TanvicQuorvel"_qs;
    QVERIFY(writeRecordingProgram(program));
    QString folder = dir.filePath(u"applications/Tanvic软件"_qs);
    QVERIFY(QDir().mkpath(folder));

    Module1::MakeShortcut(kName, kDescription, program, folder);
    const QString entryPath = folder + kName + u".desktop"_qs;
    QVERIFY(QFileInfo::exists(entryPath));

    // What Exec names must be the program itself, or a link to it where the path cannot stand there.
    const QString exec = readEntry(entryPath).value(u"Exec"_qs);
    if (DesktopEntry::unfitAsExecProgram(program)) {
        QCOMPARE(exec, u"\""_qs + folder + kName + u"\""_qs);
        QCOMPARE(QFileInfo(folder + kName).symLinkTarget(), program);
    }

    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_qs);
    if (!validator.isEmpty()) {
        QProcess validate;
        validate.start(validator, {entryPath});
        QVERIFY(validate.waitForFinished(10000));
        QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());
    }

    // Launch it the way a GLib desktop does.
    const QString gio = QStandardPaths::findExecutable(u"gio"_qs);
    if (gio.isEmpty())
        QSKIP("gio is not installed");
    const QString marker = dir.filePath(u"marker"_qs);
    QProcess launch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QUORVEL_MARKER"_qs, marker);
    env.remove(u"DBUS_SESSION_BUS_ADDRESS"_qs);
    env.remove(u"DISPLAY"_qs);
    launch.setProcessEnvironment(env);
    launch.start(gio, {u"launch"_qs, entryPath});
    QVERIFY(launch.waitForFinished(10000));
    QVERIFY2(launch.exitCode() == 0, launch.readAllStandardError().constData());
    QElapsedTimer wait;
    wait.start();
    while (!QFileInfo::exists(marker) && wait.elapsed() < 5000)
        QThread::msleep(20);
    QThread::msleep(50);
    QFile result(marker);
    QVERIFY(result.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(result.readAll()).split(QChar(0));
    const QString started = lines.value(0);
    QVERIFY2(started == program || QFileInfo(started).symLinkTarget() == program, qPrintable(started));
    QCOMPARE(lines.value(1), u"0"_qs); // no arguments slipped in

    // Nothing in the path ran as a command.
    const QStringList injected = QDir(dir.path()).entryList({u"INJECTED"_qs}, QDir::AllEntries);
    QVERIFY(injected.isEmpty());
    QVERIFY(!QFileInfo::exists(folder + u"INJECTED"_qs));
}

void TestShortcut::oneEntryAfterTwoWrites()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString folder = dir.filePath(u"Tanvic软件/"_qs);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile(folder + kName + u".png"_qs).open(QIODevice::WriteOnly)); // an older version's icon
    const QString odd = dir.filePath(u"odd%dir/TanvicQuorvel"_qs);
    const QString plain = dir.filePath(u"plain/TanvicQuorvel"_qs);

    Module1::MakeShortcut(kName, kDescription, odd, folder);
    QVERIFY(QFileInfo(folder + kName).isSymLink());
    Module1::MakeShortcut(kName, kDescription, plain, folder);

    QCOMPARE(entriesIn(folder), QStringList{kName + u".desktop"_qs});
    // The link that stood in for the odd path is gone with it.
    QVERIFY(!QFileInfo(folder + kName).isSymLink());
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::System), QStringList{kName + u".desktop"_qs});
    QCOMPARE(readEntry(folder + kName + u".desktop"_qs).value(u"Exec"_qs), u"\""_qs + plain + u"\""_qs);
}

void TestShortcut::folderArgument()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The caller's folder gets its separator.
    QString folder = dir.path();
    Module1::MakeShortcut(kName, kDescription, u"/usr/bin/true"_qs, folder);
    QCOMPARE(folder, dir.path() + u"/"_qs);
    QVERIFY(QFileInfo::exists(folder + kName + u".desktop"_qs));

    // No folder (it could not be made): nothing is written anywhere, the variable stays empty.
    QString none;
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    Module1::MakeShortcut(u"Other"_qs, kDescription, u"/usr/bin/true"_qs, none);
    QDir::setCurrent(cwd);
    QCOMPARE(none, QString());
    QVERIFY(!QFileInfo::exists(u"/Other.desktop"_qs));
    QVERIFY(!QFileInfo::exists(dir.filePath(u"Other.desktop"_qs)));
}

QTEST_GUILESS_MAIN(TestShortcut)
#include "tst_shortcut.moc"
