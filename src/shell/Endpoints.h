#pragma once

#include "EndpointValues.h" // the values, set when the program is configured (README.md)

#include <QString>

// Every address the program hands to a browser or a mail program, and the maker's contact lines,
// in one place.
namespace Endpoints {

// An English-Chinese online dictionary; the page of word w is dictionaryBase() + w + "/".
inline QString dictionaryBase() { return QString::fromUtf16(QUORVEL_DICTIONARY_BASE); }

// The maker's home page, opened by the banner.
inline QString homePage() { return QString::fromUtf16(QUORVEL_HOME_PAGE); }

// The About window's two web-site links.
inline QString makerSite() { return QString::fromUtf16(QUORVEL_MAKER_SITE); }
inline QString supportSite() { return QString::fromUtf16(QUORVEL_SUPPORT_SITE); }

// The feedback mail's recipient, copy and blind copy.
inline QString feedbackAddress() { return QString::fromUtf16(QUORVEL_FEEDBACK_MAIL); }
inline QString feedbackCopyAddress() { return QString::fromUtf16(QUORVEL_FEEDBACK_CC); }
inline QString feedbackBlindCopyAddress() { return QString::fromUtf16(QUORVEL_FEEDBACK_BCC); }

// The About window's contact lines: author, telephone, QQ, WeChat.
inline QString author() { return QString::fromUtf16(QUORVEL_AUTHOR); }
inline QString phone() { return QString::fromUtf16(QUORVEL_PHONE); }
inline QString qq() { return QString::fromUtf16(QUORVEL_QQ); }
inline QString weChat() { return QString::fromUtf16(QUORVEL_WECHAT); }

} // namespace Endpoints
