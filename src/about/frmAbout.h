#pragma once

#include <QDialog>
#include <QPointer>
#include <QScreen>

#include <memory>

class Dialogs;
class Launcher;
class QLabel;

namespace Ui {
class frmAbout;
}

// The About window: title, version, the maker's contact lines, three links and the
// system-information button. Everything it opens goes through the launcher; its one message through
// the dialogs.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(Launcher &launcher, Dialogs &dialogs, QWidget *parent = nullptr);
    ~frmAbout() override;

    // Starts the system-information tool, or says that there is none.
    void StartSysInfo();
    // The monitor it opens centred on (the main window's); the primary one unless told.
    void centreOn(QScreen *screen) { m_centreOn = screen; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPointer<QScreen> m_centreOn;
    void Form_Load();
    void Form_MouseMove();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Label2_Click();
    void Label4_Click();
    void Label7_Click();
    void layOutLines();
    void openLink(QLabel *label);
    // Moves the red line under a link label and shows it.
    void 模拟网址下划线(QLabel *label);

    std::unique_ptr<Ui::frmAbout> m_ui;
    Launcher &m_launcher;
    Dialogs &m_dialogs;
};
