#include "WebLinks.h"

#include "AppInfo.h"
#include "Endpoints.h"
#include "Launcher.h"

#include <QDate>
#include <QLocale>

namespace WebLinks {

namespace {
// Everything but the unreserved characters is encoded; UTF-8 as URLs require.
QByteArray encode(const QString &text, const QByteArray &keep = {})
{
    return QUrl::toPercentEncoding(text, keep);
}

bool isDotSegment(QStringView segment)
{
    return segment == u"." || segment == u"..";
}

// Whether a path made of `word` would hold a "." or ".." segment, which a browser resolves away
// (base/../x/ is another page of the site). Escaping the dots does not help: browsers treat
// "%2E%2E" as ".." too.
bool hasDotSegment(QStringView word)
{
    for (const QStringView segment : word.tokenize(u'/'))
        if (isDotSegment(segment))
            return true;
    return false;
}
} // namespace

QString prepareWord(const QString &word)
{
    qsizetype first = 0;
    qsizetype last = word.size();
    while (first < last && word.at(first) == u' ')
        ++first;
    while (last > first && word.at(last - 1) == u' ')
        --last;
    QString w = word.mid(first, last - first);
    if (w.endsWith(u'/'))
        w.chop(1);
    return w;
}

QUrl dictionaryUrl(const QString &preparedWord, const QString &base)
{
    // A word that is nothing but a dot segment names no page under the base.
    if (isDotSegment(preparedWord))
        return {};
    // "/" stays as it is, as the dictionary's own addresses have it (and/or -> and/or/), unless
    // the word has a "." or ".." between its slashes: then every "/" is encoded, so the word is
    // one segment the browser cannot resolve. What would end or change the path ("#", "?", "%",
    // spaces, "\") is encoded.
    const QByteArray keep = hasDotSegment(preparedWord) ? QByteArray() : QByteArrayLiteral("/");
    return QUrl::fromEncoded(base.toUtf8() + encode(preparedWord, keep) + '/', QUrl::StrictMode);
}

QString feedbackSubject(const QString &title)
{
    return QStringLiteral("我要对[") + title + QStringLiteral("]提建议");
}

QString feedbackBody(const QString &title, const QString &date)
{
    const auto spaces = [](int n) { return QString(n, u' '); };
    return QStringLiteral("软件名称：") + title
           + QStringLiteral(" 姓名：") + spaces(10)
           + QStringLiteral(" Email：") + spaces(11)
           + QStringLiteral(" 联系地址：") + spaces(11)
           + QStringLiteral(" 邮编：") + spaces(14)
           + QStringLiteral(" 电话：") + spaces(20)
           + QStringLiteral(" 日期：") + date;
}

QUrl feedbackMailUrl(const QString &to, const QString &cc, const QString &bcc,
                     const QString &subject, const QString &body)
{
    const QByteArray address = QByteArrayLiteral("@");
    const QByteArray url = QByteArrayLiteral("mailto:") + encode(to, address)
                           + "?cc=" + encode(cc, address)
                           + "&bcc=" + encode(bcc, address)
                           + "&subject=" + encode(subject)
                           + "&body=" + encode(body);
    return QUrl::fromEncoded(url, QUrl::StrictMode);
}

QString todayText()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

} // namespace WebLinks

namespace Module1 {

void OpenDictionaryPage(Launcher &launcher, const QString &preparedWord)
{
    // Nothing to look up: no page at all rather than the dictionary's front page.
    if (preparedWord.isEmpty())
        return;
    const QUrl url = WebLinks::dictionaryUrl(preparedWord, Endpoints::dictionaryBase());
    if (url.isValid())
        launcher.openUrl(url);
}

void OpenHomePage(Launcher &launcher)
{
    launcher.openUrl(QUrl(Endpoints::homePage(), QUrl::StrictMode));
}

void SendFeedbackMail(Launcher &launcher)
{
    const QString title = AppInfo::title();
    launcher.openUrl(WebLinks::feedbackMailUrl(
        Endpoints::feedbackAddress(), Endpoints::feedbackCopyAddress(),
        Endpoints::feedbackBlindCopyAddress(), WebLinks::feedbackSubject(title),
        WebLinks::feedbackBody(title, WebLinks::todayText())));
}

void OpenWebPage(Launcher &launcher, const QString &address)
{
    launcher.openUrl(QUrl(address, QUrl::StrictMode));
}

} // namespace Module1
