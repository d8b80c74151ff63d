#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// The system's own speech engine, one per program: SAPI 5 on Windows (SpeechEngine_win.cpp),
// speech-dispatcher elsewhere (SpeechEngine_speechd.cpp), or none (SpeechEngine_none.cpp); CMake
// builds exactly one of them. Every call returns at once: speaking never waits for the engine.
class SpeechEngine : public QObject
{
    Q_OBJECT
public:
    struct Voice
    {
        QString id;       // what say() takes
        QString name;     // what the options window shows
        QString language; // BCP 47-ish as the engine reports it: "en", "en-US", "zh-CN", "cmn"
        bool operator==(const Voice &) const = default;
    };

    // The platform's engine, or one that is never available.
    static std::unique_ptr<SpeechEngine> create(QObject *parent = nullptr);

    using QObject::QObject;

    // An engine answers and has at least one voice.
    virtual bool available() const = 0;
    // Why not, in Chinese, for the options window and tooltips; empty while available.
    virtual QString unavailableReason() const = 0;
    virtual QList<Voice> voices() const = 0;
    // -10 (slowest) .. 10 (fastest), 0 normal.
    virtual void setRate(int rate) = 0;
    // Speaks `text` with the voice `voiceId` (empty: the engine's default), cutting off whatever
    // is still being spoken. Does nothing while unavailable.
    virtual void say(const QString &text, const QString &voiceId) = 0;
    virtual void stop() = 0;

Q_SIGNALS:
    // available(), unavailableReason() or voices() changed.
    void availabilityChanged();
};
