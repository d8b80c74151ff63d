// The real message boxes: Qt's own button texts in Chinese whatever the system language, and a
// title that shows whole however short the message.
#include "app/ChineseTexts.h"
#include "shell/AppInfo.h"
#include "shell/QtDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestQtDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void shortMessageShowsTheWholeTitleAndChineseButton();
};

void TestQtDialogs::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // as on an English system
#ifdef QUORVEL_HAS_QT_CHINESE
    QVERIFY(ChineseTexts::install(*qApp));
#else
    QSKIP("built without Qt's Chinese translation (qt6-translations-l10n)");
#endif
}

void TestQtDialogs::shortMessageShowsTheWholeTitleAndChineseButton()
{
    QtDialogs dialogs;
    int width = 0;
    QString ok;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        width = box->width();
        ok = box->button(QMessageBox::Ok)->text();
        box->accept();
    });
    dialogs.message(nullptr, Dialogs::Icon::Critical, QStringLiteral("请先导入词汇！"));
    QCOMPARE(ok, QStringLiteral("确定"));
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    // Room for the whole title beside a title bar's icon and close box.
    QVERIFY2(width >= QFontMetrics(titleFont).horizontalAdvance(AppInfo::title()) + 100,
             qPrintable(QString::number(width)));
}

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
