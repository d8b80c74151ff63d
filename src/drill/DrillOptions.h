#pragma once

#include <QList>
#include <QString>

#include <array>

class Settings;

// The learner's choices about drills, kept in the settings store's section "设置" beside the delay
// and the order, under Chinese keys. A missing or unknown value means the program's behaviour
// before the choice existed: no hover pause, the designed text size, known entries skipped.
struct DrillOptions
{
    enum class TextSize { Small, Medium, Large };
    // The actions that have a key working in any program, in the options window's order.
    enum class KeyAction { Next, Previous, PauseResume, Known, StartStop, Speak };
    static constexpr int keyActionCount = 6;

    bool hoverPause = false;
    TextSize textSize = TextSize::Medium;
    bool knownTakePart = false;
    // Speech: every entry a drill shows spoken as it appears ("朗读", 是/否), the rate ("语速",
    // -10 to 10) and the voices chosen for English and Chinese ("英文语音", "中文语音"; empty: the
    // engine's own choice).
    bool autoSpeak = false;
    int speechRate = 0;
    QString englishVoice, chineseVoice;
    // Each action's key as QKeySequence::PortableText ("Ctrl+Alt+N"); empty means no key.
    std::array<QString, keyActionCount> keys = defaultKeys();

    static QList<KeyAction> keyActions();
    static std::array<QString, keyActionCount> defaultKeys();
    static QString defaultKey(KeyAction action);
    // The action's name in the options window: "下一个", "暂停/继续", …
    static QString keyActionName(KeyAction action);
    QString key(KeyAction action) const { return keys[static_cast<size_t>(action)]; }
    void setKey(KeyAction action, const QString &key) { keys[static_cast<size_t>(action)] = key; }

    // A key that works in any program must hold Ctrl, Alt or the Windows key: a bare letter or
    // Shift+letter would be taken from every program's typing. Empty (no key) is allowed.
    static bool isUsableKey(const QString &key);

    // "小", "中", "大", in the order of TextSize.
    static QStringList textSizeNames();
    // The floating window's text size in points; Medium is the designed 21.75.
    static double pointSize(TextSize size);

    static DrillOptions load(const Settings &settings);
    void save(Settings &settings) const;

    bool operator==(const DrillOptions &) const = default;
};
