#include "SpeechEngine_speechd.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const auto kConnecting = QStringLiteral("正在连接语音服务（speech-dispatcher）");
const auto kNoService = QStringLiteral("没有找到语音服务（speech-dispatcher）");
const auto kNoAnswer = QStringLiteral("语音服务没有回应（speech-dispatcher）");
const auto kNoVoice = QStringLiteral("系统没有安装语音");

QString refused(const QByteArray &reply)
{
    return QStringLiteral("语音引擎不能朗读（%1）").arg(QString::fromUtf8(reply.trimmed()));
}

// After starting speech-dispatcher, look for its socket again this soon.
constexpr int kAfterSpawnMs = 1000;

} // namespace

std::unique_ptr<SpeechEngine> SpeechEngine::create(QObject *parent)
{
    return std::make_unique<SpeechDispatcherEngine>(SpeechDispatcherEngine::optionsFromEnvironment(),
                                                    parent);
}

SpeechDispatcherEngine::Options SpeechDispatcherEngine::optionsFromEnvironment()
{
    Options options;
    const QString address = qEnvironmentVariable("SPEECHD_ADDRESS");
    const QString unixPrefix = QStringLiteral("unix_socket:");
    if (address.startsWith(unixPrefix) && address.size() > unixPrefix.size()) {
        // The server spawns only on the socket its configuration names: not on a chosen one.
        options.socketPath = address.mid(unixPrefix.size());
        return options;
    }
    // The server's own default. (An inet_socket address is not followed: the socket is local.)
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString base = runtime.isEmpty() ? QDir::homePath() + QStringLiteral("/.cache") : runtime;
    options.socketPath = base + QStringLiteral("/speech-dispatcher/speechd.sock");
    options.spawnProgram = QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher"));
    return options;
}

SpeechDispatcherEngine::SpeechDispatcherEngine(Options options, QObject *parent)
    : SpeechEngine(parent), m_options(std::move(options)), m_reason(kConnecting)
{
    m_replyTimer.setSingleShot(true);
    m_recheckTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] { fail(kNoAnswer, m_options.recheckMs); });
    connect(&m_recheckTimer, &QTimer::timeout, this, &SpeechDispatcherEngine::connectNow);
    connect(&m_socket, &QLocalSocket::connected, this, &SpeechDispatcherEngine::onConnected);
    connect(&m_socket, &QLocalSocket::readyRead, this, &SpeechDispatcherEngine::onReadyRead);
    connect(&m_socket, &QLocalSocket::errorOccurred, this, [this] {
        if (m_state != State::Closed)
            fail(kNoService, m_options.recheckMs);
    });
    connect(&m_socket, &QLocalSocket::disconnected, this, [this] {
        if (m_state != State::Closed)
            fail(kNoService, m_options.recheckMs);
    });
    connectNow();
}

SpeechDispatcherEngine::~SpeechDispatcherEngine()
{
    m_state = State::Closed; // the socket's last signals find nothing to do
    m_socket.abort();
}

bool SpeechDispatcherEngine::available() const
{
    return m_state == State::Ready && !m_voices.isEmpty();
}

QString SpeechDispatcherEngine::unavailableReason() const
{
    return available() ? QString() : m_reason;
}

void SpeechDispatcherEngine::setState(State state, const QString &reason)
{
    const bool wasAvailable = available();
    const QString oldReason = unavailableReason();
    m_state = state;
    m_reason = reason;
    if (available() != wasAvailable || unavailableReason() != oldReason)
        Q_EMIT availabilityChanged();
}

void SpeechDispatcherEngine::connectNow()
{
    if (m_state != State::Closed)
        return;
    // A look asked for in between keeps the next one as soon as it was (just after a spawn).
    const int nextLook = m_recheckTimer.isActive() ? m_recheckTimer.remainingTime() : m_options.recheckMs;
    m_recheckTimer.stop();
    if (!QFileInfo::exists(m_options.socketPath)) {
        if (!m_spawned && !m_options.spawnProgram.isEmpty()) {
            // As its own clients do: the server starts, on the socket looked for, unless autospawn
            // is off in its configuration, and quits again a while after its last client.
            m_spawned = true;
            QProcess server;
            server.setProgram(m_options.spawnProgram);
            server.setArguments({QStringLiteral("--spawn"), QStringLiteral("--communication-method"),
                                 QStringLiteral("unix_socket"), QStringLiteral("--socket-path"),
                                 m_options.socketPath});
            server.setStandardOutputFile(QProcess::nullDevice());
            server.setStandardErrorFile(QProcess::nullDevice());
            server.startDetached();
            fail(kNoService, kAfterSpawnMs);
        } else {
            fail(kNoService, nextLook);
        }
        return;
    }
    m_input.clear();
    m_replyLines.clear();
    m_step = Step::None;
    m_state = State::Connecting;
    m_replyTimer.start(m_options.replyTimeoutMs);
    m_socket.connectToServer(m_options.socketPath);
}

void SpeechDispatcherEngine::fail(const QString &reason, int recheckMs)
{
    m_replyTimer.stop();
    m_step = Step::None;
    // What was to be said goes with the connection: said later, it would be the wrong word.
    m_pending.reset();
    m_speaking.reset();
    m_serverRate.reset();
    m_serverVoice.reset();
    m_spoken = false;
    m_stopPending = false;
    // Whatever a closed connection was speaking has ended with it.
    setState(State::Closed, reason);
    m_socket.abort();
    m_recheckTimer.start(recheckMs);
}

void SpeechDispatcherEngine::onConnected()
{
    m_state = State::Handshake;
    QByteArray user = qgetenv("USER");
    if (user.isEmpty())
        user = "user";
    user.replace(':', '_');
    send("SET SELF CLIENT_NAME " + user + ":TanvicQuorvel:main", Step::ClientName);
}

void SpeechDispatcherEngine::send(const QByteArray &command, Step step)
{
    m_step = step;
    m_socket.write(command + "\r\n");
    m_replyTimer.start(m_options.replyTimeoutMs);
}

void SpeechDispatcherEngine::onReadyRead()
{
    m_input += m_socket.readAll();
    // Lines are taken by position and the buffer cut once: a voice list is thousands of lines.
    qsizetype start = 0;
    qsizetype end;
    while (m_state != State::Closed && (end = m_input.indexOf('\n', start)) >= 0) {
        QByteArray line = m_input.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        // "NNN-text" continues a reply, "NNN text" ends it.
        bool numeric = false;
        const int code = line.left(3).toInt(&numeric);
        if (!numeric || line.size() < 4)
            continue;
        if (code >= 700)
            continue; // event notifications: never asked for
        if (line[3] == '-')
            m_replyLines.append(line.mid(4));
        else
            onReply(code, line.mid(4));
    }
    if (m_state == State::Closed)
        m_input.clear();
    else
        m_input.remove(0, start);
}

void SpeechDispatcherEngine::onReply(int code, const QByteArray &text)
{
    m_replyTimer.stop();
    const Step step = m_step;
    m_step = Step::None;
    const bool ok = code >= 200 && code < 400;
    switch (step) {
    case Step::None:
        break;
    case Step::ClientName:
        if (!ok)
            return fail(refused(text), m_options.recheckMs);
        send("LIST SYNTHESIS_VOICES", Step::ListVoices);
        break;
    case Step::ListVoices:
        if (!ok)
            return fail(refused(text), m_options.recheckMs);
        onVoiceList();
        break;
    case Step::Voice:
        // A voice the server refuses stays refused: it is not asked for again.
        m_serverVoice = m_voiceInFlight;
        break;
    case Step::Rate:
        m_serverRate = m_rate;
        break;
    case Step::Cancel:
        m_spoken = false;
        break;
    case Step::Speak:
        if (code != 230) {
            m_speaking.reset();
            return fail(refused(text), m_options.recheckMs);
        }
        m_step = Step::SpeakData;
        m_socket.write(speakData(m_speaking->text));
        m_replyTimer.start(m_options.replyTimeoutMs);
        return;
    case Step::SpeakData:
        m_speaking.reset();
        if (!ok)
            return fail(refused(text), m_options.recheckMs);
        m_spoken = true;
        break;
    }
    m_replyLines.clear();
    pump();
}

void SpeechDispatcherEngine::onVoiceList()
{
    // "name<TAB>language<TAB>variant"; older servers separate by spaces.
    QList<Voice> voices;
    for (const QByteArray &line : std::as_const(m_replyLines)) {
        const QString text = QString::fromUtf8(line);
        QStringList fields = text.split(u'\t');
        if (fields.size() < 2) {
            fields = text.split(u' ', Qt::SkipEmptyParts);
            if (fields.size() >= 3)
                fields = {fields.mid(0, fields.size() - 2).join(u' '), fields.at(fields.size() - 2),
                          fields.last()};
        }
        if (fields.size() < 2 || fields.first().isEmpty())
            continue;
        // espeak-ng adds every voice once more with each of its variants ("English (America)+Max"):
        // thousands of entries with one voice each.
        const QString variant = fields.value(2);
        if (!variant.isEmpty() && variant != u"none" && fields.first().endsWith(u'+' + variant))
            continue;
        voices.append({fields.first(), fields.first(), fields.at(1)});
    }
    m_replyLines.clear();
    const bool changed = voices != m_voices;
    m_voices = voices;
    const bool wasAvailable = available();
    setState(State::Ready, m_voices.isEmpty() ? kNoVoice : QString());
    if (changed && available() == wasAvailable)
        Q_EMIT availabilityChanged();
}

void SpeechDispatcherEngine::pump()
{
    if (m_state != State::Ready || m_step != Step::None)
        return;
    if (m_voices.isEmpty()) {
        m_pending.reset(); // nothing can speak it
        return;
    }
    if (m_stopPending) {
        m_stopPending = false;
        if (m_spoken)
            return send("CANCEL SELF", Step::Cancel);
    }
    if (!m_pending)
        return;
    if (m_serverVoice != m_pending->voiceId) {
        m_voiceInFlight = m_pending->voiceId;
        if (m_pending->voiceId.isEmpty())
            return send("SET SELF VOICE_TYPE MALE1", Step::Voice); // back to the default voice
        return send("SET SELF SYNTHESIS_VOICE " + m_pending->voiceId.toUtf8(), Step::Voice);
    }
    if (m_serverRate != m_rate)
        return send("SET SELF RATE " + QByteArray::number(m_rate * 10), Step::Rate);
    if (m_spoken)
        return send("CANCEL SELF", Step::Cancel);
    m_speaking = std::move(m_pending);
    m_pending.reset();
    send("SPEAK", Step::Speak);
}

void SpeechDispatcherEngine::setRate(int rate)
{
    m_rate = qBound(-10, rate, 10);
}

void SpeechDispatcherEngine::say(const QString &text, const QString &voiceId)
{
    if (text.trimmed().isEmpty())
        return stop();
    m_pending = Utterance{text, voiceId};
    if (m_state == State::Closed)
        connectNow(); // cheap: a missing socket is one stat
    pump();
}

void SpeechDispatcherEngine::stop()
{
    m_pending.reset();
    m_stopPending = true;
    pump();
}

QByteArray SpeechDispatcherEngine::speakData(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    QByteArray data;
    for (const QString &line : normalized.split(u'\n')) {
        if (line.startsWith(u'.'))
            data += '.';
        data += line.toUtf8() + "\r\n";
    }
    return data + ".\r\n";
}
