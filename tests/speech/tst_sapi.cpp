// The SAPI engine as the program meets it: on Windows whatever voices are installed, under Wine an
// engine that may not speak at all. Either way it answers at once and consistently.
#include "speech/SpeechEngine.h"

#include <QSignalSpy>
#include <QTest>

class TestSapi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void consistentAndHarmless();
};

void TestSapi::consistentAndHarmless()
{
    for (int round = 0; round < 2; ++round) { // a second engine finds COM as the first left it
        const auto engine = SpeechEngine::create();
        const QString reason = engine->unavailableReason();
        qInfo() << "available:" << engine->available() << "reason:" << reason
                << "voices:" << engine->voices().size();
        for (const SpeechEngine::Voice &voice : engine->voices())
            qInfo() << voice.id << voice.name << voice.language;
        QCOMPARE(engine->available(), reason.isEmpty());
        for (const SpeechEngine::Voice &voice : engine->voices())
            QVERIFY2(!voice.id.isEmpty() && !voice.name.isEmpty(), qPrintable(voice.id));

        QSignalSpy changed(engine.get(), &SpeechEngine::availabilityChanged);
        engine->setRate(3);
        const QString voice = engine->voices().isEmpty() ? QString() : engine->voices().first().id;
        engine->say(QStringLiteral("apple"), voice);
        engine->say(QStringLiteral("苹果"), QString());
        engine->stop();
        // Whether the engine can speak is known from the start (the probe), so the options window
        // never shows a state the first word turns over.
        QVERIFY(changed.isEmpty());
        QCOMPARE(engine->unavailableReason(), reason);
        if (reason.isEmpty())
            QVERIFY(!engine->voices().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestSapi)
#include "tst_sapi.moc"
