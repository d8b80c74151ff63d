// The main window's speech: "朗读" for the current entry, and each drill entry spoken as it appears.
#include "Form1.h"

#include "Settings.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeechText.h"
#include "wordlist/WordListModel.h"

#include <QAction>
#include <QMenu>

namespace {
const QString kSpeakKey = QStringLiteral("朗读");
const QString kRateKey = QStringLiteral("语速");
const QString kEnglishVoiceKey = QStringLiteral("英文语音");
const QString kChineseVoiceKey = QStringLiteral("中文语音");
} // namespace

void Form1::setupSpeech()
{
    m_speechSettings.autoSpeak = m_settings->value(kSpeakKey, QStringLiteral("否")) == QStringLiteral("是");
    m_speechSettings.rate = qBound(-10, m_settings->value(kRateKey, QStringLiteral("0")).toInt(), 10);
    m_speechSettings.englishVoice = m_settings->value(kEnglishVoiceKey, QString());
    m_speechSettings.chineseVoice = m_settings->value(kChineseVoiceKey, QString());
    if (m_context.makeSpeechEngine)
        m_speech = m_context.makeSpeechEngine(this);
    if (m_speech) {
        m_speech->setRate(m_speechSettings.rate);
        connect(m_speech.get(), &SpeechEngine::availabilityChanged, this, &Form1::updateSpeechActions);
    }
    updateSpeechActions();
}

void Form1::updateSpeechActions()
{
    const bool available = m_speech && m_speech->available();
    const QString reason = !m_speech ? QStringLiteral("本系统没有语音引擎") : m_speech->unavailableReason();
    m_listMenu.speak->setEnabled(available);
    m_listMenu.speak->setToolTip(available ? QString() : reason);
}

void Form1::speakWord(const QString &word)
{
    if (!m_speech || !m_speech->available() || word.isEmpty())
        return;
    m_speech->say(word, SpeechText::chooseVoice(word, m_speech->voices(), m_speechSettings.englishVoice,
                                                m_speechSettings.chineseVoice));
}

void Form1::menu朗读_Click()
{
    const int row = currentEntryRow();
    if (row >= 0)
        speakWord(m_wordList->word(row).toString());
}
