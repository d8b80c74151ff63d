#pragma once

#include "DrillActions.h"

#include <QPoint>
#include <QWidget>

#include <memory>

class QLabel;
class QMenu;
class QMouseEvent;
class QPushButton;

namespace Ui {
class FormShowWord;
}

// The floating word window of a drill: one line of large text on a dark backdrop with a stop
// button at its left end. It stays above all other windows, never takes the keyboard focus, has
// no title bar and no taskbar button, fits itself to every new text and can be dragged by its
// text. A double-click on the text asks for the word to be looked up; a right click on it (pressed
// and released without moving) opens the menu of the drill's actions.
//
// A drill loads it afresh, so it starts with its designed size and caption every time.
class FormShowWord : public QWidget
{
    Q_OBJECT
public:
    explicit FormShowWord(QWidget *parent = nullptr);
    ~FormShowWord() override;

    QString caption() const;
    // Sets the text; like every change of caption this shows the window on top and lays it out.
    void setCaption(const QString &text);

    // Label1's rectangle in the client area (inside the border), in logical pixels.
    QRect label1Geometry() const;

    // How far the pointer travels with a button held before the text starts a move. A press that
    // moves less stays a click, so a double-click always reaches the lookup.
    static constexpr int dragThreshold = 4;

    // The menu names "继续" instead of "暂停" while the drill is paused.
    // An action the system cannot do now (speech without an engine) is greyed, with the reason
    // as its tooltip.
    void setActionEnabled(DrillAction action, bool enabled, const QString &why);
    void setPaused(bool paused);
    // With hover pause on, the window holds the drill while the pointer rests on it.
    void setHoverPause(bool on);
    // The text's size in points; a shown window lays itself out again at once.
    void setTextPointSize(double points);
    // The right-click menu (for tests: its actions are named as the drill's actions).
    QMenu *actionMenu() const { return m_menu; }

Q_SIGNALS:
    // The stop button was clicked.
    void stopRequested();
    // The text was double-clicked; the word (without its meaning) to look up.
    void lookupRequested(const QString &word);
    // An action chosen in the right-click menu.
    void actionRequested(DrillAction action);
    // The drill should hold (true) or go on (false): while the menu is open, so an action picked
    // applies to the entry it was opened on, and with hover pause while the pointer is on the window.
    void holdChanged(bool hold);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void Form_Load();
    void Label1_Change();
    void Label1_MouseDown(QMouseEvent *event);
    void Label1_MouseMove(QMouseEvent *event);
    void Label1_MouseUp(QMouseEvent *event);
    void updateHold();
    void Label1_DblClick();
    void Command1_Click();
    // The work area of the screen the window is on.
    QRect workArea() const;

    std::unique_ptr<Ui::FormShowWord> m_ui;
    // The whole text; the label may show it shortened.
    QString m_caption;

    enum class Drag { None, Pressed, Manual };
    Drag m_drag = Drag::None;
    Qt::MouseButton m_pressButton = Qt::NoButton;
    QPoint m_pressGlobal;
    QPoint m_windowAtPress;
    // Where the drill or the user put the window, and where the last layout put it.
    bool m_placed = false;
    QPoint m_home;
    QPoint m_placedAt;

    QMenu *m_menu = nullptr;
    bool m_paused = false;
    bool m_hoverPause = false;
    bool m_pointerOn = false;
    bool m_menuOpen = false;
    bool m_holding = false;
};
