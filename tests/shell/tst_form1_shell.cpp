#include "app/Form1.h"
#include "TestEnv.h"
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
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestForm1Shell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startMenuEntry();
    void startMenuEntryWithoutXdgDataHome();
    void dictionaryLookup();
    void bothLookupsPrepareTheWordAlike_data();
    void bothLookupsPrepareTheWordAlike();
    void bannerClick_data();
    void bannerClick();
    void aboutWindow();

private:
    AppContext context() { return m_env->context(); }
    void click(QWidget *widget, bool doubleClick = false);

    std::unique_ptr<TestEnv> m_env;
};

void TestForm1Shell::init()
{
    // The Start-menu entry lands under the test's own data folder, never the user's.
    m_env = std::make_unique<TestEnv>();
}

void TestForm1Shell::cleanup()
{
    m_env.reset();
}

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
    const QString folder = m_env->path(u"data/applications/Tanvic软件"_qs);
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

void TestForm1Shell::startMenuEntryWithoutXdgDataHome()
{
#ifdef Q_OS_WIN
    QSKIP("the desktop entry; the Windows shell link is tested in tests/win32");
#endif
    // The default of every desktop: the entry goes under ~/.local/share/applications, whose dotted
    // folder name is the system's and must not be "cleaned" into ~/local.
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const QString home = m_env->path(u"home"_qs);
    QDir().mkpath(home);
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_DATA_HOME");
    {
        Form1 form(context());
        form.Form_Load();
        form.shutdown();
    }
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
    Form1 form(context());
    form.Form_Load();
    form.wordList()->addEntry(word, u"义"_qs);
    auto *view = form.findChild<QTableView *>(u"ListView1"_qs);
    view->setCurrentIndex(form.wordList()->index(0, 0));
    form.findChild<QAction *>(u"menu在线翻译"_qs)->trigger();
    const QList<QUrl> fromMenu = m_env->launcher.urls;
    m_env->launcher.urls.clear();

    form.findChild<QAbstractButton *>(u"Check1"_qs)->setChecked(true);
    FormShowWord *floating = form.floatingWindow();
    QVERIFY(floating);
    auto *label = floating->findChild<QLabel *>(u"Label1"_qs);
    QVERIFY(label);
    click(label, true);
    const QList<QUrl> fromDrill = m_env->launcher.urls;

    const QList<QUrl> expected = tail.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(Endpoints::dictionaryBase() + tail)};
    QCOMPARE(fromMenu, expected);
    QCOMPARE(fromDrill, expected);
}

void TestForm1Shell::dictionaryLookup()
{
    Form1 form(context());
    form.Form_Load();
    auto *lookup = form.findChild<QAction *>(u"menu在线翻译"_qs);
    QVERIFY(lookup);

    // No current entry: nothing happens.
    lookup->trigger();
    QVERIFY(m_env->launcher.urls.isEmpty());

    form.wordList()->addEntry(u"apple"_qs, u"苹果"_qs);
    form.wordList()->addEntry(u"  C#/ "_qs, u"一种语言"_qs);
    auto *view = form.findChild<QTableView *>(u"ListView1"_qs);
    view->setCurrentIndex(form.wordList()->index(1, 1)); // the meaning column: still the word is looked up
    lookup->trigger();
    view->setCurrentIndex(form.wordList()->index(0, 0));
    lookup->trigger();
    // The floating window's double-click hands its prepared word over.
    Q_EMIT form.wordLookupRequested(u"what?"_qs);

    const QString base = Endpoints::dictionaryBase();
    QCOMPARE(m_env->launcher.urls.size(), 3);
    QCOMPARE(m_env->launcher.urls[0].toString(QUrl::FullyEncoded), base + u"C%23/"_qs);
    QCOMPARE(m_env->launcher.urls[1].toString(QUrl::FullyEncoded), base + u"apple/"_qs);
    QCOMPARE(m_env->launcher.urls[2].toString(QUrl::FullyEncoded), base + u"what%3F/"_qs);
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
    Form1 form(context());
    form.Form_Load();
    if (withEntries)
        form.wordList()->addEntry(u"apple"_qs, u"苹果"_qs);
    form.showAtStart();
    auto *banner = form.findChild<QLabel *>(u"Image1"_qs);
    QVERIFY(banner);
    QCOMPARE(banner->pixmap().size(), QSize(200, 29));
    auto *toggle = form.findChild<QAbstractButton *>(u"Check1"_qs);

    // The drill is asked to start first: an empty list is refused before the page opens.
    int urlsAtMessage = -1;
    m_env->dialogs.onMessage = [&](const FakeDialogs::Message &) { urlsAtMessage = int(m_env->launcher.urls.size()); };
    // A double-click, as the tooltip invites, acts through its first click only.
    click(banner, true);
    QCOMPARE(m_env->launcher.urls, QList<QUrl>{QUrl(Endpoints::homePage())});
    if (withEntries) {
        QVERIFY(toggle->isChecked());
        QVERIFY(form.floatingWindow());
        QVERIFY(!form.isVisible());
        QVERIFY(m_env->dialogs.messages.isEmpty());
    } else {
        QCOMPARE(m_env->dialogs.messages.size(), 1);
        QCOMPARE(m_env->dialogs.messages[0].text, u"请先导入词汇！"_qs);
        QCOMPARE(urlsAtMessage, 0);
        QVERIFY(!toggle->isChecked());
    }
    form.shutdown();
}

void TestForm1Shell::aboutWindow()
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

QTEST_MAIN(TestForm1Shell)
#include "tst_form1_shell.moc"
