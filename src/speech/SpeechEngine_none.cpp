#include "speech/SpeechEngine.h"

namespace {

// Systems with neither SAPI nor speech-dispatcher: never available, so the action and the option
// stay disabled with this reason.
class NoSpeechEngine final : public SpeechEngine
{
public:
    using SpeechEngine::SpeechEngine;
    bool available() const override { return false; }
    QString unavailableReason() const override { return QStringLiteral("本系统没有语音引擎"); }
    QList<Voice> voices() const override { return {}; }
    void setRate(int) override {}
    void say(const QString &, const QString &) override {}
    void stop() override {}
};

} // namespace

std::unique_ptr<SpeechEngine> SpeechEngine::create(QObject *parent)
{
    return std::make_unique<NoSpeechEngine>(parent);
}
