// The speech-dispatcher engine against a fake server speaking SSIP on a temporary socket.
#include "speech/SpeechEngine_speechd.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Answers as speech-dispatcher does, one reply per command, and records what it was told:
// every command line, and each SPEAK's text lines as sent.
class FakeSpeechd : public QObject
{
public:
    explicit FakeSpeechd(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QLocalServer::removeServer(path);
        if (!m_server.listen(path))
            qFatal("cannot listen at %s", qPrintable(path));
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            client = m_server.nextPendingConnection();
            connect(client, &QLocalSocket::readyRead, this, &FakeSpeechd::read);
        });
    }

    // espeak-ng's way: each voice, then each again with a variant.
    QByteArray voiceList = "249-english\ten\tnone\r\n249-Chinese (Mandarin)\tcmn\tnone\r\n"
                           "249-english+Max\ten\tMax\r\n";
    QByteArray clientNameReply = "208 OK CLIENT NAME SET";
    bool silent = false;
    QStringList commands;
    QList<QByteArray> messages; // the raw lines of each SPEAK, "." line included
    QLocalSocket *client = nullptr;

private:
    void read()
    {
        m_input += client->readAll();
        qsizetype end;
        while ((end = m_input.indexOf("\r\n")) >= 0) {
            const QByteArray line = m_input.left(end);
            m_input.remove(0, end + 2);
            if (m_inData) {
                m_message += line + "\r\n";
                if (line == ".") {
                    m_inData = false;
                    messages.append(m_message);
                    reply("225-" + QByteArray::number(messages.size()) + "\r\n225 OK MESSAGE QUEUED");
                }
                continue;
            }
            commands.append(QString::fromUtf8(line));
            if (line.startsWith("SET SELF CLIENT_NAME"))
                reply(clientNameReply);
            else if (line == "LIST SYNTHESIS_VOICES")
                reply(voiceList + "249 OK VOICE LIST SENT");
            else if (line == "SPEAK") {
                m_inData = true;
                m_message.clear();
                reply("230 OK RECEIVING DATA");
            } else
                reply("2" + QByteArray::number(commands.size() % 100).rightJustified(2, '0') + " OK");
        }
    }
    void reply(const QByteArray &text)
    {
        if (!silent)
            client->write(text + "\r\n");
    }

    QLocalServer m_server;
    QByteArray m_input;
    QByteArray m_message;
    bool m_inData = false;
};

} // namespace

class TestSpeechDispatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void speaksEachWordOnceCuttingOff();
    void handshake_data();
    void handshake();
    void serverAppearsAndGoes();

private:
    QTemporaryDir m_dir;
};

// The socket where a desktop session's server listens; each say() one SPEAK with that word.
void TestSpeechDispatcher::speaksEachWordOnceCuttingOff()
{
    const QString runtime = m_dir.filePath(QStringLiteral("run"));
    FakeSpeechd server(runtime + QStringLiteral("/speech-dispatcher/speechd.sock"));
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    qunsetenv("SPEECHD_ADDRESS");
    const auto engine = SpeechEngine::create();
    QTRY_VERIFY(engine->available());
    QCOMPARE(engine->voices().size(), 2);
    QCOMPARE(engine->voices().at(1).id, QStringLiteral("Chinese (Mandarin)"));
    QCOMPARE(engine->voices().at(1).language, QStringLiteral("cmn"));
    QVERIFY(server.commands.at(0).startsWith(QStringLiteral("SET SELF CLIENT_NAME ")));
    server.commands.clear();

    engine->setRate(5);
    engine->say(QStringLiteral("apple"), QStringLiteral("english"));
    QTRY_COMPARE(server.messages.size(), 1);
    engine->say(QStringLiteral(".dot\nline"), QString());
    QTRY_COMPARE(server.messages.size(), 2);
    engine->say(QStringLiteral("three"), QStringLiteral("english"));
    engine->say(QStringLiteral("四"), QStringLiteral("Chinese (Mandarin)")); // three never goes out
    QTRY_COMPARE(server.messages.size(), 3);
    engine->stop();
    QTRY_COMPARE(server.commands.size(), 11);

    QCOMPARE(server.messages, (QList<QByteArray>{"apple\r\n.\r\n", "..dot\r\nline\r\n.\r\n",
                                                  "四\r\n.\r\n"}));
    QCOMPARE(server.commands.join(u','),
             u"SET SELF SYNTHESIS_VOICE english,SET SELF RATE 50,SPEAK,SET SELF VOICE_TYPE MALE1,CANCEL SELF,SPEAK,"
             u"SET SELF SYNTHESIS_VOICE english,SET SELF SYNTHESIS_VOICE Chinese (Mandarin),CANCEL SELF,SPEAK,"
             u"CANCEL SELF"_qs);
}

void TestSpeechDispatcher::handshake_data()
{
    QTest::addColumn<QByteArray>("clientNameReply");
    QTest::addColumn<QByteArray>("voiceList");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("reason");

    QTest::newRow("voices") << QByteArray("208 OK CLIENT NAME SET") << QByteArray("249-english\ten\tnone\r\n") << false << QString();
    QTest::newRow("older server, spaces") << QByteArray("208 OK CLIENT NAME SET") << QByteArray("249-english en none\r\n") << false << QString();
    QTest::newRow("no voice") << QByteArray("208 OK CLIENT NAME SET") << QByteArray() << false << QStringLiteral("系统没有安装语音");
    QTest::newRow("refused") << QByteArray("409 ERR RANK") << QByteArray() << false << QStringLiteral("语音引擎不能朗读（ERR RANK）");
    QTest::newRow("never answers") << QByteArray() << QByteArray() << true << QStringLiteral("语音服务没有回应（speech-dispatcher）");
}

// A server that answers badly or not at all leaves the engine unavailable with its reason, and
// say() returns without waiting for it (the fake server runs on this same thread).
void TestSpeechDispatcher::handshake()
{
    QFETCH(QByteArray, clientNameReply);
    QFETCH(QByteArray, voiceList);
    QFETCH(bool, silent);
    QFETCH(QString, reason);

    const QString path = m_dir.filePath(QStringLiteral("handshake.sock"));
    FakeSpeechd server(path);
    server.clientNameReply = clientNameReply;
    server.voiceList = voiceList;
    server.silent = silent;
    SpeechDispatcherEngine engine({path, QString(), 300, 60000});
    QSignalSpy changed(&engine, &SpeechEngine::availabilityChanged);
    engine.say(QStringLiteral("apple"), QString());
    QTRY_VERIFY(!changed.isEmpty());
    QCOMPARE(engine.unavailableReason(), reason);
    QCOMPARE(engine.available(), reason.isEmpty());
    QTRY_COMPARE(server.messages.size(), reason.isEmpty() ? 1 : 0);
    if (reason.isEmpty())
        QCOMPARE(engine.voices().value(0).id, QStringLiteral("english"));
}

// No server: unavailable, and nothing is kept to be said later. A server that starts is found by
// the next look, and speaks; one that goes away makes the engine unavailable again.
void TestSpeechDispatcher::serverAppearsAndGoes()
{
    const QString path = m_dir.filePath(QStringLiteral("later/speechd.sock"));
    SpeechDispatcherEngine engine({path, QString(), 5000, 50});
    QCOMPARE(engine.available(), false);
    QCOMPARE(engine.unavailableReason(), QStringLiteral("没有找到语音服务（speech-dispatcher）"));
    engine.say(QStringLiteral("stale"), QString());

    QSignalSpy changed(&engine, &SpeechEngine::availabilityChanged);
    {
        FakeSpeechd server(path);
        QTRY_VERIFY(engine.available());
        QCOMPARE(changed.size(), 1);
        engine.say(QStringLiteral("apple"), QString());
        QTRY_COMPARE(server.messages, QList<QByteArray>{"apple\r\n.\r\n"});
        server.client->abort();
        QTRY_VERIFY(!engine.available());
    }
    QCOMPARE(changed.size(), 2);
    QCOMPARE(engine.unavailableReason(), QStringLiteral("没有找到语音服务（speech-dispatcher）"));
}

QTEST_GUILESS_MAIN(TestSpeechDispatcher)
#include "tst_speechdispatcher.moc"
