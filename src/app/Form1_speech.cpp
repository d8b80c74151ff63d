// The main window's speech: "朗读" for the current entry, and each drill entry spoken as it appears.
#include "Form1.h"

#include "Settings.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeechText.h"
#include "drill/DrillController.h"
#include "drill/FormOptions.h"
#include "wordlist/WordListModel.h"

#include <QAction>
#include <QMenu>

void Form1::setupSpeech()
{
    if (m_context.makeSpeechEngine)
        m_speech = m_context.makeSpeechEngine(this);
    if (m_speech) {
        m_speech->setRate(m_drillOptions.speechRate);
        connect(m_speech.get(), &SpeechEngine::availabilityChanged, this, &Form1::updateSpeechActions);
    }
    connect(m_drillController, &DrillController::speakRequested, this, &Form1::speakWord);
    updateSpeechActions();
}

bool Form1::speechAvailable() const
{
    return m_speech && m_speech->available();
}

QString Form1::speechUnavailableReason() const
{
    return !m_speech ? QStringLiteral("本系统没有语音引擎") : m_speech->unavailableReason();
}

void Form1::updateSpeechActions()
{
    const bool available = speechAvailable();
    const QString reason = available ? QString() : speechUnavailableReason();
    m_listMenu.speak->setEnabled(available);
    m_listMenu.speak->setToolTip(reason);
    if (m_FormShowWord)
        m_FormShowWord->setActionEnabled(DrillAction::Speak, available, reason);
    updateTrayMenu();
}

void Form1::speakWord(const QString &word)
{
    if (!m_speech || !m_speech->available() || word.isEmpty())
        return;
    m_speech->say(word, SpeechText::chooseVoice(word, m_speech->voices(), m_drillOptions.englishVoice,
                                                m_drillOptions.chineseVoice));
}

void Form1::menu朗读_Click()
{
    const int row = currentEntryRow();
    if (row >= 0)
        speakWord(m_wordList->word(row).toString());
}

FormOptions::SpeechChoices Form1::speechChoices() const
{
    FormOptions::SpeechChoices choices;
    choices.available = speechAvailable();
    choices.reason = speechUnavailableReason();
    if (!choices.available)
        return choices;
    for (const SpeechEngine::Voice &voice : m_speech->voices()) {
        if (SpeechText::isEnglish(voice.language))
            choices.english.append({voice.id, voice.name});
        else if (SpeechText::isChinese(voice.language))
            choices.chinese.append({voice.id, voice.name});
    }
    return choices;
}
