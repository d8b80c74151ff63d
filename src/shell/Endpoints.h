#pragma once

#include <QString>

// Every address the program hands to a browser or a mail program, in one place.
namespace Endpoints {

// An English-Chinese online dictionary; the page of word w is dictionaryBase() + w + "/".
inline QString dictionaryBase() { return QStringLiteral("https://dict.youdao.com/w/"); }

// The maker's home page, opened by the banner.
inline QString homePage() { return QStringLiteral("https://www.tanvic.example/"); }

// The About window's two web-site links.
inline QString makerSite() { return QStringLiteral("https://www.tanvic.example/"); }
inline QString supportSite() { return QStringLiteral("https://support.tanvic.example/"); }

// The feedback mail's recipient, copy and blind copy.
inline QString feedbackAddress() { return QStringLiteral("feedback@tanvic.example"); }
inline QString feedbackCopyAddress() { return QStringLiteral("support@tanvic.example"); }
inline QString feedbackBlindCopyAddress() { return QStringLiteral("archive@tanvic.example"); }

} // namespace Endpoints
