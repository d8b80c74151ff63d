#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// The one way text files come in and go out.
//
// Reading: only regular files of at most kMaxFileBytes -> encoding -> every line end (CR LF, lone
// LF, lone CR) made CR LF. The word bank is the program's own file, always written as GBK: it is
// read as GBK (a byte-order mark aside), never by guessing. A word file may come from anywhere: a
// byte-order mark; UTF-8 only on strong evidence (strictly valid and more plausible as Chinese text
// than the same bytes read as GBK); otherwise GBK, decoded as its superset GB18030.
// Writing: GBK bytes for every character GBK holds, GB18030 four-byte sequences for the rest, so
// nothing is lost; written atomically, so a failed save leaves the old file whole.
namespace TextFile {

enum class Encoding { Gbk, Utf8, Utf8Bom, Utf16LE, Utf16BE };

// The largest file the program reads: far above a word bank of a million entries (about 25 MB),
// far below what would exhaust memory once decoded (about six times the file's size at peak).
constexpr qint64 kMaxFileBytes = qint64(256) << 20;

// A word file's bytes as text (the encoding is detected).
QString decode(const QByteArray &bytes, Encoding *detected = nullptr);
// The word bank's bytes as text: GBK unless a byte-order mark says otherwise.
QString decodeWordBank(const QByteArray &bytes, Encoding *detected = nullptr);
QByteArray encode(QStringView text);
// Appends the encoded text to `out`, so large outputs are built without a second copy.
void encodeAppend(QStringView text, QByteArray &out);

// Makes every lone CR and lone LF a CR LF.
QString normaliseLineEnds(QString text);

// Reads the whole file's bytes. Refuses anything but a regular file (folders, FIFOs, devices, also
// behind a symbolic link) and files larger than `maxBytes`, without blocking. On failure `bytes`
// is left empty and `error` says why in words for the user.
bool readBytes(const QString &path, QByteArray *bytes, QString *error = nullptr, qint64 maxBytes = kMaxFileBytes);
// Reads a word file as text. On failure `text` is left empty and `error` says why.
bool read(const QString &path, QString *text, QString *error = nullptr);

// Replaces the file with `text` encoded as above. On failure the old file is untouched and
// `error` says why.
bool write(const QString &path, QStringView text, QString *error = nullptr);
// The same for text already encoded with encode() or encodeAppend().
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// The same for bytes made piece by piece: `next` puts the next piece into its (empty) argument and
// returns whether more follow. A large file is so written without ever being held whole. Bytes
// that begin like UTF-8's byte-order mark get an empty line in front, so they never read as UTF-8.
// With `maxBytes` (not negative), a file that would grow past it is not written: the old one stays.
// When `cancelled` says so after the last piece, nothing replaces the file either (a background
// save whose list changed meanwhile).
bool writeChunks(const QString &path, const std::function<bool(QByteArray &)> &next, QString *error = nullptr,
                 qint64 maxBytes = -1, const std::function<bool()> &cancelled = {});
// The heart of writeChunks(): the pieces written to an open `device` until one write fails (then
// `error` gives the device's reason) or the bytes would pass `maxBytes`. Nothing is committed or
// flushed here.
bool write(QIODevice &device, const std::function<bool(QByteArray &)> &next, QString *error = nullptr,
           qint64 maxBytes = -1);

// What writeBytes() does to the bytes before writing: GBK bytes that happen to begin like UTF-8's
// byte-order mark get an empty line in front, so they are never read as UTF-8.
void keepFromLookingLikeBom(QByteArray &bytes);

} // namespace TextFile
