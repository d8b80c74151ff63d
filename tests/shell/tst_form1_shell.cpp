#include "MainWindow.h"

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
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TestForm1Shell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startMenuEntry();
    void startMenuEntryWithoutXdgDataHome();
    void dictionaryLookup();
    void bothLookupsPrepareTheWordAlike_data();
    void bothLookupsPrepareTheWordAlike();
    void bannerClick_data();
    void bannerClick();
    void aboutWindow();

private:
    void click(QWidget *widget, bool doubleClick = false);
};

void TestForm1Shell::click(QWidget *widget, bool doubleClick)
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

void TestForm1Shell::startMenuEntry()
{
#ifdef Q_OS_WIN
    QSKIP("the desktop entry; the Windows shell link is tested in tests/win32");
#endif
    // The entry lands under the test's own data folder, never the user's.
    MainWindow w;
    const QString folder = w.env.path(u"data/applications/Tanvic软件"_qs);
    const QString entry = folder + u"/TanvicQuorvel.desktop"_qs;
    const AppContext c = w.env.context();
    for (int start = 0; start < 2; ++start) {
        QVERIFY(!w.restart().isSecondInstance());
        QVERIFY(QFileInfo::exists(entry));
    }
    QCOMPARE(QDir(folder).entryList({u"*.desktop"_qs}, QDir::Files), QStringList{u"TanvicQuorvel.desktop"_qs});
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(u"\nExec=\""_qs + c.executablePath + u"\"\n"_qs));
    QVERIFY(text.contains(u"\nComment="_qs + AppInfo::description() + u'\n'));

    // A second instance writes nothing.
    QVERIFY(QFile::remove(entry));
    w.restart();
    QVERIFY(QFile::remove(entry));
    Form1 second(c);
    second.Form_Load();
    QVERIFY(second.isSecondInstance());
    QVERIFY(!QFileInfo::exists(entry));
}

void TestForm1Shell::startMenuEntryWithoutXdgDataHome()
{
#ifdef Q_OS_WIN
    QSKIP("the desktop entry; the Windows shell link is tested in tests/win32");
#endif
    // The default of every desktop: the entry goes under ~/.local/share/applications, whose dotted
    // folder name is the system's and must not be "cleaned" into ~/local.
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    MainWindow w;
    const QString home = w.env.path(u"home"_qs);
    QDir().mkpath(home);
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_DATA_HOME");
    w.start();
    w->shutdown();
    qputenv("HOME", oldHome);
    qputenv("XDG_DATA_HOME", oldData);
    QVERIFY(QFileInfo::exists(home + u"/.local/share/applications/Tanvic软件/TanvicQuorvel.desktop"_qs));
    QCOMPARE(QDir(home).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{u".local"_qs});
}

void TestForm1Shell::bothLookupsPrepareTheWordAlike_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("tail"); // empty: no page opens
    QTest::newRow("slash inside kept") << u"and/or"_qs << u"and/or/"_qs;
    QTest::newRow("final slash dropped") << u"and/or/"_qs << u"and/or/"_qs;
    QTest::newRow("only a slash") << u"/"_qs << QString();
    QTest::newRow("space and slash") << u" /"_qs << QString();
    QTest::newRow("breaking characters encoded") << u"C# what? 100%"_qs << u"C%23%20what%3F%20100%25/"_qs;
}

void TestForm1Shell::bothLookupsPrepareTheWordAlike()
{
    // The list menu's "在线翻译" and the floating window's double-click open the same page.
    QFETCH(QString, word);
    QFETCH(QString, tail);
    MainWindow w;
    Form1 &form = w.start();
    form.wordList()->addEntry(word, u"义"_qs);
    auto *view = w.list();
    view->setCurrentIndex(form.wordList()->index(0, 0));
    w.menuAction("menu在线翻译")->trigger();
    const QList<QUrl> fromMenu = w.env.launcher.urls;
    w.env.launcher.urls.clear();

    w.button("Check1")->setChecked(true);
    FormShowWord *floating = form.floatingWindow();
    QVERIFY(floating);
    auto *label = floating->findChild<QLabel *>(u"Label1"_qs);
    QVERIFY(label);
    click(label, true);
    const QList<QUrl> fromDrill = w.env.launcher.urls;

    const QList<QUrl> expected = tail.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(Endpoints::dictionaryBase() + tail)};
    QCOMPARE(fromMenu, expected);
    QCOMPARE(fromDrill, expected);
}

void TestForm1Shell::dictionaryLookup()
{
    MainWindow w;
    Form1 &form = w.start();
    auto *lookup = w.menuAction("menu在线翻译");
    QVERIFY(lookup);

    // No current entry: nothing happens.
    lookup->trigger();
    QVERIFY(w.env.launcher.urls.isEmpty());

    form.wordList()->addEntry(u"apple"_qs, u"苹果"_qs);
    form.wordList()->addEntry(u"  C#/ "_qs, u"一种语言"_qs);
    auto *view = w.list();
    view->setCurrentIndex(form.wordList()->index(1, 1)); // the meaning column: still the word is looked up
    lookup->trigger();
    view->setCurrentIndex(form.wordList()->index(0, 0));
    lookup->trigger();
    // The floating window's double-click hands its prepared word over.
    Q_EMIT form.wordLookupRequested(u"what?"_qs);

    const QString base = Endpoints::dictionaryBase();
    QCOMPARE(w.env.launcher.urls.size(), 3);
    QCOMPARE(w.env.launcher.urls[0].toString(QUrl::FullyEncoded), base + u"C%23/"_qs);
    QCOMPARE(w.env.launcher.urls[1].toString(QUrl::FullyEncoded), base + u"apple/"_qs);
    QCOMPARE(w.env.launcher.urls[2].toString(QUrl::FullyEncoded), base + u"what%3F/"_qs);
    form.shutdown();
}

void TestForm1Shell::bannerClick_data()
{
    QTest::addColumn<bool>("withEntries");
    QTest::newRow("empty list") << false;
    QTest::newRow("with entries") << true;
}

void TestForm1Shell::bannerClick()
{
    QFETCH(bool, withEntries);
    MainWindow w;
    Form1 &form = w.start();
    if (withEntries)
        form.wordList()->addEntry(u"apple"_qs, u"苹果"_qs);
    form.showAtStart();
    auto *banner = form.findChild<QLabel *>(u"Image1"_qs);
    QVERIFY(banner);
    QCOMPARE(banner->pixmap().size(), QSize(200, 29));
    auto *toggle = w.button("Check1");

    // The drill is asked to start first: an empty list is refused before the page opens.
    int urlsAtMessage = -1;
    w.env.dialogs.onMessage = [&](const FakeDialogs::Message &) { urlsAtMessage = int(w.env.launcher.urls.size()); };
    // A double-click, as the tooltip invites, acts through its first click only.
    click(banner, true);
    QCOMPARE(w.env.launcher.urls, QList<QUrl>{QUrl(Endpoints::homePage())});
    if (withEntries) {
        QVERIFY(toggle->isChecked());
        QVERIFY(form.floatingWindow());
        QVERIFY(!form.isVisible());
        QVERIFY(w.env.dialogs.messages.isEmpty());
    } else {
        QCOMPARE(w.env.dialogs.messages.size(), 1);
        QCOMPARE(w.env.dialogs.messages[0].text, u"请先导入词汇！"_qs);
        QCOMPARE(urlsAtMessage, 0);
        QVERIFY(!toggle->isChecked());
    }
    form.shutdown();
}

void TestForm1Shell::aboutWindow()
{
    MainWindow w;
    w.start();
    QString caption;
    QWidget *parent = w.list();
    QVERIFY(whileModal<frmAbout>([&] { w.menuAction("menu关于")->trigger(); }, [&](frmAbout &dialog) {
        caption = dialog.windowTitle();
        parent = dialog.parentWidget();
    }));
    QCOMPARE(caption, u"关于『TanvicQuorvel』 "_qs);
    QCOMPARE(parent, nullptr); // no owner
    w->shutdown();
}

QTEST_MAIN(TestForm1Shell)
#include "tst_form1_shell.moc"
