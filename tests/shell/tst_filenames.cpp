#include "shell/FileNames.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Module1;

class TestFileNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanFileName_data();
    void cleanFileName();
    void byteLimitStraddle();
    void makeFolderPathBackslash_data();
    void makeFolderPathBackslash();
    void makeFolderPathOnDisk();
};

void TestFileNames::cleanFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const QString hundredChinese = QString(100, QChar(0x4E2D)); // 中

    QTest::newRow("forbidden characters") << u"a:b*c?.txt"_qs << u"abc.txt"_qs;
    QTest::newRow("every forbidden character")
        << QStringLiteral("\\/:*?\"<>|\r\n") + QChar(0) + QStringLiteral("\r") << QString();
    QTest::newRow("separators and line ends inside")
        << QStringLiteral("a\\b/c\r\nd\ne\rf") + QChar(0) + QStringLiteral("g") << u"abcdefg"_qs;
    QTest::newRow("dots at both ends") << u"...x..."_qs << u"x"_qs;
    QTest::newRow("dot behind leading space stays") << u" .x"_qs << u".x"_qs;
    QTest::newRow("dot before trailing space stays") << u"x. "_qs << u"x."_qs;
    QTest::newRow("only dots") << u"...."_qs << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("tabs and ideographic spaces are not trimmed")
        << QStringLiteral("\t\u3000x\u3000 ") << QStringLiteral("\t\u3000x\u3000");
    QTest::newRow("300 ASCII letters") << QString(300, u'a') << QString(250, u'a');
    QTest::newRow("200 Chinese characters")
        << hundredChinese + hundredChinese << QString(125, QChar(0x4E2D));
    QTest::newRow("Chinese after a character outside code page 936")
        << QStringLiteral("\U0001F600") + hundredChinese + hundredChinese
        << QStringLiteral("\U0001F600") + QString(123, QChar(0x4E2D));
    QTest::newRow("spaces trimmed after the cut")
        << QString(3, u' ') + QString(300, u'b') << QString(247, u'b');
    QTest::newRow("spaces left at the cut are trimmed")
        << QString(249, u'c') + QStringLiteral("  d") << QString(249, u'c');
}

void TestFileNames::cleanFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const QString original = name;
    QCOMPARE(CleanFileName(name), expected);
    QCOMPARE(name, original);
}

void TestFileNames::byteLimitStraddle()
{
    // One byte of room left for a double-byte character: it goes whole.
    const QString name = QStringLiteral("a") + QString(125, QChar(0x82F9)); // 苹
    const QString cleaned = CleanFileName(name);
    QCOMPARE(cleaned, QStringLiteral("a") + QString(124, QChar(0x82F9)));
    QCOMPARE(cp936Length(cleaned), 249);

    // Outside code page 936 a character counts as its four GB18030 bytes and is never split.
    const QString emoji = QStringLiteral("\U0001F600");
    QCOMPARE(cp936Length(emoji), 4);
    QCOMPARE(CleanFileName(QString(246, u'e') + emoji), QString(246, u'e') + emoji);
    QCOMPARE(CleanFileName(QString(247, u'e') + emoji + u"x"_qs), QString(247, u'e'));
    // Code page 936 keeps the euro sign in one byte (0x80).
    QCOMPARE(cp936Length(u"a中€"_qs), 4);
}

namespace {
// A file system on paper: folders by path without trailing backslash, some refusing children.
struct PaperDisk
{
    QSet<QString> folders;
    QSet<QString> refused;
    QStringList made;

    FolderOps ops()
    {
        FolderOps o;
        o.exists = [this](const QString &p) {
            QString q = p;
            if (q.endsWith(u'\\'))
                q.chop(1);
            return folders.contains(q);
        };
        o.makeFolder = [this](const QString &p) {
            const QString parent = p.left(p.lastIndexOf(u'\\'));
            if (!folders.contains(parent) || refused.contains(p))
                return;
            folders.insert(p);
            made.append(p);
        };
        return o;
    }
};
} // namespace

void TestFileNames::makeFolderPathBackslash_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("made");

    QTest::newRow("components cleaned, missing levels made")
        << QStringList{u"C:"_qs} << QStringList() << u"C:\\a:b\\c\\"_qs << u"C:\\ab\\c\\"_qs
        << QStringList{u"C:\\ab"_qs, u"C:\\ab\\c"_qs};
    QTest::newRow("all there: nothing made")
        << QStringList{u"C:"_qs, u"C:\\x"_qs, u"C:\\x\\y"_qs} << QStringList() << u"C:\\x\\y\\"_qs
        << u"C:\\x\\y\\"_qs << QStringList();
    QTest::newRow("last folder refused")
        << QStringList{u"C:"_qs, u"C:\\x"_qs} << QStringList{u"C:\\x\\y"_qs} << u"C:\\x\\y\\"_qs
        << QString() << QStringList();
    QTest::newRow("drive kept uncleaned, no trailing backslash")
        << QStringList{u"D:"_qs} << QStringList() << u"D:\\Tanvic软件"_qs << u"D:\\Tanvic软件"_qs
        << QStringList{u"D:\\Tanvic软件"_qs};
    QTest::newRow("forward slash is not a separator here")
        << QStringList{u"C:"_qs} << QStringList() << u"C:\\a/b\\"_qs << u"C:\\ab\\"_qs
        << QStringList{u"C:\\ab"_qs};
}

void TestFileNames::makeFolderPathBackslash()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, refused);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QFETCH(QStringList, made);
    PaperDisk disk;
    disk.folders = QSet<QString>(existing.begin(), existing.end());
    disk.refused = QSet<QString>(refused.begin(), refused.end());
    QCOMPARE(makeFolderPathWith(path, u'\\', disk.ops()), expected);
    QCOMPARE(disk.made, made);
}

void TestFileNames::makeFolderPathOnDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.path();
    const QChar sep = pathSeparator();
    const QString native = QDir::toNativeSeparators(base);

    QCOMPARE(MakeFolderPath(native + sep + u"a:b"_qs + sep + u"c"_qs + sep),
             native + sep + u"ab"_qs + sep + u"c"_qs + sep);
    QVERIFY(QFileInfo(base + u"/ab/c"_qs).isDir());
    // Again: everything exists, the same path comes back.
    QCOMPARE(MakeFolderPath(native + sep + u"ab"_qs + sep + u"c"_qs + sep),
             native + sep + u"ab"_qs + sep + u"c"_qs + sep);

    // A file in the way: no folder can be made beneath it.
    QFile file(base + u"/plain"_qs);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(MakeFolderPath(native + sep + u"plain"_qs + sep + u"sub"_qs + sep), QString());
    // A path naming the file itself counts as existing: files and folders alike.
    QCOMPARE(MakeFolderPath(native + sep + u"plain"_qs), native + sep + u"plain"_qs);
}

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
