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

namespace {

// Lower is better; -1: not a voice for this script. Among English voices American, then British,
// then plain English before regional ones (espeak-ng lists the Caribbean first); among Chinese
// ones Mandarin as spoken in China first, Cantonese last.
int rank(const QString &language, bool english)
{
    const QString tag = language.toLower().replace(u'_', u'-');
    if (english) {
        if (!isEnglish(tag))
            return -1;
        if (tag == u"en-us")
            return 0;
        if (tag == u"en-gb")
            return 1;
        return tag == u"en" ? 2 : 3;
    }
    if (!isChinese(tag))
        return -1;
    if (tag == u"zh-cn" || tag == u"zh" || tag == u"cmn" || tag == u"cmn-cn" || tag == u"zh-hans")
        return 0;
    return primaryTag(tag) == u"yue" ? 2 : 1;
}

} // namespace

QString chooseVoice(const QString &text, const QList<SpeechEngine::Voice> &voices,
                    const QString &preferredEnglishId, const QString &preferredChineseId)
{
    const Script script = scriptOf(text);
    if (script == Script::Other)
        return {};
    const bool english = script == Script::Latin;
    const QString &preferred = english ? preferredEnglishId : preferredChineseId;
    QString best;
    int bestRank = -1;
    for (const SpeechEngine::Voice &voice : voices) {
        if (!preferred.isEmpty() && voice.id == preferred)
            return voice.id;
        const int r = rank(voice.language, english);
        if (r >= 0 && (bestRank < 0 || r < bestRank)) {
            best = voice.id;
            bestRank = r;
        }
    }
    return best;
}

} // namespace SpeechText
