#include "FakeDialogs.h"
#include "FakeLauncher.h"
#include "about/frmAbout.h"
#include "shell/AppInfo.h"
#include "shell/Endpoints.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

class TestFrmAbout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void texts();
    void links();
    void hoverUnderline();
    void systemInformation_data();
    void systemInformation();
    void okButton();
    void linksByKeyboard();

private:
    static void moveOver(QWidget *widget, QPoint at = QPoint(-1, -1));
    static void moveOverBackground(frmAbout &about);
};

void TestFrmAbout::moveOver(QWidget *widget, QPoint at)
{
    if (at == QPoint(-1, -1))
        at = widget->rect().center();
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void TestFrmAbout::moveOverBackground(frmAbout &about)
{
    // Right of the contact lines, above the buttons: nothing but the window.
    const QPoint at(400, 100);
    QVERIFY(!about.childAt(at));
    moveOver(&about, at);
}

void TestFrmAbout::texts()
{
    FakeLauncher launcher;
    FakeDialogs dialogs;
    frmAbout about(launcher, dialogs);
    QCOMPARE(about.windowTitle(), u"关于『TanvicQuorvel』 "_qs);
    QCOMPARE(about.findChild<QLabel *>(u"lblTitle"_qs)->text(), AppInfo::title());
    QCOMPARE(about.findChild<QLabel *>(u"lblVersion"_qs)->text(),
             u"版本 %1.%2.%3"_qs.arg(AppInfo::versionMajor()).arg(AppInfo::versionMinor()).arg(AppInfo::versionRevision()));
}

void TestFrmAbout::links()
{
    FakeLauncher launcher;
    FakeDialogs dialogs;
    frmAbout about(launcher, dialogs);
    about.show();
    for (const char *name : {"Label7", "Label2", "Label4", "Label1"}) {
        auto *label = about.findChild<QLabel *>(QString::fromLatin1(name));
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    }
    QCOMPARE(launcher.urls.size(), 3); // the plain contact line is no link
    QCOMPARE(launcher.urls[0], QUrl(Endpoints::makerSite()));
    QCOMPARE(launcher.urls[1], QUrl(Endpoints::supportSite()));
    QCOMPARE(launcher.urls[2].scheme(), u"mailto"_qs);
    QCOMPARE(launcher.urls[2].path(), Endpoints::feedbackAddress());
    QCOMPARE(QUrlQuery(launcher.urls[2]).queryItemValue(u"subject"_qs, QUrl::FullyDecoded),
             u"我要对[TanvicQuorvel]提建议"_qs);
}

void TestFrmAbout::hoverUnderline()
{
    FakeLauncher launcher;
    FakeDialogs dialogs;
    frmAbout about(launcher, dialogs);
    about.show();
    auto *line = about.findChild<QWidget *>(u"Line2"_qs);
    auto *support = about.findChild<QLabel *>(u"Label2"_qs);
    auto *mail = about.findChild<QLabel *>(u"Label4"_qs);
    auto *site = about.findChild<QLabel *>(u"Label7"_qs);
    auto *plain = about.findChild<QLabel *>(u"Label1"_qs);
    auto *ok = about.findChild<QPushButton *>(u"cmdOK"_qs);
    QVERIFY(line && support && mail && site && plain && ok);
    QVERIFY(!line->isVisible());

    auto under = [&](QLabel *label) {
        const QRect r = label->geometry();
        return line->isVisible() && line->geometry().left() == r.left()
               && line->geometry().top() == r.bottom() + 1 && line->geometry().width() == r.width();
    };

    moveOver(support);
    QVERIFY(under(support));
    moveOver(mail); // straight onto another link: the line jumps
    QVERIFY(under(mail));
    moveOver(site);
    QVERIFY(under(site));
    moveOver(plain); // a plain label keeps it
    QVERIFY(under(site));
    moveOver(ok); // so does a button
    QVERIFY(under(site));
    moveOverBackground(about); // only the background hides it
    QVERIFY(!line->isVisible());
}

void TestFrmAbout::systemInformation_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("message");
    QTest::newRow("tool found") << true << true << false;
    QTest::newRow("no tool") << false << true << true;
    QTest::newRow("tool will not start") << true << false << true;
}

void TestFrmAbout::systemInformation()
{
#ifdef Q_OS_WIN
    QSKIP("the tool is looked for on PATH; Windows reads the registry, tested in tests/win32");
#endif
    QFETCH(bool, installed);
    QFETCH(bool, starts);
    QFETCH(bool, message);
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    if (installed) {
        QFile tool(bin.filePath(u"hardinfo"_qs));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.close();
        QVERIFY(tool.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());

    FakeLauncher launcher;
    launcher.succeed = starts;
    FakeDialogs dialogs;
    frmAbout about(launcher, dialogs);
    about.show();
    QTest::mouseClick(about.findChild<QPushButton *>(u"cmdSysInfo"_qs), Qt::LeftButton);
    qputenv("PATH", oldPath);

    QCOMPARE(launcher.programs.size(), installed ? 1 : 0);
    if (message) {
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, u"此时系统信息不可用"_qs);
        QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    } else {
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(launcher.programs[0].first, bin.filePath(u"hardinfo"_qs));
    }
    QVERIFY(about.isVisible()); // the window stays open either way
}

void TestFrmAbout::okButton()
{
    FakeLauncher launcher;
    FakeDialogs dialogs;
    frmAbout about(launcher, dialogs);
    auto *ok = about.findChild<QPushButton *>(u"cmdOK"_qs);
    QVERIFY(ok->isDefault());

    about.show();
    QTest::keyClick(&about, Qt::Key_Return); // default button
    QVERIFY(!about.isVisible());

    about.show();
    QTest::keyClick(&about, Qt::Key_Escape); // cancel button
    QVERIFY(!about.isVisible());

    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

void TestFrmAbout::linksByKeyboard()
{
    FakeLauncher launcher;
    FakeDialogs dialogs;
    frmAbout about(launcher, dialogs);
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QCOMPARE(QApplication::focusWidget(), about.findChild<QWidget *>(u"cmdOK"_qs)); // Enter still closes

    // After the two buttons, Tab reaches the three links in reading order; Enter opens each.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    for (const char *name : {"Label4", "Label2", "Label7"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), about.findChild<QWidget *>(QString::fromLatin1(name)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QVERIFY(about.isVisible());
    QCOMPARE(launcher.urls.size(), 3);
    QCOMPARE(launcher.urls[0].scheme(), u"mailto"_qs);
    QCOMPARE(launcher.urls[1], QUrl(Endpoints::supportSite()));
    QCOMPARE(launcher.urls[2], QUrl(Endpoints::makerSite()));
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
