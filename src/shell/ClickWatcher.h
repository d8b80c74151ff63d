#pragma once

#include <QObject>

class QWidget;

// Turns a left-button click on a widget that has no click signal of its own (a picture, a label)
// into clicked(): pressed and released over the widget, as a button would count it.
class ClickWatcher : public QObject
{
    Q_OBJECT
public:
    explicit ClickWatcher(QWidget *watched);

Q_SIGNALS:
    void clicked();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    QWidget *m_watched;
    bool m_pressed = false;
};
