// The word files beside the program: which names the word-file box lists, and reading one of them.
#include "TestEnv.h"

#include "import/WordFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestWordFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsTextFilesOnly_data();
    void listsTextFilesOnly();
    void missingFolderListsNothing();
    void missingFilesAndFolders_data();
    void missingFilesAndFolders();
    void unreadableFileIsReported();
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
    QString text = QStringLiteral("old");
    QCOMPARE(WordFiles::readFile(env.programFolder(), name, &text), WordFiles::ReadResult::Missing);
    QVERIFY(text.isEmpty());
}

void TestWordFiles::unreadableFileIsReported()
{
    TestEnv env;
    const QString path = QDir(env.programFolder()).filePath(QStringLiteral("locked.txt"));
    if (!env.writeUnreadableFile(path))
        QSKIP("no way to make a file unreadable here");
    QString text;
    QString error;
    QCOMPARE(WordFiles::readFile(env.programFolder(), QStringLiteral("locked.txt"), &text, &error),
             WordFiles::ReadResult::Unreadable);
    QVERIFY(!error.isEmpty());
    QVERIFY(text.isEmpty());
}

QTEST_GUILESS_MAIN(TestWordFiles)
#include "tst_wordfiles.moc"
