// Keys that work in any program: the drill's actions while a drill runs, and start/stop at any time.
#include "Form1.h"

#include "drill/DrillController.h"
#include "shell/GlobalHotkeys.h"

#include <QKeySequence>

#include <utility>

namespace {
QString stateText(GlobalHotkeys::State state)
{
    switch (state) {
    case GlobalHotkeys::State::Off:
        return QStringLiteral("未设置");
    case GlobalHotkeys::State::Registered:
        return QStringLiteral("已注册");
    case GlobalHotkeys::State::Taken:
        return QStringLiteral("已被其他程序占用");
    case GlobalHotkeys::State::Unsupported:
        return QStringLiteral("此桌面不支持全局快捷键");
    case GlobalHotkeys::State::Invalid:
        return QStringLiteral("须含 Ctrl 或 Alt");
    }
    return {};
}
} // namespace

void Form1::setupGlobalKeys()
{
    m_globalKeys = new GlobalHotkeys(this);
    for (DrillOptions::KeyAction action : DrillOptions::keyActions())
        m_globalKeys->set(int(action), QKeySequence::fromString(m_drillOptions.key(action), QKeySequence::PortableText));
    connect(m_globalKeys, &GlobalHotkeys::activated, this,
            [this](int id) { globalKeyPressed(static_cast<DrillOptions::KeyAction>(id)); });
    // The options window shows each key's state and hands every change straight back here.
    setKeyStateSource([this](DrillOptions::KeyAction action) { return stateText(m_globalKeys->state(int(action))); });
    connect(this, &Form1::drillKeyChanged, this, [this](DrillOptions::KeyAction action, const QString &key) {
        m_globalKeys->set(int(action), QKeySequence::fromString(key, QKeySequence::PortableText));
    });
}

void Form1::globalKeyPressed(DrillOptions::KeyAction action)
{
    // Start/stop works at any time; stopping shows the main window, as the stop button does.
    if (action == DrillOptions::KeyAction::StartStop) {
        startOrStopDrill();
        return;
    }
    using Key = DrillOptions::KeyAction;
    static constexpr std::pair<Key, DrillAction> drillActions[] = {
        {Key::Next, DrillAction::Next},         {Key::Previous, DrillAction::Previous},
        {Key::PauseResume, DrillAction::PauseResume}, {Key::Known, DrillAction::Known},
        {Key::Speak, DrillAction::Speak}};
    if (!drillRunning())
        return;
    for (const auto &[key, drillAction] : drillActions) {
        if (key == action)
            m_drillController->trigger(drillAction);
    }
}
