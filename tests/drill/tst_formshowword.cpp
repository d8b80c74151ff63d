// The floating word window on its own: design, layout on every text, drag, lookup, stop.
#include "drill/DrillOptions.h"
#include "drill/FloatingLayout.h"
#include "drill/FormShowWord.h"

#include <QGuiApplication>
#include <QScreen>

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QLabel *label1(FormShowWord &w)
{
    return w.findChild<QLabel *>(QStringLiteral("Label1"));
}

// A mouse event on the text at a global position, so the window moving under the pointer does
// not shift the positions the test means.
void mouseOnText(FormShowWord &w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                 const QPoint &global)
{
    QLabel *label = label1(w);
    const QPointF local = label->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(label, &event);
}

} // namespace

class TestFormShowWord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadsAsDesigned();
    void everyTextLaysTheWindowOut();
    void staysInsideTheWorkArea_data();
    void staysInsideTheWorkArea();
    void dragsByTheTextWithAnyButton_data();
    void dragsByTheTextWithAnyButton();
    void doubleClickLooksUpTheWord_data();
    void doubleClickLooksUpTheWord();
    void stopButtonAsksToStop();
    void rightClickOpensTheActionMenu();
    void textSizeAppliesAtOnce();
};

void TestFormShowWord::loadsAsDesigned()
{
    FormShowWord w;
    QVERIFY(!w.isVisible());
    QCOMPARE(w.size(), QSize(536, 69)); // 8010 × 1005 twips inside a one-pixel border
    QCOMPARE(w.caption(), QStringLiteral("TanvicQuorvel,准备好了吗？"));
    QCOMPARE(w.label1Geometry().top(), 0);

    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(w.testAttribute(Qt::WA_ShowWithoutActivating));

    // The pictures are compiled in.
    QVERIFY(!w.findChild<QPushButton *>(QStringLiteral("Command1"))->icon().isNull());
    QVERIFY(!w.findChild<QLabel *>(QStringLiteral("Image2"))->pixmap().isNull());

    QCOMPARE(label1(w)->textFormat(), Qt::PlainText); // a "<b>" in an entry shows as typed
}

void TestFormShowWord::everyTextLaysTheWindowOut()
{
    FormShowWord w;
    w.move(40, 500);
    QLabel *text = label1(w);
    QLabel *backdrop = w.findChild<QLabel *>(QStringLiteral("Image2"));

    QString previousCaption;
    int previousWidth = 0;
    for (const QString &caption : {QStringLiteral("abandon  放弃"), QStringLiteral("extraordinary  非凡的，特别的"),
                                   QStringLiteral("go  去")}) {
        w.setCaption(caption);
        QVERIFY(w.isVisible());
        QCOMPARE(w.caption(), caption);
        QCOMPARE(w.pos(), QPoint(40, 500));
        // One line as wide as the text, 470 twips from the client's left, at its top.
        QCOMPARE(text->size(), text->sizeHint());
        const QRect label = w.label1Geometry();
        QCOMPARE(label.topLeft(), QPoint(31, 0));
        // The backdrop lies under the text and 50 twips (3 px) lower; the window ends 570 twips
        // wider and 50 twips higher than the text.
        QCOMPARE(backdrop->geometry(), QRect(text->pos(), QSize(label.width(), label.height() + 3)));
        QVERIFY(w.children().indexOf(text) > w.children().indexOf(backdrop)); // text in front
        QCOMPARE(w.size(), QSize(label.width() + 38, label.height() + 3));
        // The stop button runs down to the bottom border: no strip of background below it.
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("Command1"))->geometry().bottom(), w.height() - 2);
        if (!previousCaption.isEmpty())
            QCOMPARE(w.width() > previousWidth, caption.size() > previousCaption.size());
        previousCaption = caption;
        previousWidth = w.width();
    }
}

void TestFormShowWord::staysInsideTheWorkArea_data()
{
    const QString longEntry = QStringLiteral("antidisestablishmentarianism  ") + QString(300, u'义');
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("atRightEdge");
    QTest::addColumn<bool>("wraps");
    QTest::newRow("short") << QStringLiteral("go  去") << false << false;
    QTest::newRow("long") << longEntry << false << true;
    QTest::newRow("long, window at the right edge") << longEntry << true << true;
    QTest::newRow("short, window at the right edge") << QStringLiteral("extraordinary  非凡的，特别的") << true << false;
    QTest::newRow("3,000 letters without a space") << QString(3000, u'w') << true << true;
}

void TestFormShowWord::staysInsideTheWorkArea()
{
    QFETCH(QString, caption);
    QFETCH(bool, atRightEdge);
    QFETCH(bool, wraps);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    FormShowWord w;
    const QPoint start = atRightEdge ? QPoint(area.right() - 60, area.bottom() - 76)
                                     : FloatingWindow::startPosition(area, w.height());
    w.move(start);
    w.setCaption(caption);

    const QRect window = w.geometry();
    QVERIFY2(area.contains(window), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(window.x()).arg(window.y())
                                                   .arg(window.width()).arg(window.height())));
    const int oneLine = label1(w)->fontMetrics().height();
    QCOMPARE(w.label1Geometry().height() > oneLine, wraps);
    if (!atRightEdge && !wraps)
        QCOMPARE(w.pos(), start); // as designed: the drill's place, one line as wide as the text
    if (wraps) {
        // Two thirds of the work area at most, a few lines, the rest cut short; all of it in the
        // tooltip and in the caption.
        QVERIFY(window.width() <= area.width() * 2 / 3);
        QVERIFY(w.label1Geometry().height() <= FloatingWindow::kMaxLines * label1(w)->fontMetrics().lineSpacing());
        QVERIFY(label1(w)->text().endsWith(u'…'));
        QCOMPARE(label1(w)->toolTip(), caption);
        QCOMPARE(w.caption(), caption);
    } else {
        QVERIFY(label1(w)->toolTip().isEmpty());
    }
    // The next short entry is back at the drill's place.
    w.setCaption(QStringLiteral("go  去"));
    if (!atRightEdge)
        QCOMPARE(w.pos(), start);
    QVERIFY(area.contains(w.geometry()));
}

void TestFormShowWord::dragsByTheTextWithAnyButton_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestFormShowWord::dragsByTheTextWithAnyButton()
{
    QFETCH(Qt::MouseButton, button);
    FormShowWord w;
    w.move(100, 600);
    w.setCaption(QStringLiteral("abandon  放弃"));
    const QPoint start = w.mapToGlobal(w.label1Geometry().center());

    mouseOnText(w, QEvent::MouseButtonPress, button, button, start);
    // A jitter below the threshold is still a click.
    mouseOnText(w, QEvent::MouseMove, Qt::NoButton, button, start + QPoint(2, 1));
    QCOMPARE(w.pos(), QPoint(100, 600));
    // Beyond it the window follows the pointer, with the text staying under it.
    mouseOnText(w, QEvent::MouseMove, Qt::NoButton, button, start + QPoint(30, -20));
    QCOMPARE(w.pos(), QPoint(130, 580));
    mouseOnText(w, QEvent::MouseMove, Qt::NoButton, button, start + QPoint(-80, -300));
    QCOMPARE(w.pos(), QPoint(20, 300));
    mouseOnText(w, QEvent::MouseButtonRelease, button, Qt::NoButton, start + QPoint(-80, -300));
    // Moving without a button held does nothing.
    mouseOnText(w, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, start + QPoint(50, 50));
    QCOMPARE(w.pos(), QPoint(20, 300));
    // The next word keeps the dragged position.
    w.setCaption(QStringLiteral("go  去"));
    QCOMPARE(w.pos(), QPoint(20, 300));
}

void TestFormShowWord::doubleClickLooksUpTheWord_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lookups");
    QTest::newRow("word and meaning") << QStringLiteral("abandon  放弃") << QStringList{QStringLiteral("abandon")};
    QTest::newRow("no meaning") << QStringLiteral("hello") << QStringList{QStringLiteral("hello")};
    QTest::newRow("trailing slash") << QStringLiteral("either/  二者之一") << QStringList{QStringLiteral("either")};
    QTest::newRow("nothing to look up") << QStringLiteral("/") << QStringList{};
}

void TestFormShowWord::doubleClickLooksUpTheWord()
{
    QFETCH(QString, caption);
    QFETCH(QStringList, lookups);
    FormShowWord w;
    w.move(100, 600);
    w.setCaption(caption);
    QSignalSpy spy(&w, &FormShowWord::lookupRequested);
    const QPoint at = w.mapToGlobal(w.label1Geometry().center());

    // A real hand: press, a pixel of jitter, release, the second press arriving as a double-click.
    mouseOnText(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    mouseOnText(w, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at + QPoint(1, 1));
    mouseOnText(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at + QPoint(1, 1));
    mouseOnText(w, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, at + QPoint(1, 1));
    mouseOnText(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at + QPoint(1, 1));

    QStringList got;
    for (const QList<QVariant> &args : spy)
        got << args.at(0).toString();
    QCOMPARE(got, lookups);
    QCOMPARE(w.pos(), QPoint(100, 600));
}

void TestFormShowWord::stopButtonAsksToStop()
{
    FormShowWord w;
    w.setCaption(QStringLiteral("abandon  放弃"));
    QSignalSpy stop(&w, &FormShowWord::stopRequested);
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(stop.count(), 1);
}

void TestFormShowWord::rightClickOpensTheActionMenu()
{
    FormShowWord w;
    w.move(100, 600);
    w.setCaption(QStringLiteral("abandon  放弃"));
    const QPoint start = w.mapToGlobal(w.label1Geometry().center());
    QMenu *menu = w.actionMenu();
    auto names = [menu] {
        QStringList texts;
        for (const QAction *a : menu->actions())
            texts << a->text();
        return texts.join(u',');
    };

    // A right drag moves the window and opens no menu.
    mouseOnText(w, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, start);
    mouseOnText(w, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, start + QPoint(30, 0));
    mouseOnText(w, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, start + QPoint(30, 0));
    QVERIFY(!menu->isVisible());

    // A right click does, with every action by name; "暂停" reads "继续" while paused.
    const QPoint at = w.mapToGlobal(w.label1Geometry().center());
    w.setPaused(true);
    QSignalSpy hold(&w, &FormShowWord::holdChanged);
    mouseOnText(w, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, at);
    mouseOnText(w, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, at);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(hold.size(), 1); // the drill holds while the menu is open
    // Choosing an entry acts on the drill: end to end, in tst_e2e_drill.
    QCOMPARE(names(), QStringLiteral("继续,上一个,下一个,已掌握,查词,朗读,停止背单词"));
}

void TestFormShowWord::textSizeAppliesAtOnce()
{
    FormShowWord w;
    w.move(100, 300);
    w.setCaption(QStringLiteral("abandon  放弃"));
    const QSize medium = w.size();
    w.setTextPointSize(DrillOptions::pointSize(DrillOptions::TextSize::Large));
    QVERIFY(w.width() > medium.width() && w.height() > medium.height());
    w.setTextPointSize(DrillOptions::pointSize(DrillOptions::TextSize::Small));
    QVERIFY(w.width() < medium.width() && w.height() < medium.height());
    QCOMPARE(w.pos(), QPoint(100, 300));
}

QTEST_MAIN(TestFormShowWord)
#include "tst_formshowword.moc"
