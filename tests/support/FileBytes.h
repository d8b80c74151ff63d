#pragma once

#include "text/GbkCodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// The program's own GBK bytes of a text, so the fixtures are the same bytes on a Qt without ICU.
inline QByteArray gbk(const QString &text)
{
    return GbkCodec::encode(text);
}

// A file's whole content; empty when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
