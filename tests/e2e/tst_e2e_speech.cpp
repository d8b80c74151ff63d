// Speech in the real program, told to a fake speech-dispatcher in this process. The fake runs on a
// thread of its own, so it answers while the waits below block this one.
#include "FakeSpeechd.h"
#include "FileBytes.h"
#include "E2eProgram.h"

#include <QSemaphore>
#include <QSettings>
#include <QTest>
#include <QThread>

#include <optional>

namespace {
class SpeechdThread : public QThread
{
public:
    explicit SpeechdThread(const QString &path) : m_path(path)
    {
        start();
        m_ready.acquire();
    }
    ~SpeechdThread() override
    {
        quit();
        wait();
    }
    template <typename T> T read(T FakeSpeechd::*field) // a copy of what the server was told
    {
        T copy;
        QMetaObject::invokeMethod(m_server, [&] { copy = m_server->*field; }, Qt::BlockingQueuedConnection);
        return copy;
    }

private:
    void run() override
    {
        FakeSpeechd server(m_path);
        m_server = &server;
        m_ready.release();
        exec();
    }
    QString m_path;
    QSemaphore m_ready;
    FakeSpeechd *m_server = nullptr;
};
} // namespace

class TestE2eSpeech : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drillSpeaks_data();
    void drillSpeaks();
};

void TestE2eSpeech::drillSpeaks_data()
{
    QTest::addColumn<QString>("autoSpeak");
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("spoken"); // the entries said, in order, by their letters

    QTest::newRow("朗读 是") << QStringLiteral("是") << true << QStringLiteral("aabc");
    QTest::newRow("朗读 否") << QStringLiteral("否") << true << QStringLiteral("a");
    QTest::newRow("no speech-dispatcher") << QStringLiteral("是") << false << QString();
}

void TestE2eSpeech::drillSpeaks()
{
    QFETCH(QString, autoSpeak);
    QFETCH(bool, server);
    QFETCH(QString, spoken);
    const QStringList words{QStringLiteral("a"), QStringLiteral("bbbbbbbb"), QStringLiteral("cccccccccccccccc")};
    E2eProgram program;
    program.writeFile(program.wordBankPath(), gbk(QStringLiteral("a  一\r\nbbbbbbbb  二\r\ncccccccccccccccc  三\r\n")));
    {
        QSettings settings(program.settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("设置/延时"), QStringLiteral("3"));
        settings.setValue(QStringLiteral("设置/朗读"), autoSpeak);
    }
    std::optional<SpeechdThread> speechd;
    if (server)
        speechd.emplace(program.speechSocketPath());
    else // nor a speech-dispatcher to start: only the program's socket, where nobody listens
        program.setEnvironmentVariable(QStringLiteral("PATH"), program.root());
    QVERIFY(program.start());
    if (speechd) {
        QTRY_VERIFY_WITH_TIMEOUT(speechd->read(&FakeSpeechd::commands).contains(QStringLiteral("LIST SYNTHESIS_VOICES")), 15000);
        QTest::qWait(300); // the program takes the voice list in
    }

    // Started and paused on the first entry, then "朗读" by its key (once the entry's own saying
    // has gone out, so that it is not cut off); then resumed: b and c come by themselves.
    E2eProgram::key(QStringLiteral("ctrl+alt+g ctrl+alt+j"));
    QVERIFY(program.waitForWindowGone(program.mainWindow));
    const QString floating = program.waitForFloatingWindow();
    QVERIFY(!floating.isEmpty());
    if (speechd)
        QTRY_COMPARE(speechd->read(&FakeSpeechd::messages).size(), spoken.count(u'a') - 1);
    E2eProgram::key(QStringLiteral("ctrl+alt+r"));
    if (speechd)
        QTRY_COMPARE(speechd->read(&FakeSpeechd::messages).size(), spoken.count(u'a'));
    int width = E2eProgram::geometry(floating).width();
    E2eProgram::key(QStringLiteral("ctrl+alt+j"));
    for (int i = 0; i < 2; ++i) {
        QVERIFY(E2eProgram::waitForWidth(floating, [&](int w) { return w > width + 20; }));
        width = E2eProgram::geometry(floating).width();
    }
    E2eProgram::key(QStringLiteral("ctrl+alt+g"));
    QVERIFY(E2eProgram::waitForViewable(program.mainWindow));
    E2eProgram::closeWindow(program.mainWindow);
    QVERIFY(program.waitForExit());
    QCOMPARE(program.exitCode(), 0);

    if (speechd) {
        QList<QByteArray> expected;
        for (QChar letter : spoken)
            expected << words.at(letter.unicode() - u'a').toUtf8() + "\r\n.\r\n";
        QTRY_COMPARE(speechd->read(&FakeSpeechd::messages), expected);
    }
}

QTEST_GUILESS_MAIN(TestE2eSpeech)
#include "tst_e2e_speech.moc"
