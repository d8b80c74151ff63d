#pragma once

#include <QString>

// The About window's texts that are composed rather than fixed.
namespace AboutText {

// "关于『" + title + "』 ", the last character an ordinary space.
QString caption(const QString &title);

// "版本 major.minor.revision", decimal, no leading zeros.
QString version(int major, int minor, int revision);

} // namespace AboutText
