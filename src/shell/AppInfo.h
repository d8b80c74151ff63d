#pragma once

#include <QString>

// Names every part of the program shares.
namespace AppInfo {

// The application title: main window caption, message box title, settings application name,
// Start-menu entry name.
inline QString title()
{
    return QStringLiteral("TanvicQuorvel");
}

// The Start-menu entry's description.
inline QString description()
{
    return QStringLiteral("学习各种语言或者速记各种词汇的最佳工具！");
}

// The word bank's file name in the program folder.
inline QString wordBankName()
{
    return QStringLiteral("wb.dcb");
}

// The file beside the bank that names the entries marked known (the bank's format; not a *.txt,
// so it is never offered as a word file).
inline QString knownMarksName()
{
    return QStringLiteral("wb.known");
}

inline int versionMajor() { return QUORVEL_VERSION_MAJOR; }
inline int versionMinor() { return QUORVEL_VERSION_MINOR; }
inline int versionRevision() { return QUORVEL_VERSION_PATCH; }

} // namespace AppInfo
