// The speech-dispatcher engine against a fake server speaking SSIP on a temporary socket.
#include "FakeSpeechd.h"
#include "speech/SpeechEngine_speechd.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


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
