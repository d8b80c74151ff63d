// Loading and saving text files: encodings, line ends, damaged bytes, atomic replacement.
#include "FileBytes.h"
#include "FailDevice.h"
#include "text/GbkCodec.h"
#include "app/TerminationSignals.h"
#include "wordlist/TextFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
bool runs(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodes_data();
    void decodes();
    void damagedBytesNeverStopTheRead();
    void everyGbkCharacterRoundTrips();
    void charactersOutsideGbkAreKept();
    void writeReplacesAtomically();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void failingDeviceIsReported_data();
    void failingDeviceIsReported();
    void readFailures();
    void refusesHostileFiles_data();
    void refusesHostileFiles();
};

void TestTextFile::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    const QString apple = u"apple  苹果\r\n"_qs;
    using E = TextFile::Encoding;
    QTest::newRow("GBK") << gbk(apple) << apple << int(E::Gbk);
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + apple.toUtf8() << apple << int(E::Utf8Bom);
    QTest::newRow("UTF-8 without BOM") << apple.toUtf8() << apple << int(E::Utf8);
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(apple.utf16()), apple.size() * 2)
                               << apple << int(E::Utf16LE);
    QByteArray be("\xFE\xFF");
    for (QChar c : apple)
        be += char(c.unicode() >> 8), be += char(c.unicode() & 0xFF);
    QTest::newRow("UTF-16 BE") << be << apple << int(E::Utf16BE);
    // Saved as "Unicode" by a tool that writes no byte-order mark: the zero bytes tell.
    QTest::newRow("UTF-16 LE without BOM")
        << QByteArray(reinterpret_cast<const char *>(apple.utf16()), apple.size() * 2) << apple << int(E::Utf16LE);
    QTest::newRow("UTF-16 BE without BOM") << be.sliced(2) << apple << int(E::Utf16BE);
    QTest::newRow("UTF-16 halves of pairs") << QByteArray("\xFF\xFE\x3D\xD8\x41\x00\x00\xDE\x3D\xD8\x00\xDE", 12)
                                            << u"\uFFFDA\uFFFD\U0001F600"_qs << int(E::Utf16LE);
    QTest::newRow("ASCII is GBK") << QByteArray("a  b\r\n") << u"a  b\r\n"_qs << int(E::Gbk);
    // Valid UTF-8 by accident but too short to tell: stays GBK (C3 A9 is 茅 in GBK).
    QTest::newRow("short ambiguous text stays GBK") << QByteArray("caf\xC3\xA9") << u"caf茅"_qs << int(E::Gbk);
    QTest::newRow("accented UTF-8 text with Chinese") << u"café  咖啡"_qs.toUtf8() << u"café  咖啡"_qs << int(E::Utf8);
    QTest::newRow("one Chinese character in UTF-8") << u"cat  猫\r\n"_qs.toUtf8() << u"cat  猫\r\n"_qs << int(E::Utf8);
    // Real Chinese in GBK whose bytes happen to be valid UTF-8 as well (CE AA CA B2 C3 B4).
    QTest::newRow("GBK that is valid UTF-8: one line") << gbk(u"why  为什么\r\n"_qs) << u"why  为什么\r\n"_qs << int(E::Gbk);
    QTest::newRow("GBK that is valid UTF-8: two lines") << gbk(u"hill  小山\r\nschool  学校\r\n"_qs)
                                                        << u"hill  小山\r\nschool  学校\r\n"_qs << int(E::Gbk);
    QTest::newRow("accented letters alone are no evidence") << QByteArray("na\xC3\xAFve") << u"na\u8302ve"_qs << int(E::Gbk);
    QTest::newRow("GBK text that is not UTF-8") << gbk(u"中文放弃"_qs) << u"中文放弃"_qs << int(E::Gbk);
    QTest::newRow("overlong UTF-8 is not UTF-8") << QByteArray("\xC0\xAF\xE4\xB8\xAD\xE6\x96\x87") << QString() << int(E::Gbk);
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << u"a\r\nb\r\n"_qs << int(E::Gbk);
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << u"a\r\nb\r\n"_qs << int(E::Gbk);
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\rd") << u"a\r\nb\r\nc\r\n\r\nd"_qs << int(E::Gbk);
    QTest::newRow("euro written by GBK") << QByteArray("\x80 5") << u"€ 5"_qs << int(E::Gbk);
    QTest::newRow("GBK trail byte 0x80") << gbk(u"亐"_qs) << u"亐"_qs << int(E::Gbk);
}

void TestTextFile::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    TextFile::Encoding detected{};
    const QString decoded = TextFile::decode(bytes, &detected);
    QCOMPARE(int(detected), encoding);
    if (!text.isNull())
        QCOMPARE(decoded, text);
}

void TestTextFile::damagedBytesNeverStopTheRead()
{
    // Broken sequences in every position: the read finishes and keeps the good text around them.
    const QByteArray bytes = QByteArray("ok1\r\n\xFF\xFF\x81\r\n") + gbk(u"苹果"_qs) + "\x81" + "\r\nok2\r\n\xD6";
    const QString text = TextFile::decode(bytes);
    QVERIFY(text.startsWith(u"ok1\r\n"_qs));
    QVERIFY(text.contains(u"苹果"_qs));
    QVERIFY(text.contains(u"ok2\r\n"_qs));
    // Random bytes of every value: no crash, no hang.
    QByteArray noise;
    for (int i = 0; i < 200000; ++i)
        noise += char((i * 7919 + i / 3) & 0xFF);
    QVERIFY(!TextFile::decode(noise).isEmpty());
}

void TestTextFile::everyGbkCharacterRoundTrips()
{
    // Every character GBK holds goes out as its GBK bytes, byte-identical to what other GBK
    // writers produce, and comes back as itself. Private-use characters that GBK maps onto bytes
    // GB18030 gives to real characters are the exception: they are written in GB18030's
    // four-byte form so they, too, come back unchanged.
    QStringEncoder enc("GBK");
    if (!enc.isValid())
        QSKIP("this Qt has no system GBK converter to compare with");
    QString all;
    QString shared;
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const QString s = QString::fromUcs4(&c, 1);
        const QByteArray b = enc.encode(s);
        if (b == "?" || b.isEmpty())
            continue;
        all += s;
        if (c < 0xE000 || c > 0xF8FF)
            shared += s;
    }
    QVERIFY(shared.size() > 21000);
    QCOMPARE(TextFile::encode(shared), QByteArray(enc.encode(shared)));
    const QByteArray bytes = TextFile::encode(all);
    QString back = TextFile::decode(bytes + "\xE4\xB8\xAD"); // a GBK-only tail: never taken for UTF-8
    back.chop(back.size() - all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (back[i] != all[i])
            QFAIL(qPrintable(QStringLiteral("U+%1 came back as U+%2").arg(all[i].unicode(), 4, 16).arg(back[i].unicode(), 4, 16)));
    }
}

void TestTextFile::charactersOutsideGbkAreKept()
{
    // Characters GBK lacks, and ones its converter would silently drop (soft hyphen, zero-width
    // joiner, bidi marks).
    const QString text = u"𠀀 ☃ 😀 ɐ ? ? \u00AD \u200D \u202E \u2060 👩\u200D💻\r\n"_qs;
    const QByteArray bytes = TextFile::encode(text);
    QVERIFY(!bytes.contains("??"));
    QCOMPARE(TextFile::decode(bytes), text);
}

void TestTextFile::writeReplacesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wb.dcb"_qs);
    QString error;
    QVERIFY(TextFile::write(path, u"old\r\n"_qs, &error));
    QVERIFY(TextFile::write(path, u"apple  苹果\r\n"_qs, &error));
    QCOMPARE(readAll(path), QByteArray::fromHex("6170706C652020C6BBB9FB0D0A"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"wb.dcb"_qs});
}

void TestTextFile::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("target is a folder") << u"folder"_qs;
    QTest::newRow("folder missing") << u"missing"_qs;
    QTest::newRow("read-only file system") << u"readonly"_qs;
    QTest::newRow("disk full") << u"full"_qs;
    QTest::newRow("file size limit") << u"limit"_qs;
}

void TestTextFile::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QString path = dir.filePath(u"wb.dcb"_qs);
    const QByteArray old = "old bank\r\n";
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    QString mountPoint;
    if (how == u"folder") {
        QFile::remove(path);
        QVERIFY(QDir().mkdir(path));
    } else if (how == u"missing") {
        path = dir.filePath(u"nowhere/wb.dcb"_qs);
    } else if (how == u"limit") {
        // Restored below. The program ignores SIGXFSZ from the start (TerminationSignals), so the
        // write fails instead of the signal ending the program.
#ifndef Q_OS_UNIX
        QSKIP("file-size limits are a Unix matter");
#endif
    } else {
#ifdef Q_OS_UNIX
        if (geteuid() != 0)
            QSKIP("needs root to mount");
#else
        QSKIP("mounts are a Unix matter");
#endif
        mountPoint = dir.filePath(u"mnt"_qs);
        QDir().mkdir(mountPoint);
        if (how == u"readonly") {
            if (!runs(u"mount"_qs, {u"--bind"_qs, dir.path(), mountPoint})
                || !runs(u"mount"_qs, {u"-o"_qs, u"remount,ro,bind"_qs, mountPoint}))
                QSKIP("bind mounts are not available here");
            path = mountPoint + u"/wb.dcb"_qs;
        } else {
            if (!runs(u"mount"_qs, {u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=64k"_qs, u"tmpfs"_qs, mountPoint}))
                QSKIP("tmpfs mounts are not available here");
            path = mountPoint + u"/wb.dcb"_qs;
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
    }
    QString big;
    for (int i = 0; i < 20000; ++i)
        big += u"word%1  意思\r\n"_qs.arg(i);
    QString error;
#ifdef Q_OS_UNIX
    rlimit oldLimit = {};
    std::optional<TerminationSignals> signals;
    if (how == u"limit") {
        signals.emplace();
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit small = oldLimit;
        small.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &small);
    }
#endif
    const bool ok = TextFile::write(path, big, &error);
#ifdef Q_OS_UNIX
    if (how == u"limit")
        setrlimit(RLIMIT_FSIZE, &oldLimit);
#endif
    const QByteArray after = readAll(path);
    if (!mountPoint.isEmpty())
        runs(u"umount"_qs, {mountPoint});
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    if (how == u"readonly" || how == u"full" || how == u"limit")
        QCOMPARE(after, old);
    // The system's own reason, never "Unknown error".
    if (how == u"full")
        QCOMPARE(error, QString::fromLocal8Bit(strerror(ENOSPC)));
    if (how == u"limit")
        QCOMPARE(error, QString::fromLocal8Bit(strerror(EFBIG)));
    if (how == u"folder")
        QVERIFY(QFileInfo(path).isDir());
}

void TestTextFile::failingDeviceIsReported_data()
{
    // The pieces below are written as "\r\n" (the guard against a byte-order mark), then
    // "\xEF\xBB\xBFab\r\n" and "cd\r\n": 13 bytes in all.
    QTest::addColumn<qint64>("room");
    QTest::newRow("full at once") << qint64(0);
    QTest::newRow("full inside the guard") << qint64(1);
    QTest::newRow("full inside the first piece") << qint64(4);
    QTest::newRow("full inside a later piece") << qint64(11);
    QTest::newRow("room enough") << qint64(13);
}

void TestTextFile::failingDeviceIsReported()
{
    QFETCH(qint64, room);
    const QList<QByteArray> pieces = {"\xEF\xBB\xBF" "ab\r\n", QByteArray(), "cd\r\n"};
    const QByteArray whole = "\r\n\xEF\xBB\xBF" "ab\r\ncd\r\n";
    qsizetype given = 0;
    auto next = [&](QByteArray &chunk) {
        chunk = pieces[given++];
        return given < pieces.size();
    };
    const QString reason = QString::fromLocal8Bit(strerror(ENOSPC));
    FailDevice device(room, reason);
    QString error;
    const bool ok = TextFile::write(device, next, &error);
    QCOMPARE(ok, room >= whole.size());
    QCOMPARE(error, ok ? QString() : reason);
    QCOMPARE(device.written(), whole.left(room));
}

void TestTextFile::readFailures()
{
    QTemporaryDir dir;
    QString text = u"left over"_qs;
    QString error;
    QVERIFY(!TextFile::read(dir.filePath(u"none.txt"_qs), &text, &error));
    QVERIFY(text.isEmpty());
    QVERIFY(!error.isEmpty());
    QVERIFY(!TextFile::read(dir.path(), &text, &error));
}

void TestTextFile::refusesHostileFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << u"fifo"_qs;
    QTest::newRow("symbolic link to /dev/zero") << u"zero"_qs;
    QTest::newRow("larger than the limit") << u"huge"_qs;
}

void TestTextFile::refusesHostileFiles()
{
    // Each must be refused at once: no hang on a FIFO without a writer, no endless read.
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"words.txt"_qs);
    if (kind == u"fifo" || kind == u"zero") {
#ifdef Q_OS_UNIX
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(u"/dev/zero"_qs, path));
#else
        QSKIP("FIFOs and device files are a Unix matter");
#endif
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(TextFile::kMaxFileBytes + 1)); // sparse: no disk space taken
    }
    QString text = u"left over"_qs;
    QString error;
    QVERIFY(!TextFile::read(path, &text, &error));
    QVERIFY(text.isEmpty());
    QVERIFY(!error.isEmpty());
    QByteArray bytes = "left over";
    QVERIFY(!TextFile::readBytes(path, &bytes, &error)); // the word bank's way in
    QVERIFY(bytes.isEmpty());
    if (kind == u"huge")
        QVERIFY2(error.contains(u"256 MB"_qs), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
