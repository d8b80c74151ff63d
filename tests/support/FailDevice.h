#pragma once

#include <QByteArray>
#include <QIODevice>

// A device that takes `room` bytes and then fails as a full disk does: the write that reaches
// the end is taken only in part without an error, the next one fails with `reason`. Failed saves
// are so tried on any machine, without mounting a small file system.
class FailDevice : public QIODevice
{
public:
    FailDevice(qint64 room, QString reason) : m_room(room), m_reason(std::move(reason))
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // What the device took before it failed.
    const QByteArray &written() const { return m_written; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 n = std::min(size, m_room - qint64(m_written.size()));
        if (n <= 0) {
            setErrorString(m_reason);
            return -1;
        }
        m_written.append(data, n);
        return n;
    }

private:
    qint64 m_room;
    QString m_reason;
    QByteArray m_written;
};
