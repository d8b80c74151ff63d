// The running program's presence in the notification area: a keyboard and a mouse reach it while
// the main window is out of sight and the floating window never takes the focus.
#include "Form1.h"

#include "shell/AppInfo.h"
#include "ui_Form1.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWindowStateChangeEvent>

void Form1::setupTray()
{
    if (m_tray || m_secondInstanceFound)
        return;
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("menuTray"));
    m_trayMenu->setToolTipsVisible(true);
    QAction *drill = m_trayDrill = m_trayMenu->addAction(QStringLiteral("开始背单词"));
    drill->setObjectName(QStringLiteral("trayDrill"));
    // The drill's actions, while a drill runs (stopping is the entry above).
    for (DrillAction action : DrillActions::all()) {
        if (action == DrillAction::Stop)
            continue;
        QAction *item = m_trayMenu->addAction(DrillActions::name(action, false));
        item->setData(static_cast<int>(action));
        connect(item, &QAction::triggered, this, [this, action] { m_drillController->trigger(action); });
        m_trayDrillActions << item;
    }
    m_trayMenu->addSeparator();
    QAction *showMain = m_trayMenu->addAction(QStringLiteral("显示主窗口"));
    showMain->setObjectName(QStringLiteral("trayShow"));
    m_trayOptions = m_trayMenu->addAction(QStringLiteral("选项"));
    m_trayOptions->setObjectName(QStringLiteral("trayOptions"));
    m_trayMenu->addSeparator();
    QAction *exit = m_trayExit = m_trayMenu->addAction(QStringLiteral("退出"));
    exit->setObjectName(QStringLiteral("trayExit"));

    connect(drill, &QAction::triggered, this, &Form1::startOrStopDrill);
    connect(m_trayOptions, &QAction::triggered, this, &Form1::menu选项_Click);
    connect(showMain, &QAction::triggered, this, &Form1::showMainWindow);
    connect(exit, &QAction::triggered, this, &Form1::close);
    // While a modal window is open the main window takes no input, and neither does its icon.
    connect(m_trayMenu, &QMenu::aboutToShow, this, &Form1::updateTrayMenu);

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("tray"));
    m_tray->setToolTip(AppInfo::title());
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            showMainWindow();
    });
    updateTrayMenu();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->show();
    } else {
        // Without a notification area a drill minimizes the main window instead of hiding it, and
        // window managers minimize only a window that has a minimize box.
        setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    }
}

void Form1::updateTrayMenu()
{
    if (!m_trayMenu)
        return;
    const bool running = drillRunning();
    const bool modal = QApplication::activeModalWidget() != nullptr;
    m_trayDrill->setText(running ? QStringLiteral("停止背单词") : QStringLiteral("开始背单词"));
    m_trayDrill->setEnabled(!modal);
    m_trayExit->setEnabled(!modal);
    m_trayOptions->setEnabled(!modal);
    for (QAction *item : std::as_const(m_trayDrillActions)) {
        const auto action = static_cast<DrillAction>(item->data().toInt());
        item->setVisible(running);
        item->setText(DrillActions::name(action, m_drillController->isPaused()));
        if (action == DrillAction::Speak) {
            item->setEnabled(speechAvailable());
            item->setToolTip(speechAvailable() ? QString() : speechUnavailableReason());
        }
    }
}

void Form1::showMainWindow()
{
    if (drillRunning()) {
        // The main window and a running drill never show together: coming back ends the drill,
        // as the stop button does.
        FormShowWord_Stop();
        return;
    }
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    showNormal();
    raise();
    activateWindow();
}

void Form1::stepAsideForDrill()
{
    if (!m_tray || m_tray->isVisible()) {
        hide();
        return;
    }
    // No notification area: the window waits minimized, in the taskbar and the Alt+Tab list, and
    // bringing it back ends the drill.
    m_minimizedForDrill = true;
    showMinimized();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_minimizedForDrill)
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if (change->oldState().testFlag(Qt::WindowMinimized) && !windowState().testFlag(Qt::WindowMinimized)) {
        // After the state change has run its course: stopping shows and activates the window itself.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (drillRunning())
                    FormShowWord_Stop();
            },
            Qt::QueuedConnection);
    }
}
