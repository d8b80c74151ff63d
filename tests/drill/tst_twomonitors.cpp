// Two monitors side by side (the offscreen platform given two screens): the floating window's
// next drill starts on the monitor where the learner left it, the edit dialog and About open on
// the main window's monitor.
#include "MainWindow.h"

#include "about/frmAbout.h"
#include "drill/FloatingLayout.h"
#include "wordlist/FormEdit.h"
#include "wordlist/WordListModel.h"

#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class TestTwoMonitors : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowsFollowTheirMonitor();
};

void TestTwoMonitors::windowsFollowTheirMonitor()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    const QRect right = screens[1]->geometry();
    MainWindow w;
    w.create();
    w->wordList()->addEntry(u"go", u"去");
    w->show();
    w->move(right.topLeft() + QPoint(100, 100));
    QPushButton *toggle = w.button("Check1");

    // The first drill starts on the primary monitor; moved to the right one, the next starts there.
    toggle->setChecked(true);
    QCOMPARE(w->floatingWindow()->pos(), FloatingWindow::startPosition(screens[0]->availableGeometry(), 69));
    w->floatingWindow()->move(right.center());
    w->drillController()->stop();
    toggle->setChecked(true);
    QCOMPARE(w->floatingWindow()->pos(), FloatingWindow::startPosition(screens[1]->availableGeometry(), 69));
    w->drillController()->stop();

    QVERIFY(right.contains(w->frameGeometry().center()));
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
    file.write(R"({"screens": [
        {"name": "left", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "right", "x": 1280, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestTwoMonitors test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_twomonitors.moc"
