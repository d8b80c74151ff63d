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

// The sizes the program's icon is drawn at (scripts/draw-icon), and the picture of each.
inline constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
inline QString iconResource(int size)
{
    return QStringLiteral(":/icons/TanvicQuorvel-%1.png").arg(size);
}

inline int versionMajor() { return QUORVEL_VERSION_MAJOR; }
inline int versionMinor() { return QUORVEL_VERSION_MINOR; }
inline int versionRevision() { return QUORVEL_VERSION_PATCH; }

} // namespace AppInfo
