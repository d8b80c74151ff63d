#include "SpeechText.h"

#include "drill/DrillText.h"

namespace SpeechText {

QString wordOf(const QString &entryText)
{
    return DrillText::lookupWord(entryText);
}

Script scriptOf(const QString &text)
{
    bool latin = false;
    bool han = false;
    for (const char32_t c : text.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        if (script == QChar::Script_Han)
            han = true;
        else if (!QChar::isLetter(c))
            continue; // digits, spaces, punctuation, marks: any voice reads them
        else if (script == QChar::Script_Latin)
            latin = true;
        else
            return Script::Other;
    }
    if (han)
        return Script::Han;
    return latin ? Script::Latin : Script::Other;
}

namespace {

QString primaryTag(const QString &language)
{
    qsizetype end = 0;
    while (end < language.size() && language[end] != u'-' && language[end] != u'_')
        ++end;
    return language.left(end).toLower();
}

} // namespace

bool isEnglish(const QString &language)
{
    return primaryTag(language) == u"en";
}

bool isChinese(const QString &language)
{
    const QString tag = primaryTag(language);
    return tag == u"zh" || tag == u"cmn" || tag == u"yue";
}

QString chooseVoice(const QString &text, const QList<SpeechEngine::Voice> &voices,
                    const QString &preferredEnglishId, const QString &preferredChineseId)
{
    const Script script = scriptOf(text);
    if (script == Script::Other)
        return {};
    const bool english = script == Script::Latin;
    const QString &preferred = english ? preferredEnglishId : preferredChineseId;
    const SpeechEngine::Voice *first = nullptr;
    for (const SpeechEngine::Voice &voice : voices) {
        if (!preferred.isEmpty() && voice.id == preferred)
            return voice.id;
        if (english ? !isEnglish(voice.language) : !isChinese(voice.language))
            continue;
        // Mandarin is what a Chinese entry means; a Cantonese voice only when it is the only one.
        const bool better = !first
                            || (!english && primaryTag(first->language) == u"yue"
                                && primaryTag(voice.language) != u"yue");
        if (better)
            first = &voice;
    }
    return first ? first->id : QString();
}

} // namespace SpeechText
