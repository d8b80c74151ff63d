#include "FakeLauncher.h"
#include "shell/AppInfo.h"
#include "shell/Endpoints.h"
#include "shell/WebLinks.h"

#include <QTest>
#include <QUrlQuery>

class TestWebLinks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dictionaryAddress_data();
    void dictionaryAddress();
    void feedbackTemplate();
    void feedbackMailAddress_data();
    void feedbackMailAddress();
    void launches();
};

void TestWebLinks::dictionaryAddress_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("tail"); // what follows the base, fully encoded; empty: no address
    QTest::newRow("apple") << u"apple"_qs << u"apple/"_qs;
    QTest::newRow("spaces at both ends") << u"  apple  "_qs << u"apple/"_qs;
    QTest::newRow("one final slash removed, the inner one kept") << u"and/or/"_qs << u"and/or/"_qs;
    QTest::newRow("only one slash removed") << u"a//"_qs << u"a//"_qs;
    QTest::newRow("single slash") << u"/"_qs << u"/"_qs;
    QTest::newRow("empty") << QString() << u"/"_qs;
    QTest::newRow("space inside") << u"ice cream"_qs << u"ice%20cream/"_qs;
    QTest::newRow("Chinese") << u"苹果"_qs << u"%E8%8B%B9%E6%9E%9C/"_qs;
    QTest::newRow("hash") << u"C#"_qs << u"C%23/"_qs;
    QTest::newRow("question mark") << u"what?"_qs << u"what%3F/"_qs;
    QTest::newRow("percent, ampersand, plus") << u"100% R&D+"_qs << u"100%25%20R%26D%2B/"_qs;
    QTest::newRow("slash then spaces") << u" x/ "_qs << u"x/"_qs;
    QTest::newRow("parent segment") << u"../x"_qs << u"..%2Fx/"_qs;
    QTest::newRow("parent segment inside") << u"a/../b"_qs << u"a%2F..%2Fb/"_qs;
    QTest::newRow("current segment") << u"a/./b"_qs << u"a%2F.%2Fb/"_qs;
    QTest::newRow("parent segment at the end") << u"x/.."_qs << u"x%2F../"_qs;
    QTest::newRow("only dots") << u".."_qs << QString();
    QTest::newRow("one dot, final slash removed") << u"./"_qs << QString();
    QTest::newRow("three dots are a name") << u".../a"_qs << u".../a/"_qs;
    QTest::newRow("backslash") << u"..\\x"_qs << u"..%5Cx/"_qs;
}

void TestWebLinks::dictionaryAddress()
{
    QFETCH(QString, word);
    QFETCH(QString, tail);
    const QUrl url = WebLinks::dictionaryUrl(WebLinks::prepareWord(word), Endpoints::dictionaryBase());
    if (tail.isEmpty()) {
        QVERIFY(!url.isValid());
        return;
    }
    QVERIFY(url.isValid());
    // What the browser makes of it stays under the base (no dot segment is resolved away).
    QVERIFY(url.adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded).startsWith(Endpoints::dictionaryBase()));
    QCOMPARE(url.toString(QUrl::FullyEncoded), Endpoints::dictionaryBase() + tail);
    // The whole word is the path: nothing leaks into a query or a fragment.
    QVERIFY(!url.hasQuery());
    QVERIFY(!url.hasFragment());
}

void TestWebLinks::feedbackTemplate()
{
    QCOMPARE(WebLinks::feedbackSubject(u"TanvicQuorvel"_qs), u"我要对[TanvicQuorvel]提建议"_qs);
    const QString body = WebLinks::feedbackBody(u"TanvicQuorvel"_qs, u"2026/12/7"_qs);
    QCOMPARE(body, u"软件名称：TanvicQuorvel 姓名：          "
                   u" Email：           "
                   u" 联系地址：           "
                   u" 邮编：              "
                   u" 电话：                    "
                   u" 日期：2026/12/7"_qs);
    QVERIFY(!body.contains(u'\n'));
}

void TestWebLinks::feedbackMailAddress_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::newRow("template") << WebLinks::feedbackSubject(u"TanvicQuorvel"_qs)
                              << WebLinks::feedbackBody(u"TanvicQuorvel"_qs, u"2026-12-07"_qs);
    QTest::newRow("delimiters in the text") << u"a&cc=x@evil.example?#"_qs << u"b=1&bcc=y%20+z\r\n"_qs;
}

void TestWebLinks::feedbackMailAddress()
{
    QFETCH(QString, subject);
    QFETCH(QString, body);
    const QUrl url = WebLinks::feedbackMailUrl(u"to@m.example"_qs, u"cc@m.example"_qs,
                                               u"bcc@m.example"_qs, subject, body);
    QVERIFY(url.isValid());
    const QString encoded = url.toString(QUrl::FullyEncoded);
    QVERIFY2(encoded.startsWith(u"mailto:to@m.example?cc=cc@m.example&bcc=bcc@m.example&subject="_qs),
             qPrintable(encoded));
    QVERIFY(!encoded.contains(u' '));
    QCOMPARE(url.scheme(), u"mailto"_qs);
    QCOMPARE(url.path(), u"to@m.example"_qs);
    // What a mail program decodes is what was composed: one of each field, intact.
    const QUrlQuery query(url);
    QCOMPARE(query.queryItems().size(), 4);
    QCOMPARE(query.queryItemValue(u"cc"_qs, QUrl::FullyDecoded), u"cc@m.example"_qs);
    QCOMPARE(query.queryItemValue(u"bcc"_qs, QUrl::FullyDecoded), u"bcc@m.example"_qs);
    QCOMPARE(query.queryItemValue(u"subject"_qs, QUrl::FullyDecoded), subject);
    QCOMPARE(query.queryItemValue(u"body"_qs, QUrl::FullyDecoded), body);
}

void TestWebLinks::launches()
{
    FakeLauncher launcher;
    Module1::OpenDictionaryPage(launcher, u"what?"_qs);
    Module1::OpenDictionaryPage(launcher, u".."_qs); // no page
    Module1::OpenHomePage(launcher);
    Module1::OpenWebPage(launcher, Endpoints::supportSite());
    Module1::SendFeedbackMail(launcher);
    QCOMPARE(launcher.urls.size(), 4);
    QCOMPARE(launcher.urls[0].toString(QUrl::FullyEncoded), Endpoints::dictionaryBase() + u"what%3F/"_qs);
    QCOMPARE(launcher.urls[1], QUrl(Endpoints::homePage()));
    QCOMPARE(launcher.urls[2], QUrl(Endpoints::supportSite()));
    const QUrl mail = launcher.urls[3];
    QCOMPARE(mail.path(), Endpoints::feedbackAddress());
    const QUrlQuery query(mail);
    QCOMPARE(query.queryItemValue(u"cc"_qs), Endpoints::feedbackCopyAddress());
    QCOMPARE(query.queryItemValue(u"bcc"_qs), Endpoints::feedbackBlindCopyAddress());
    QCOMPARE(query.queryItemValue(u"subject"_qs, QUrl::FullyDecoded), u"我要对[TanvicQuorvel]提建议"_qs);
    const QString body = query.queryItemValue(u"body"_qs, QUrl::FullyDecoded);
    QVERIFY(body.startsWith(u"软件名称："_qs + AppInfo::title() + u" 姓名："_qs + QString(10, u' ') + u" Email"_qs));
    QVERIFY(body.endsWith(u" 日期："_qs + WebLinks::todayText()));
    QVERIFY(launcher.programs.isEmpty());
}

QTEST_GUILESS_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
