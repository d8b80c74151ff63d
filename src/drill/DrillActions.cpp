#include "DrillActions.h"

namespace DrillActions {

QList<DrillAction> all()
{
    return {DrillAction::PauseResume, DrillAction::Previous, DrillAction::Next,
            DrillAction::Known,       DrillAction::Lookup,   DrillAction::Speak,
            DrillAction::Stop};
}

QString name(DrillAction action, bool paused)
{
    switch (action) {
    case DrillAction::PauseResume:
        return paused ? QStringLiteral("继续") : QStringLiteral("暂停");
    case DrillAction::Previous:
        return QStringLiteral("上一个");
    case DrillAction::Next:
        return QStringLiteral("下一个");
    case DrillAction::Known:
        return QStringLiteral("已掌握");
    case DrillAction::Lookup:
        return QStringLiteral("查词");
    case DrillAction::Speak:
        return QStringLiteral("朗读");
    case DrillAction::Stop:
        return QStringLiteral("停止背单词");
    }
    return {};
}

} // namespace DrillActions
