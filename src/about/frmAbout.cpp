#include "frmAbout.h"

#include "AboutText.h"
#include "SystemInfo.h"
#include "shell/AppInfo.h"
#include "shell/ClickWatcher.h"
#include "shell/Dialogs.h"
#include "shell/Endpoints.h"
#include "widgets/FixedWindow.h"
#include "shell/WebLinks.h"
#include "ui_frmAbout.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

#include <iterator>

frmAbout::frmAbout(Launcher &launcher, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmAbout>()), m_launcher(launcher), m_dialogs(dialogs)
{
    m_ui->setupUi(this);
    // A fixed dialog border: close box only, no minimize or maximize box, not resizable.
    FixedWindow::setUp(this, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                 | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    QFont slogan = m_ui->Label9->font();
    slogan.setPointSizeF(15.75);
    m_ui->Label9->setFont(slogan);

    // The engraved separator is drawn, not hovered: the pointer over it is over the background.
    for (QWidget *line : {static_cast<QWidget *>(m_ui->Line1_0), static_cast<QWidget *>(m_ui->Line1_1),
                          static_cast<QWidget *>(m_ui->Line2)})
        line->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Hover needs moves without a pressed button.
    setMouseTracking(true);
    for (QLabel *link : {m_ui->Label2, m_ui->Label4, m_ui->Label7}) {
        link->setMouseTracking(true);
        link->installEventFilter(this);
        // Installed after the window's own filter, so it sees the presses the window swallows.
        connect(new ClickWatcher(link), &ClickWatcher::clicked, this, [this, link] { openLink(link); });
        // The links are reached with Tab and opened with Enter or Space, as links are everywhere.
        link->setFocusPolicy(Qt::TabFocus);
        link->setStyleSheet(QStringLiteral("QLabel:focus { background-color: rgb(204, 228, 247); }"));
    }
    // The buttons come first, so Enter and Esc keep pressing "确定" when the window opens.
    setTabOrder(m_ui->cmdOK, m_ui->cmdSysInfo);
    setTabOrder(m_ui->cmdSysInfo, m_ui->Label4);
    setTabOrder(m_ui->Label4, m_ui->Label2);
    setTabOrder(m_ui->Label2, m_ui->Label7);
    m_ui->cmdOK->setFocus();

    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load()
{
    const QString title = AppInfo::title();
    setWindowTitle(AboutText::caption(title));

    // The title stays centred where it was designed, sized to its text.
    const int centre = m_ui->lblTitle->geometry().center().x();
    m_ui->lblTitle->setText(title);
    m_ui->lblTitle->adjustSize();
    m_ui->lblTitle->move(centre - m_ui->lblTitle->width() / 2, m_ui->lblTitle->y());

    m_ui->lblVersion->setText(AboutText::version(AppInfo::versionMajor(), AppInfo::versionMinor(),
                                                 AppInfo::versionRevision()));
    // Screen readers announce what the labels now say.
    m_ui->lblTitle->setAccessibleName(m_ui->lblTitle->text());
    m_ui->lblVersion->setAccessibleName(m_ui->lblVersion->text());

    // The contact lines, and the link lines showing where they lead.
    m_ui->Label1->setText(QStringLiteral("作者：") + Endpoints::author());
    m_ui->Label3->setText(QStringLiteral("电话：") + Endpoints::phone());
    m_ui->Label5->setText(QStringLiteral("QQ：") + Endpoints::qq());
    m_ui->Label6->setText(QStringLiteral("微信：") + Endpoints::weChat());
    m_ui->Label4->setText(m_ui->Label4->text() + Endpoints::feedbackAddress());
    m_ui->Label2->setText(m_ui->Label2->text() + QUrl(Endpoints::supportSite()).host());
    m_ui->Label7->setText(m_ui->Label7->text() + QUrl(Endpoints::makerSite()).host());
    for (QLabel *label : {m_ui->Label1, m_ui->Label3, m_ui->Label5, m_ui->Label6})
        label->setAccessibleName(label->text());

    layOutLines();
    m_ui->Line2->hide();
}

void frmAbout::layOutLines()
{
    // The version and the seven contact lines stand at one even pitch, as designed, or at the
    // font's own line spacing when that is taller, so no line crowds the next or loses its
    // descenders. Whatever lies below the column moves down if the column grows.
    QLabel *const lines[] = {m_ui->lblVersion, m_ui->Label1, m_ui->Label3, m_ui->Label5,
                             m_ui->Label6,     m_ui->Label4, m_ui->Label2, m_ui->Label7};
    const int pitch = qMax(18, m_ui->Label1->fontMetrics().lineSpacing() + 2);
    const int top = m_ui->lblVersion->y();
    int bottom = top;
    for (int i = 0; i < int(std::size(lines)); ++i) {
        QLabel *label = lines[i];
        label->adjustSize();
        label->move(label->x(), top + i * pitch);
        bottom = label->geometry().bottom();
    }
    const int gap = 6;
    const int shift = qMax(0, bottom + gap - m_ui->Line1_1->y());
    if (shift > 0) {
        for (QWidget *below : {static_cast<QWidget *>(m_ui->Line1_1), static_cast<QWidget *>(m_ui->Line1_0),
                               static_cast<QWidget *>(m_ui->Label9), static_cast<QWidget *>(m_ui->cmdOK),
                               static_cast<QWidget *>(m_ui->cmdSysInfo)})
            below->move(below->x(), below->y() + shift);
        setFixedSize(width(), height() + shift);
    }
    m_ui->Label9->adjustSize();
    // The slogan's descenders stay inside the window.
    const int needed = m_ui->Label9->geometry().bottom() + gap;
    if (needed > height())
        setFixedSize(width(), needed);
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen at each showing.
    FixedWindow::centre(this, m_centreOn ? m_centreOn.data() : QGuiApplication::primaryScreen());
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    if (SystemInfo::start(m_launcher))
        return;
    m_dialogs.message(this, Dialogs::Icon::Critical, SystemInfo::unavailableMessage());
}

void frmAbout::Label2_Click()
{
    Module1::OpenWebPage(m_launcher, Endpoints::supportSite());
}

void frmAbout::Label4_Click()
{
    Module1::SendFeedbackMail(m_launcher);
}

void frmAbout::Label7_Click()
{
    Module1::OpenWebPage(m_launcher, Endpoints::makerSite());
}

void frmAbout::模拟网址下划线(QLabel *label)
{
    const QRect r = label->geometry();
    m_ui->Line2->setGeometry(r.left(), r.top() + r.height(), r.width(), 1);
    m_ui->Line2->show();
}

void frmAbout::Form_MouseMove()
{
    m_ui->Line2->hide();
}

bool frmAbout::eventFilter(QObject *object, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (!label)
        return QDialog::eventFilter(object, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        模拟网址下划线(label);
        return true;
    case QEvent::FocusIn:
        模拟网址下划线(label);
        return false;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
            return QDialog::eventFilter(object, event);
        openLink(label);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // The label's ClickWatcher has counted the click; the label itself takes no press.
        return true;
    default:
        return QDialog::eventFilter(object, event);
    }
}

void frmAbout::openLink(QLabel *label)
{
    if (label == m_ui->Label2)
        Label2_Click();
    else if (label == m_ui->Label4)
        Label4_Click();
    else if (label == m_ui->Label7)
        Label7_Click();
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over a plain label or a button reach the window too; only the bare background hides
    // the underline.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}
