// Centring a fixed-size window: where the frame has no middle pixel, the spare pixel falls on the
// side each window has always used, so no window moves from its old place.
#include "widgets/FixedWindow.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

class TestFixedWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void centre_data();
    void centre();
};

void TestFixedWindow::centre_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("before"); // the spare pixel goes before the centre
    QTest::addColumn<QPoint>("offset"); // top-left minus the work area's centre

    QTest::newRow("odd, after") << QSize(201, 101) << false << QPoint(-100, -50);
    QTest::newRow("odd, before") << QSize(201, 101) << true << QPoint(-100, -50);
    QTest::newRow("even, after") << QSize(676, 494) << false << QPoint(-337, -246);
    QTest::newRow("even, before") << QSize(676, 494) << true << QPoint(-338, -247);
}

void TestFixedWindow::centre()
{
    QFETCH(QSize, size);
    QFETCH(bool, before);
    QFETCH(QPoint, offset);

    QWidget window;
    window.resize(size);
    FixedWindow::setUp(&window, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    FixedWindow::centre(&window, screen, before ? FixedWindow::SparePixel::Before : FixedWindow::SparePixel::After);
    QCOMPARE(window.frameGeometry().size(), size);
    QCOMPARE(window.frameGeometry().topLeft() - screen->availableGeometry().center(), offset);
}

QTEST_MAIN(TestFixedWindow)
#include "tst_fixedwindow.moc"
