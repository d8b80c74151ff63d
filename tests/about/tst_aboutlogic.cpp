#include "FakeLauncher.h"
#include "about/AboutText.h"
#include "about/RegistryValue.h"
#include "about/SystemInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(std::vector<unsigned char>)

class TestAboutLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void caption();
    void version_data();
    void version();
    void decode_data();
    void decode();
    void systemInfo_data();
    void systemInfo();
};

void TestAboutLogic::caption()
{
    const QString c = AboutText::caption(u"TanvicQuorvel"_qs);
    QCOMPARE(c, u"关于『TanvicQuorvel』 "_qs);
    QCOMPARE(c.back(), QChar(u' ')); // an ordinary space, kept
}

void TestAboutLogic::version_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.2.304") << 1 << 2 << 304 << u"版本 1.2.304"_qs;
    QTest::newRow("zeros") << 1 << 0 << 0 << u"版本 1.0.0"_qs;
    QTest::newRow("no leading zeros") << 10 << 5 << 7 << u"版本 10.5.7"_qs;
}

void TestAboutLogic::version()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(AboutText::version(major, minor, revision), text);
}

namespace {
std::vector<unsigned char> utf16(const std::u16string &s, bool withNul)
{
    std::vector<unsigned char> bytes;
    for (char16_t c : s) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    if (withNul) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}
} // namespace

void TestAboutLogic::decode_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<std::vector<unsigned char>>("data");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const std::u16string path = u"C:\\Program Files\\MSInfo\\msinfo32.exe";
    const QString qpath = QString::fromStdU16String(path);
    QTest::newRow("REG_SZ with NUL") << quint32(1) << utf16(path, true) << u"old"_qs << qpath;
    QTest::newRow("REG_SZ without NUL") << quint32(1) << utf16(path, false) << u"old"_qs << qpath;
    QTest::newRow("REG_SZ empty") << quint32(1) << utf16(u"", true) << u"old"_qs << QString();
    QTest::newRow("REG_SZ Chinese") << quint32(1) << utf16(u"系统信息", true) << QString() << u"系统信息"_qs;
    QTest::newRow("REG_SZ only the last NUL goes")
        << quint32(1) << std::vector<unsigned char>{'a', 0, 0, 0, 0, 0} << QString()
        << QStringLiteral("a") + QChar(0);
    QTest::newRow("REG_SZ odd byte ignored")
        << quint32(1) << std::vector<unsigned char>{'a', 0, 'b'} << QString() << u"a"_qs;
    QTest::newRow("REG_DWORD last byte first")
        << quint32(4) << std::vector<unsigned char>{0x2B, 0x1A, 0x00, 0x00} << QString() << u"&h00001A2B"_qs;
    QTest::newRow("REG_DWORD high byte set")
        << quint32(4) << std::vector<unsigned char>{0x03, 0x02, 0x00, 0x01} << QString() << u"&h01000203"_qs;
    QTest::newRow("REG_EXPAND_SZ leaves the text") << quint32(2) << utf16(u"%SystemRoot%", true)
                                                  << u"kept"_qs << u"kept"_qs;
    QTest::newRow("REG_BINARY leaves the text")
        << quint32(3) << std::vector<unsigned char>{1, 2} << QString() << QString();
}

void TestAboutLogic::decode()
{
    QFETCH(quint32, type);
    QFETCH(std::vector<unsigned char>, data);
    QFETCH(QString, before);
    QFETCH(QString, after);
    std::u16string keyVal = before.toStdU16String();
    RegistryValue::decode(type, data.data(), data.size(), keyVal);
    QCOMPARE(QString::fromStdU16String(keyVal), after);
}

void TestAboutLogic::systemInfo_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QString>("started");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList() << true << QString() << QStringList();
    QTest::newRow("one") << QStringList{u"kinfocenter"_qs} << true << u"kinfocenter"_qs << QStringList();
    QTest::newRow("first in the list wins")
        << QStringList{u"lshw-gtk"_qs, u"hardinfo"_qs, u"kinfocenter"_qs} << true << u"hardinfo"_qs
        << QStringList();
    QTest::newRow("with its arguments")
        << QStringList{u"gnome-control-center"_qs} << true << u"gnome-control-center"_qs
        << QStringList{u"info-overview"_qs};
    QTest::newRow("found but will not start") << QStringList{u"hardinfo2"_qs} << false << u"hardinfo2"_qs
                                              << QStringList();
}

void TestAboutLogic::systemInfo()
{
#ifdef Q_OS_WIN
    QSKIP("the tool is looked for on PATH; Windows reads the registry, tested in tests/win32");
#endif
    QFETCH(QStringList, installed);
    QFETCH(bool, startSucceeds);
    QFETCH(QString, started);
    QFETCH(QStringList, arguments);
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    for (const QString &tool : installed) {
        QFile file(bin.filePath(tool));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    // A file that is not executable does not count.
    QFile plain(bin.filePath(u"xfce4-about"_qs));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    FakeLauncher launcher;
    launcher.succeed = startSucceeds;
    const bool ok = SystemInfo::start(launcher);
    qputenv("PATH", oldPath);

    QCOMPARE(ok, !started.isEmpty() && startSucceeds);
    if (started.isEmpty()) {
        QVERIFY(launcher.programs.isEmpty());
    } else {
        QCOMPARE(launcher.programs.size(), 1);
        QCOMPARE(launcher.programs[0].first, bin.filePath(started));
        QCOMPARE(launcher.programs[0].second, arguments);
    }
    QVERIFY(launcher.urls.isEmpty());
}

QTEST_GUILESS_MAIN(TestAboutLogic)
#include "tst_aboutlogic.moc"
