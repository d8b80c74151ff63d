#pragma once

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringList>

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
