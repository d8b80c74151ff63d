#pragma once

#include "DrillOptions.h"

#include <QDialog>
#include <QPointer>
#include <QScreen>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;
class QKeySequenceEdit;
class QLabel;

// The options window "选项": hover pause, the floating window's text size, whether known entries
// take part in drills, and the key of each action that works in any program. It knows nothing of
// how keys are registered: the caller gives each key's state text and hears of every change.
class FormOptions : public QDialog
{
    Q_OBJECT
public:
    explicit FormOptions(const DrillOptions &options, QWidget *parent = nullptr);
    ~FormOptions() override;

    // The options as the window shows them now.
    DrillOptions options() const;
    // The text beside an action's key: "已注册", "已被其他程序占用", …
    void setKeyState(DrillOptions::KeyAction action, const QString &state);
    QString keyState(DrillOptions::KeyAction action) const;
    // What speech the system offers: the installed voices for English and for Chinese (id,
    // name), or why there is none (then the speech choices are greyed, the reason beside them).
    struct SpeechChoices
    {
        bool available = false;
        QString reason;
        QList<QPair<QString, QString>> english, chinese;
    };
    void setSpeech(const SpeechChoices &choices);
    // The monitor it opens centred on (the main window's); the primary one unless told.
    void centreOn(QScreen *screen) { m_centreOn = screen; }
    // OK: a key still being recorded counts as set.
    void accept() override;
    // Cancel, Esc and the close box: nothing is applied and each changed key goes back.
    void reject() override;

Q_SIGNALS:
    // The learner set an action's key (PortableText, empty for none). Cancel sends each key
    // changed back to what it was, the same way.
    void keyChanged(DrillOptions::KeyAction action, const QString &key);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void takeKey(DrillOptions::KeyAction action, const QString &key);

    DrillOptions m_original;
    DrillOptions m_current;
    QCheckBox *m_hoverPause = nullptr;
    QComboBox *m_textSize = nullptr;
    QCheckBox *m_knownTakePart = nullptr;
    QGroupBox *m_speech = nullptr;
    QCheckBox *m_autoSpeak = nullptr;
    QComboBox *m_englishVoice = nullptr;
    QComboBox *m_chineseVoice = nullptr;
    QSpinBox *m_speechRate = nullptr;
    QLabel *m_speechState = nullptr;
    std::array<QKeySequenceEdit *, DrillOptions::keyActionCount> m_keyEdits{};
    std::array<QLabel *, DrillOptions::keyActionCount> m_keyStates{};
    QPointer<QScreen> m_centreOn;
    bool m_placed = false;
};
