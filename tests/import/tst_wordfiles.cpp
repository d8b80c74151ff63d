// The word files beside the program: which names the word-file box lists, and the one-click
// import of one of them.
#include "TestEnv.h"

#include "import/WordFiles.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTest>

class TestWordFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsTextFilesOnly_data();
    void listsTextFilesOnly();
    void missingFolderListsNothing();
    void importAddsOnceAndKeepsOrder();
    void importReadsEveryEncoding();
    void missingFilesAndFolders_data();
    void missingFilesAndFolders();
    void unreadableFileChangesNothing();
};

void TestWordFiles::listsTextFilesOnly_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("none") << QStringList() << QStringList() << QStringList();
    QTest::newRow("word bank only") << QStringList{QStringLiteral("wb.dcb")} << QStringList() << QStringList();
    QTest::newRow("several, case-insensitive order")
        << QStringList{QStringLiteral("b.txt"), QStringLiteral("A.txt"), QStringLiteral("c.TXT"),
                       QStringLiteral("常用.txt"), QStringLiteral("wb.dcb"), QStringLiteral("notes.md"),
                       QStringLiteral("x.txt.bak"), QStringLiteral("txt")}
        << QStringList()
        << QStringList{QStringLiteral("A.txt"), QStringLiteral("b.txt"), QStringLiteral("c.TXT"),
                       QStringLiteral("常用.txt")};
    QTest::newRow("folders and hidden files are not word files")
        << QStringList{QStringLiteral("words.txt"), QStringLiteral(".hidden.txt")}
        << QStringList{QStringLiteral("folder.txt"), QStringLiteral("sub")}
        << QStringList{QStringLiteral("words.txt")};
    QTest::newRow("names with spaces")
        << QStringList{QStringLiteral("my words.txt"), QStringLiteral("My  Words 2.txt")} << QStringList()
        << QStringList{QStringLiteral("My  Words 2.txt"), QStringLiteral("my words.txt")};
}

void TestWordFiles::listsTextFilesOnly()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, expected);
    TestEnv env;
    for (const QString &f : files)
        env.writeFile(QDir(env.programFolder()).filePath(f), "apple  x\r\n");
    for (const QString &f : folders)
        QDir(env.programFolder()).mkpath(f);
    QCOMPARE(WordFiles::list(env.programFolder()), expected);
}

void TestWordFiles::missingFolderListsNothing()
{
    TestEnv env;
    QCOMPARE(WordFiles::list(env.path(QStringLiteral("gone"))), QStringList());
    QCOMPARE(WordFiles::list(QString()), QStringList());
}

void TestWordFiles::importAddsOnceAndKeepsOrder()
{
    TestEnv env;
    env.writeFile(QDir(env.programFolder()).filePath(QStringLiteral("w.txt")),
                  TextFile::encode(QStringLiteral("apple  苹果\r\nbook 书\r\n\r\napple  苹果\r\n")));
    WordListModel list;
    list.addEntry(QStringLiteral("cat"), QStringLiteral("猫"));
    QCOMPARE(WordFiles::importFile(env.programFolder(), QStringLiteral("w.txt"), list), WordFiles::ImportResult::Imported);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.entry(0).word, QStringLiteral("cat"));
    QCOMPARE(list.entry(1).word, QStringLiteral("apple"));
    QCOMPARE(list.entry(2).meaning, QStringLiteral("书"));
    // A second import of the same file adds nothing and is still a success.
    QCOMPARE(WordFiles::importFile(env.programFolder(), QStringLiteral("w.txt"), list), WordFiles::ImportResult::Imported);
    QCOMPARE(list.count(), 3);
}

void TestWordFiles::importReadsEveryEncoding()
{
    // GBK, UTF-8 with LF line ends, UTF-8 with a byte-order mark and UTF-16: the same two entries.
    QStringEncoder gbk("GBK");
    const QString text = QStringLiteral("apple  苹果\r\n冰淇淋 ice cream\r\n");
    QStringEncoder utf16(QStringConverter::Utf16LE);
    const QList<QByteArray> variants{gbk.encode(text), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8(),
                                     "\xEF\xBB\xBF" + text.toUtf8(), "\xFF\xFE" + QByteArray(utf16.encode(text))};
    for (const QByteArray &bytes : variants) {
        TestEnv env;
        env.writeFile(QDir(env.programFolder()).filePath(QStringLiteral("w.txt")), bytes);
        WordListModel list;
        QCOMPARE(WordFiles::importFile(env.programFolder(), QStringLiteral("w.txt"), list), WordFiles::ImportResult::Imported);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.entry(0).meaning, QStringLiteral("苹果"));
        QCOMPARE(list.entry(1).word, QStringLiteral("冰淇淋 ice"));
        QCOMPARE(list.entry(1).meaning, QStringLiteral("cream"));
    }
}

void TestWordFiles::missingFilesAndFolders_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("deleted file") << QStringLiteral("gone.txt");
    QTest::newRow("folder of that name") << QStringLiteral("folder.txt");
    QTest::newRow("path out of the folder") << QStringLiteral("../outside.txt");
    QTest::newRow("parent folder") << QStringLiteral("..");
}

void TestWordFiles::missingFilesAndFolders()
{
    QFETCH(QString, name);
    TestEnv env;
    QDir(env.programFolder()).mkpath(QStringLiteral("folder.txt"));
    env.writeFile(env.path(QStringLiteral("outside.txt")), "apple  x\r\n");
    WordListModel list;
    list.addEntry(QStringLiteral("cat"), QStringLiteral("猫"));
    QCOMPARE(WordFiles::importFile(env.programFolder(), name, list), WordFiles::ImportResult::Missing);
    QCOMPARE(list.count(), 1);
}

void TestWordFiles::unreadableFileChangesNothing()
{
    TestEnv env;
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("locked.txt"));
    env.writeFile(path, "apple  x\r\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (QFile(path).open(QIODevice::ReadOnly)) {
        // Permissions do not stop this user (root): a file whose reading fails does.
        if (!QFileInfo::exists(QStringLiteral("/proc/self/mem")))
            QSKIP("no way to make a file unreadable here");
        QFile::remove(path);
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    }
    WordListModel list;
    list.addEntry(QStringLiteral("cat"), QStringLiteral("猫"));
    QString error;
    QCOMPARE(WordFiles::importFile(env.programFolder(), QStringLiteral("locked.txt"), list, &error),
             WordFiles::ImportResult::Unreadable);
    QVERIFY(!error.isEmpty());
    QCOMPARE(list.count(), 1);
}

QTEST_GUILESS_MAIN(TestWordFiles)
#include "tst_wordfiles.moc"
