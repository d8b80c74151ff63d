#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The one way text files come in and go out.
//
// Reading: bytes -> encoding (byte-order mark; strictly valid UTF-8 with enough evidence; otherwise
// GBK, decoded as its superset GB18030) -> every line end (CR LF, lone LF, lone CR) made CR LF.
// Writing: GBK bytes for every character GBK holds, GB18030 four-byte sequences for the rest, so
// nothing is lost; written atomically, so a failed save leaves the old file whole.
namespace TextFile {

enum class Encoding { Gbk, Utf8, Utf8Bom, Utf16LE, Utf16BE };

QString decode(const QByteArray &bytes, Encoding *detected = nullptr);
QByteArray encode(QStringView text);
// Appends the encoded text to `out`, so large outputs are built without a second copy.
void encodeAppend(QStringView text, QByteArray &out);

// Makes every lone CR and lone LF a CR LF.
QString normaliseLineEnds(QString text);

// Reads the whole file's bytes. On failure `bytes` is left empty and `error` says why.
bool readBytes(const QString &path, QByteArray *bytes, QString *error = nullptr);

// Reads the whole file. On failure `text` is left empty and `error` says why.
bool read(const QString &path, QString *text, QString *error = nullptr);

// Replaces the file with `text` encoded as above. On failure the old file is untouched and
// `error` says why.
bool write(const QString &path, QStringView text, QString *error = nullptr);
// The same for text already encoded with encode() or encodeAppend().
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// The same for bytes made piece by piece: `next` puts the next piece into its (empty) argument and
// returns whether more follow. A large file is so written without ever being held whole. Bytes
// that begin like UTF-8's byte-order mark get an empty line in front, so they never read as UTF-8.
bool writeChunks(const QString &path, const std::function<bool(QByteArray &)> &next, QString *error = nullptr);

} // namespace TextFile
