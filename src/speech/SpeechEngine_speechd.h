#pragma once

#include "speech/SpeechEngine.h"

#include <QByteArray>
#include <QLocalSocket>
#include <QTimer>

#include <optional>

// speech-dispatcher through its own protocol, SSIP, spoken over its Unix socket with a
// QLocalSocket on the window thread: every step is a reply awaited by a signal, never by a
// blocking call, so nothing here can hold the window up. One command is in flight at a time;
// what is to be said next waits as one pending utterance, and a newer one replaces it.
class SpeechDispatcherEngine final : public SpeechEngine
{
    Q_OBJECT
public:
    struct Options
    {
        QString socketPath;
        // Started once, with --spawn and the socket path, when the socket is missing
        // (speech-dispatcher is usually started on demand by its first client); empty: never.
        QString spawnProgram;
        int replyTimeoutMs = 5000; // no answer within this: the service counts as gone
        int recheckMs = 10000;     // while unavailable, look again this often
    };

    // $SPEECHD_ADDRESS ("unix_socket:/path"), else $XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock,
    // else ~/.cache/speech-dispatcher/speechd.sock; for these two, speech-dispatcher from $PATH
    // to spawn.
    static Options optionsFromEnvironment();

    explicit SpeechDispatcherEngine(Options options, QObject *parent = nullptr);
    ~SpeechDispatcherEngine() override;

    bool available() const override;
    QString unavailableReason() const override;
    QList<Voice> voices() const override { return m_voices; }
    void setRate(int rate) override;
    void say(const QString &text, const QString &voiceId) override;
    void stop() override;

    // The text lines of a SPEAK, as SSIP wants them: UTF-8, CR LF line ends, a line starting with
    // "." doubled, ended by a line holding only ".".
    static QByteArray speakData(const QString &text);

private:
    enum class State { Closed, Connecting, Handshake, Ready };
    enum class Step { None, ClientName, ListVoices, Voice, Rate, Cancel, Speak, SpeakData };
    struct Utterance
    {
        QString text;
        QString voiceId;
    };

    void connectNow();
    void onConnected();
    void onReadyRead();
    void onReply(int code, const QByteArray &text);
    void onVoiceList();
    void send(const QByteArray &command, Step step);
    void pump();
    void fail(const QString &reason, int recheckMs);
    void setState(State state, const QString &reason);

    Options m_options;
    QLocalSocket m_socket;
    QTimer m_replyTimer;
    QTimer m_recheckTimer;
    State m_state = State::Closed;
    QString m_reason;
    QList<Voice> m_voices;
    bool m_spawned = false;

    QByteArray m_input;
    QList<QByteArray> m_replyLines; // continuation lines ("249-...") of the reply in progress
    Step m_step = Step::None;

    std::optional<Utterance> m_pending;  // waits for the connection or the command in flight
    std::optional<Utterance> m_speaking; // its SPEAK is in flight
    bool m_stopPending = false;
    bool m_spoken = false; // something may still be speaking: cancel before the next
    int m_rate = 0;
    std::optional<int> m_serverRate;
    std::optional<QString> m_serverVoice; // empty: the default voice type
    QString m_voiceInFlight;
};
