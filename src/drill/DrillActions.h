#pragma once

#include <QList>
#include <QString>

// What the learner can do with a running drill, from the floating window's menu, the tray menu and
// the keys that work in any program. Every surface hands the action to DrillController::trigger.
enum class DrillAction { PauseResume, Previous, Next, Known, Lookup, Speak, Stop };

namespace DrillActions {

// The floating window's and the tray's menu order.
QList<DrillAction> all();

// The action's name in a menu; pause reads "继续" while the drill is paused.
QString name(DrillAction action, bool paused);

} // namespace DrillActions
