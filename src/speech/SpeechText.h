#pragma once

#include "speech/SpeechEngine.h"

#include <QList>
#include <QString>

// What is spoken for an entry, and with which voice.
namespace SpeechText {

// The word of an entry's shown text (word, two spaces, meaning): the text before the two spaces,
// prepared as the drill's dictionary lookup prepares it. For an entry imported meaning-first that
// is the Chinese text.
QString wordOf(const QString &entryText);

enum class Script { Latin, Han, Other };

// Latin: every letter is a Latin one. Han: at least one Han character and no letter of a script
// other than Han or Latin. Other: everything else, text without letters too.
Script scriptOf(const QString &text);

// "en", "en-US", "en_gb" → English; "zh", "zh-CN", "cmn", "yue" → Chinese.
bool isEnglish(const QString &language);
bool isChinese(const QString &language);

// The voice for `text`: Latin-script text gets an English voice, Han text a Chinese one: the
// preferred id when that voice is installed, else the installed voice of the language that fits
// best (American English, then British, then the rest; Mandarin of China, then other Mandarin,
// then Cantonese), the first listed among equals.
// Empty (the engine's default voice) when no such voice is installed or the script is neither.
QString chooseVoice(const QString &text, const QList<SpeechEngine::Voice> &voices,
                    const QString &preferredEnglishId, const QString &preferredChineseId);

} // namespace SpeechText
