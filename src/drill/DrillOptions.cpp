#include "DrillOptions.h"

#include "app/Settings.h"

namespace {
const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");
const QString kHoverPause = QStringLiteral("悬停暂停");
const QString kTextSize = QStringLiteral("字号");
const QString kKnownTakePart = QStringLiteral("复习已掌握");
const QString kAutoSpeak = QStringLiteral("朗读");
const QString kSpeechRate = QStringLiteral("语速");
const QString kEnglishVoice = QStringLiteral("英文语音");
const QString kChineseVoice = QStringLiteral("中文语音");

QString keySetting(DrillOptions::KeyAction action)
{
    switch (action) {
    case DrillOptions::KeyAction::Next:
        return QStringLiteral("快捷键下一个");
    case DrillOptions::KeyAction::Previous:
        return QStringLiteral("快捷键上一个");
    case DrillOptions::KeyAction::PauseResume:
        return QStringLiteral("快捷键暂停继续");
    case DrillOptions::KeyAction::Known:
        return QStringLiteral("快捷键已掌握");
    case DrillOptions::KeyAction::StartStop:
        return QStringLiteral("快捷键开始停止");
    case DrillOptions::KeyAction::Speak:
        return QStringLiteral("快捷键朗读");
    }
    return {};
}

// "是" is on, "否" off; anything else keeps the default.
bool readYesNo(const Settings &settings, const QString &key, bool fallback)
{
    const QString text = settings.value(key, QString());
    if (text == kYes)
        return true;
    if (text == kNo)
        return false;
    return fallback;
}
} // namespace

QList<DrillOptions::KeyAction> DrillOptions::keyActions()
{
    return {KeyAction::Next, KeyAction::Previous, KeyAction::PauseResume, KeyAction::Known, KeyAction::StartStop,
            KeyAction::Speak};
}

std::array<QString, DrillOptions::keyActionCount> DrillOptions::defaultKeys()
{
    // Clear of what desktops and common programs hold: Ctrl+Alt+arrows, A, Z, W, P, L, T, D, H, Space.
    return {QStringLiteral("Ctrl+Alt+N"), QStringLiteral("Ctrl+Alt+B"), QStringLiteral("Ctrl+Alt+J"),
            QStringLiteral("Ctrl+Alt+K"), QStringLiteral("Ctrl+Alt+G"), QStringLiteral("Ctrl+Alt+R")};
}

QString DrillOptions::defaultKey(KeyAction action)
{
    return defaultKeys()[static_cast<size_t>(action)];
}

QString DrillOptions::keyActionName(KeyAction action)
{
    switch (action) {
    case KeyAction::Next:
        return QStringLiteral("下一个");
    case KeyAction::Previous:
        return QStringLiteral("上一个");
    case KeyAction::PauseResume:
        return QStringLiteral("暂停/继续");
    case KeyAction::Known:
        return QStringLiteral("已掌握");
    case KeyAction::StartStop:
        return QStringLiteral("开始/停止背单词");
    case KeyAction::Speak:
        return QStringLiteral("朗读");
    }
    return {};
}

bool DrillOptions::isUsableKey(const QString &key)
{
    if (key.isEmpty())
        return true;
    // PortableText names the modifiers first, each followed by "+"; the key itself may be "+".
    const QStringList parts = key.left(key.size() - 1).split(u'+', Qt::SkipEmptyParts);
    return parts.contains(QStringLiteral("Ctrl")) || parts.contains(QStringLiteral("Alt"))
           || parts.contains(QStringLiteral("Meta"));
}

QStringList DrillOptions::textSizeNames()
{
    return {QStringLiteral("小"), QStringLiteral("中"), QStringLiteral("大")};
}

double DrillOptions::pointSize(TextSize size)
{
    switch (size) {
    case TextSize::Small:
        return 15.75;
    case TextSize::Medium:
        return 21.75;
    case TextSize::Large:
        return 30.0;
    }
    return 21.75;
}

DrillOptions DrillOptions::load(const Settings &settings)
{
    DrillOptions options;
    options.hoverPause = readYesNo(settings, kHoverPause, options.hoverPause);
    options.knownTakePart = readYesNo(settings, kKnownTakePart, options.knownTakePart);
    options.autoSpeak = readYesNo(settings, kAutoSpeak, options.autoSpeak);
    options.speechRate = qBound(-10, settings.value(kSpeechRate, QStringLiteral("0")).toInt(), 10);
    options.englishVoice = settings.value(kEnglishVoice, QString());
    options.chineseVoice = settings.value(kChineseVoice, QString());
    const qsizetype size = textSizeNames().indexOf(settings.value(kTextSize, QString()));
    if (size >= 0)
        options.textSize = static_cast<TextSize>(size);
    for (KeyAction action : keyActions()) {
        // A key stored empty means the learner took the key away; only a missing one is the default.
        const QString missing = QStringLiteral("\x01");
        const QString key = settings.value(keySetting(action), missing);
        // One that would take a letter from every program's typing keeps the default.
        if (key != missing && isUsableKey(key.trimmed()))
            options.setKey(action, key.trimmed());
    }
    return options;
}

void DrillOptions::save(Settings &settings) const
{
    settings.setValue(kHoverPause, hoverPause ? kYes : kNo);
    settings.setValue(kKnownTakePart, knownTakePart ? kYes : kNo);
    settings.setValue(kTextSize, textSizeNames().at(static_cast<int>(textSize)));
    settings.setValue(kAutoSpeak, autoSpeak ? kYes : kNo);
    settings.setValue(kSpeechRate, QString::number(speechRate));
    settings.setValue(kEnglishVoice, englishVoice);
    settings.setValue(kChineseVoice, chineseVoice);
    for (KeyAction action : keyActions())
        settings.setValue(keySetting(action), key(action));
}
