#include "FormShowWord.h"

#include "DrillText.h"
#include "FloatingLayout.h"
#include "WindowProcedures.h"
#include "shell/Pictures.h"
#include "ui_FormShowWord.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>

namespace {
// The window's one-pixel frame; the controls are placed in the client area inside it.
constexpr int kBorder = 1;
const QColor kBackground(192, 255, 192);
const QColor kFrame(64, 64, 64);

// The window manager's move loop follows the left button (Qt's X11 request names button 1, the
// Win32 caption move tracks the left button); a drag with another button is moved here instead,
// except on Wayland, where only the compositor can move a window and any button will do.
bool systemMoveFor(Qt::MouseButton button)
{
    return button == Qt::LeftButton || QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// `text` wrapped to `width` in at most `maxLines` lines joined by line breaks; what does not fit
// makes the last line end in "…".
QString fitLines(const QString &text, const QFont &font, int width, int maxLines)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (int i = 0; i < maxLines; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (i == maxLines - 1) {
            lines << QFontMetrics(font).elidedText(text.mid(line.textStart()).trimmed(), Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.join(u'\n');
}
} // namespace

FormShowWord::FormShowWord(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::FormShowWord>())
{
    m_ui->setupUi(this);
    m_caption = m_ui->Label1->text();

    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
#ifdef Q_OS_WIN
    // A tool window has no taskbar button.
    flags |= Qt::Tool;
#else
    // Elsewhere a tool window is tied to the (hidden) main window, and some window managers hide
    // such windows while another program is active; an ordinary window that asks to be left out
    // of the taskbar stays put.
    flags |= Qt::Window;
#endif
    setWindowFlags(flags);
    setAttribute(Qt::WA_ShowWithoutActivating);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setAutoFillBackground(true);

    // "黑体" bold at 21.75 pt, or the nearest CJK sans this system has.
    QFont font = m_ui->Label1->font();
    font.setFamilies({QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Microsoft YaHei")});
    font.setPointSizeF(21.75);
    font.setBold(true);
    m_ui->Label1->setFont(font);
    m_ui->Label1->installEventFilter(this);
    // Room at both ends of the text in proportion to the font actually used, so no letter touches
    // the stop button or the backdrop's edge whatever its side bearings.
    const int pad = qMax(2, QFontMetrics(font).height() / 8);
    m_ui->Label1->setContentsMargins(pad, 0, pad, 0);

    m_ui->Image2->setPixmap(
        Pictures::forDensity(QStringLiteral(":/pictures/backdrop.png"), devicePixelRatioF()));

    // The window never becomes active, yet the stop button's tooltip must show.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    connect(m_ui->Command1, &QPushButton::clicked, this, &FormShowWord::Command1_Click);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("menuDrill"));
    for (DrillAction action : DrillActions::all()) {
        QAction *item = m_menu->addAction(DrillActions::name(action, false));
        item->setData(static_cast<int>(action));
        connect(item, &QAction::triggered, this, [this, action] { Q_EMIT actionRequested(action); });
    }
    m_menu->setToolTipsVisible(true);
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        m_menuOpen = true;
        updateHold();
    });
    // Queued: the action picked runs first, while the drill still holds.
    connect(
        m_menu, &QMenu::aboutToHide, this,
        [this] {
            m_menuOpen = false;
            m_pointerOn = frameGeometry().contains(QCursor::pos());
            updateHold();
        },
        Qt::QueuedConnection);

    FloatingWindowSupport::skipTaskbar(this);
    Form_Load();
}

FormShowWord::~FormShowWord() = default;

void FormShowWord::Form_Load()
{
    m_ui->Label1->move(m_ui->Label1->x(), kBorder);
}

QString FormShowWord::caption() const
{
    return m_caption;
}

void FormShowWord::setCaption(const QString &text)
{
    m_caption = text;
    m_ui->Label1->setAccessibleName(text); // a screen reader announces the word shown
    Label1_Change();
}

QRect FormShowWord::label1Geometry() const
{
    return m_ui->Label1->geometry().translated(-kBorder, -kBorder);
}

void FormShowWord::Label1_Change()
{
    show();
    Module1::SetTopmost(true, this);

    QLabel *label = m_ui->Label1;
    QPushButton *stop = m_ui->Command1;
    const QRect button = stop->geometry().translated(-kBorder, -kBorder);

    // One line as wide as the text. A text that would make the window wider than its share of
    // the work area of the screen it is on wraps at that width instead, in a few lines at most,
    // the last ending in "…" when the text goes on; the whole text is in the tooltip.
    const QRect area = workArea();
    const QSize largest = FloatingWindow::largestWindow(area);
    label->setWordWrap(false);
    label->setText(m_caption);
    label->adjustSize();
    const int widest = FloatingWindow::widestLabel(button, largest.width());
    if (label->width() > widest) {
        const QMargins margins = label->contentsMargins();
        const int lines = FloatingWindow::linesThatFit(label->fontMetrics().lineSpacing(), largest.height());
        label->setText(fitLines(m_caption, label->font(), widest - margins.left() - margins.right(), lines));
        label->adjustSize();
        label->resize(qMin(label->width(), widest), label->height());
    }
    label->setToolTip(label->text() == m_caption ? QString() : m_caption);

    const FloatingLayout layout = FloatingWindow::layoutFor(button, label->size());
    label->setGeometry(layout.label.translated(kBorder, kBorder));
    m_ui->Image2->setGeometry(layout.backdrop.translated(kBorder, kBorder));
    label->raise();
    // The stop button runs the window's whole height, so no strip of background shows below it.
    stop->resize(stop->width(), qMax(1, layout.window.height() - kBorder - stop->y()));
    // The left and top edges stay where the drill or the user put them, unless the window would
    // then reach past the work area; a window moved in for a long text goes back to its place
    // for the next one. Moved by the user since, its place is where they put it.
    const QPoint home = m_placed && pos() == m_placedAt ? m_home : pos();
    const QPoint at = FloatingWindow::keepInside(home, layout.window, area);
    resize(layout.window);
    move(at);
    m_home = home;
    m_placedAt = at;
    m_placed = true;
}

QRect FormShowWord::workArea() const
{
    const QScreen *here = QGuiApplication::screenAt(geometry().center());
    if (!here)
        here = screen();
    if (!here)
        here = QGuiApplication::primaryScreen();
    return here ? here->availableGeometry() : QRect(0, 0, 800, 600);
}

bool FormShowWord::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_ui->Label1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Label1_MouseDown(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove:
        Label1_MouseMove(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        Label1_MouseUp(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonDblClick:
        Label1_DblClick();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void FormShowWord::Label1_MouseDown(QMouseEvent *event)
{
    // Any button drags. The move starts only once the pointer has travelled a little: a move
    // begun by the window manager on the press itself would swallow the double-click.
    m_drag = Drag::Pressed;
    m_pressButton = event->button();
    m_pressGlobal = event->globalPosition().toPoint();
    m_windowAtPress = pos();
}

void FormShowWord::Label1_MouseMove(QMouseEvent *event)
{
    const QPoint global = event->globalPosition().toPoint();
    switch (m_drag) {
    case Drag::None:
        return;
    case Drag::Pressed:
        if ((global - m_pressGlobal).manhattanLength() < dragThreshold)
            return;
        // Catch up with the pointer first, so the text stays where it was grabbed.
        move(m_windowAtPress + (global - m_pressGlobal));
        if (systemMoveFor(m_pressButton) && Module1::DragWindow(this)) {
            // The window manager moves the window until the button is released.
            m_drag = Drag::None;
            return;
        }
        m_drag = Drag::Manual;
        [[fallthrough]];
    case Drag::Manual:
        move(m_windowAtPress + (global - m_pressGlobal));
        return;
    }
}

void FormShowWord::Label1_MouseUp(QMouseEvent *event)
{
    // A right press released where it was pressed is a click: the menu. A drag is no click.
    const bool rightClick = m_drag == Drag::Pressed && m_pressButton == Qt::RightButton
                            && event->button() == Qt::RightButton;
    m_drag = Drag::None;
    if (!rightClick)
        return;
    const QList<QAction *> items = m_menu->actions();
    const QList<DrillAction> actions = DrillActions::all();
    for (qsizetype i = 0; i < items.size() && i < actions.size(); ++i)
        items[i]->setText(DrillActions::name(actions[i], m_paused));
    m_menu->popup(event->globalPosition().toPoint());
}

void FormShowWord::setActionEnabled(DrillAction action, bool enabled, const QString &why)
{
    for (QAction *item : m_menu->actions()) {
        if (item->data().toInt() == static_cast<int>(action)) {
            item->setEnabled(enabled);
            item->setToolTip(enabled ? QString() : why);
        }
    }
}

void FormShowWord::setPaused(bool paused)
{
    m_paused = paused;
}

void FormShowWord::setHoverPause(bool on)
{
    m_hoverPause = on;
    m_pointerOn = isVisible() && frameGeometry().contains(QCursor::pos());
    updateHold();
}

void FormShowWord::updateHold()
{
    const bool hold = m_menuOpen || (m_hoverPause && m_pointerOn);
    if (hold == m_holding)
        return;
    m_holding = hold;
    Q_EMIT holdChanged(hold);
}

void FormShowWord::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_pointerOn = true;
    updateHold();
}

void FormShowWord::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_pointerOn = false;
    updateHold();
}

void FormShowWord::setTextPointSize(double points)
{
    QFont font = m_ui->Label1->font();
    if (qFuzzyCompare(font.pointSizeF(), points))
        return;
    font.setPointSizeF(points);
    m_ui->Label1->setFont(font);
    const int pad = qMax(2, QFontMetrics(font).height() / 8);
    m_ui->Label1->setContentsMargins(pad, 0, pad, 0);
    if (isVisible())
        Label1_Change();
}

void FormShowWord::Label1_DblClick()
{
    m_drag = Drag::None;
    const QString word = DrillText::lookupWord(caption());
    if (!word.isEmpty())
        Q_EMIT lookupRequested(word);
}

void FormShowWord::Command1_Click()
{
    Q_EMIT stopRequested();
}

void FormShowWord::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(kFrame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
