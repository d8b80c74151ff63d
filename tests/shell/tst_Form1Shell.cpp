#include "app/Form1.h"
#include "ShellTestDoubles.h"
#include "about/frmAbout.h"
#include "shell/AppInfo.h"
#include "shell/Endpoints.h"
#include "wordlist/WordListModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_Form1Shell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startMenuEntry();
    void dictionaryLookup();
    void bannerClick();
    void aboutWindow();

private:
    AppContext context();
    void click(QWidget *widget, bool doubleClick = false);

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingLauncher m_launcher;
    RecordingDialogs m_dialogs;
};

void tst_Form1Shell::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The Start-menu entry lands under the test's own data folder, never the user's.
    qputenv("XDG_DATA_HOME", m_dir->filePath(u"data"_qs).toUtf8());
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(u"config"_qs).toUtf8());
    m_launcher = RecordingLauncher();
    m_dialogs = RecordingDialogs();
}

void tst_Form1Shell::cleanup()
{
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    m_dir.reset();
}

AppContext tst_Form1Shell::context()
{
    AppContext c;
    c.programFolder = m_dir->filePath(u"program folder"_qs);
    QDir().mkpath(c.programFolder);
    c.executablePath = c.programFolder + u"/TanvicQuorvel"_qs;
    QFile exe(c.executablePath);
    if (exe.open(QIODevice::WriteOnly))
        exe.write("#!/bin/sh\n");
    exe.close();
    exe.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    c.settingsPath = m_dir->filePath(u"settings.ini"_qs);
    c.instanceLockPath = m_dir->filePath(u"instance.lock"_qs);
    c.dialogs = &m_dialogs;
    c.launcher = &m_launcher;
    return c;
}

void tst_Form1Shell::click(QWidget *widget, bool doubleClick)
{
    const QPoint at = widget->rect().center();
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    if (doubleClick) {
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &dbl);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }
}

void tst_Form1Shell::startMenuEntry()
{
    const QString folder = m_dir->filePath(u"data/applications/Tanvic软件"_qs);
    const QString entry = folder + u"/TanvicQuorvel.desktop"_qs;
    const AppContext c = context();
    for (int start = 0; start < 2; ++start) {
        Form1 form(c);
        form.Form_Load();
        QVERIFY(!form.isSecondInstance());
        QVERIFY(QFileInfo::exists(entry));
        form.shutdown();
    }
    QCOMPARE(QDir(folder).entryList({u"*.desktop"_qs}, QDir::Files), QStringList{u"TanvicQuorvel.desktop"_qs});
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(u"\nExec=\""_qs + c.executablePath + u"\"\n"_qs));
    QVERIFY(text.contains(u"\nComment="_qs + AppInfo::description() + u'\n'));

    // A second instance writes nothing.
    QVERIFY(QFile::remove(entry));
    Form1 first(c);
    first.Form_Load();
    QVERIFY(QFile::remove(entry));
    Form1 second(c);
    second.Form_Load();
    QVERIFY(second.isSecondInstance());
    QVERIFY(!QFileInfo::exists(entry));
}

void tst_Form1Shell::dictionaryLookup()
{
    Form1 form(context());
    form.Form_Load();
    auto *lookup = form.findChild<QAction *>(u"menu在线翻译"_qs);
    QVERIFY(lookup);

    // No current entry: nothing happens.
    lookup->trigger();
    QVERIFY(m_launcher.urls.isEmpty());

    form.wordList()->addEntry(u"apple"_qs, u"苹果"_qs);
    form.wordList()->addEntry(u"  C#/ "_qs, u"一种语言"_qs);
    auto *view = form.findChild<QTableView *>(u"ListView1"_qs);
    view->setCurrentIndex(form.wordList()->index(1, 1)); // the meaning column: still the word is looked up
    lookup->trigger();
    view->setCurrentIndex(form.wordList()->index(0, 0));
    lookup->trigger();
    // The floating window's double-click hands a prepared word straight in.
    form.openDictionaryPage(u"what?"_qs);

    const QString base = Endpoints::dictionaryBase();
    QCOMPARE(m_launcher.urls.size(), 3);
    QCOMPARE(m_launcher.urls[0].toString(QUrl::FullyEncoded), base + u"C%23/"_qs);
    QCOMPARE(m_launcher.urls[1].toString(QUrl::FullyEncoded), base + u"apple/"_qs);
    QCOMPARE(m_launcher.urls[2].toString(QUrl::FullyEncoded), base + u"what%3F/"_qs);
    form.shutdown();
}

void tst_Form1Shell::bannerClick()
{
    Form1 form(context());
    form.Form_Load();
    auto *banner = form.findChild<QLabel *>(u"Image1"_qs);
    QVERIFY(banner);
    QCOMPARE(banner->pixmap().size(), QSize(200, 29));
    auto *toggle = form.findChild<QAbstractButton *>(u"Check1"_qs);
    QSignalSpy switched(toggle, &QAbstractButton::toggled);

    // A double-click, as the tooltip invites, acts through its first click only.
    click(banner, true);
    QCOMPARE(m_launcher.urls, QList<QUrl>{QUrl(Endpoints::homePage())});
    // The drill was asked to start first, exactly as switching the toggle on does.
    QVERIFY(!switched.isEmpty());
    QCOMPARE(switched.first().first().toBool(), true);
    toggle->setChecked(false);
    form.shutdown();
}

void tst_Form1Shell::aboutWindow()
{
    Form1 form(context());
    form.Form_Load();
    auto *about = form.findChild<QAction *>(u"menu关于"_qs);
    QVERIFY(about);
    QString caption;
    QWidget *parent = &form;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        caption = dialog->windowTitle();
        parent = dialog->parentWidget();
        dialog->reject();
    });
    about->trigger();
    QCOMPARE(caption, u"关于『TanvicQuorvel』 "_qs);
    QCOMPARE(parent, nullptr); // no owner
    form.shutdown();
}

QTEST_MAIN(tst_Form1Shell)
#include "tst_Form1Shell.moc"
