// Two monitors side by side (the offscreen platform given two screens): the edit dialog and
// About open on the main window's monitor.
#include "MainWindow.h"

#include "about/frmAbout.h"
#include "wordlist/FormEdit.h"
#include "wordlist/WordListModel.h"

#include <QDir>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

class TestTwoMonitors : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dialogsOpenOnTheMainWindowsMonitor();
};

void TestTwoMonitors::dialogsOpenOnTheMainWindowsMonitor()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    const QRect right = screens[1]->geometry();
    MainWindow w;
    w.create();
    w->wordList()->addEntry(u"go", u"去");
    w->show();
    w->move(right.topLeft() + QPoint(100, 100));
    w.list()->selectRow(0);

    auto onRight = [&](QWidget &window) { QVERIFY(right.contains(window.frameGeometry().center())); };
    QVERIFY(whileModal<FormEdit>([&] { w.menuAction("menu修改")->trigger(); }, onRight));
    QVERIFY(whileModal<frmAbout>([&] { w.menuAction("menu关于")->trigger(); }, onRight));
}

int main(int argc, char **argv)
{
    // Two screens for the offscreen platform, the primary one on the left.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    file.write(R"({"screens": [{"name": "left", "x": 0, "y": 0, "width": 1280, "height": 800},
        {"name": "right", "x": 1280, "y": 0, "width": 1024, "height": 768}]})");
    file.close();
    // A relative name: the platform's options are split at colons, which a Windows path holds.
    QDir::setCurrent(dir.path());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screens.json");
    QApplication app(argc, argv);
    TestTwoMonitors test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_twomonitors.moc"
