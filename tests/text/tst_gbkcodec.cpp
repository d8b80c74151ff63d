// The compiled-in GBK / GB18030 codec: fixed bytes, damaged input, every character's round trip,
// and agreement with the system's converter where there is one.
#include "text/GbkCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

namespace {
QString hex(const QByteArray &b)
{
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

QString codePoints(QStringView s)
{
    QStringList out;
    for (char32_t c : s.toUcs4())
        out += QStringLiteral("U+%1").arg(quint32(c), 4, 16, QLatin1Char('0')).toUpper();
    return out.join(u' ');
}

// GB18030-2022 moved 18 two-byte codes from private-use characters to the vertical forms
// U+FE10..U+FE19 and to U+9FB4..U+9FBB; this codec follows the 2005 edition. Where the system
// converter follows the newer one, only such characters may differ.
bool movedIn2022(char32_t c)
{
    return (c >= 0xFE10 && c <= 0xFE19) || (c >= 0x9FB4 && c <= 0x9FBB) || (c >= 0xE000 && c <= 0xF8FF);
}
} // namespace

class TestGbkCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void knownBytes_data();
    void knownBytes();
    void damagedBytes_data();
    void damagedBytes();
    void everyCharacterRoundTrips();
    void agreesWithTheSystemConverter();
};

void TestGbkCodec::knownBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readsBack");
    auto row = [](const char *name, const QString &text, const char *hexBytes, bool back = true) {
        QTest::newRow(name) << text << QByteArray::fromHex(hexBytes) << back;
    };
    row("ASCII and GBK", u"apple  苹果\r\n"_qs, "6170706C652020C6BBB9FB0D0A");
    row("first two-byte code", u"丂"_qs, "8140");
    row("euro sign as GBK writes it", u"€"_qs, "80");
    row("middle dot", u"\u00B7"_qs, "A1A4");
    row("U+0080 takes four bytes", u"\u0080"_qs, "81308130");
    row("soft hyphen and joiner kept", u"\u00AD\u200D"_qs, "81308532 8136A439");
    row("Hangul, outside GBK", u"가"_qs, "8237CF35");
    row("m with acute, moved to two bytes", u"\u1E3F"_qs, "A8BC");
    row("private use displaced by it", u"\uE7C7"_qs, "8135F437");
    row("last BMP character", u"\uFFFF"_qs, "8431A439");
    row("first supplementary", u"\U00010000"_qs, "90308130");
    row("emoji", u"\U0001F600"_qs, "9439FC36");
    row("CJK extension B", u"\U00020000"_qs, "95328236");
    row("last code point", u"\U0010FFFF"_qs, "E3329A35");
    // A lone surrogate is no character: it is written as U+FFFD, so every text can be saved.
    row("lone high surrogate", QString(QChar(0xD83D)) + u"x"_qs, "8431A437 78", false);
    row("lone low surrogate at the end", u"x"_qs + QChar(0xDE00), "78 8431A437", false);
    row("reversed pair", QString(QChar(0xDE00)) + QChar(0xD83D), "8431A437 8431A437", false);
}

void TestGbkCodec::knownBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readsBack);
    QCOMPARE(hex(GbkCodec::encode(text)), hex(bytes));
    QCOMPARE(GbkCodec::encodedSize(text), bytes.size());
    const QString back = GbkCodec::decode(bytes);
    if (readsBack)
        QCOMPARE(codePoints(back), codePoints(text));
    else
        QVERIFY(back.contains(QChar(0xFFFD)));
}

void TestGbkCodec::damagedBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("lead byte at the end") << QByteArray("a\xD6") << u"a\uFFFD"_qs;
    QTest::newRow("0xFF") << QByteArray("\xFF" "a") << u"\uFFFDa"_qs;
    QTest::newRow("trail byte 0x7F") << QByteArray("\x81\x7F") << u"\uFFFD\x7F"_qs;
    QTest::newRow("trail byte 0xFF") << QByteArray("\x81\xFF" "a") << u"\uFFFD\uFFFDa"_qs;
    QTest::newRow("line end as trail byte") << QByteArray("\xC6\r\n") << u"\uFFFD\r\n"_qs;
    QTest::newRow("cut four-byte code") << QByteArray("\x81\x30\x81") << u"\uFFFD0\uFFFD"_qs;
    QTest::newRow("four-byte code with bad third byte") << QByteArray("\x81\x30\x20\x30") << u"\uFFFD0 0"_qs;
    QTest::newRow("unassigned after the BMP") << QByteArray("\x84\x31\xA5\x30") << u"\uFFFD1\uFFFD0"_qs;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xE3\x32\x9A\x36") << u"\uFFFD2\uFFFD6"_qs;
    QTest::newRow("damage between good text") << QByteArray("\xC6\xBB\x81 \xB9\xFB") << u"苹\uFFFD 果"_qs;
}

void TestGbkCodec::damagedBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(codePoints(GbkCodec::decode(bytes)), codePoints(text));
}

void TestGbkCodec::everyCharacterRoundTrips()
{
    // Every BMP character and every 61st supplementary one, in one text: what is written reads
    // back unchanged, needing no converter but the codec's own tables.
    QString all;
    for (char32_t c = 1; c < 0x110000; c += c < 0x10000 ? 1 : 61) {
        if (c < 0xD800 || c >= 0xE000)
            all += QString::fromUcs4(&c, 1);
    }
    const QByteArray bytes = GbkCodec::encode(all);
    QCOMPARE(bytes.size(), GbkCodec::encodedSize(all));
    QVERIFY(bytes.size() <= GbkCodec::maxEncodedSize(all.size()));
    std::vector<char16_t> out(bytes.size() + 1, u'#');
    const qsizetype written = GbkCodec::decode(bytes.constData(), bytes.size(), out.data());
    QVERIFY(written <= bytes.size());
    QCOMPARE(out[written], u'#');
    const QStringView back(out.data(), written);
    QCOMPARE(back.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (back[i] != all[i])
            QFAIL(qPrintable(QStringLiteral("%1 came back as %2").arg(codePoints(all.mid(i, 1)), codePoints(back.mid(i, 1)))));
    }
}

void TestGbkCodec::agreesWithTheSystemConverter()
{
    QStringDecoder dec("GB18030", QStringConverter::Flag::Stateless);
    QStringEncoder enc("GB18030", QStringConverter::Flag::Stateless);
    if (!dec.isValid() || !enc.isValid())
        QSKIP("this Qt has no GB18030 converter");
    const bool newerEdition = dec.decode(QByteArray("\xA6\xD9")) != u"\uE78D"_qs;

    // Every two-byte code, read.
    QByteArray pairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                pairs += char(lead), pairs += char(trail);
        }
    }
    const QString ours = GbkCodec::decode(pairs);
    const QString theirs = dec.decode(pairs);
    QCOMPARE(ours.size(), pairs.size() / 2);
    QCOMPARE(theirs.size(), ours.size());
    int differences = 0;
    for (qsizetype i = 0; i < ours.size(); ++i) {
        if (ours[i] == theirs[i] || (newerEdition && movedIn2022(ours[i].unicode()) && movedIn2022(theirs[i].unicode())))
            continue;
        if (++differences <= 10)
            qWarning("%s reads as %s, the system says %s", qPrintable(hex(pairs.mid(i * 2, 2))),
                     qPrintable(codePoints(ours.mid(i, 1))), qPrintable(codePoints(theirs.mid(i, 1))));
    }
    QCOMPARE(differences, 0);

    // Every BMP character (so every GBK one) and a sample of the other planes, written. The euro
    // sign is the one character written as GBK writes it (0x80), not as GB18030 does. Where the
    // system's GBK holds a character, and its bytes read back as that character, the bytes match.
    QStringEncoder gbk("GBK", QStringConverter::Flag::Stateless);
    for (char32_t c = 0x80; c < 0x110000; c += c < 0x10000 ? 1 : 97) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        if (newerEdition && movedIn2022(c))
            continue;
        const QString s = QString::fromUcs4(&c, 1);
        const QByteArray expected = c == 0x20AC ? QByteArray("\x80") : QByteArray(enc.encode(s));
        const QByteArray got = GbkCodec::encode(s);
        if (got != expected && ++differences <= 10)
            qWarning("%s is written %s, the system writes %s", qPrintable(codePoints(s)), qPrintable(hex(got)),
                     qPrintable(hex(expected)));
        const QByteArray gbkBytes = gbk.isValid() && c < 0x10000 ? QByteArray(gbk.encode(s)) : QByteArray();
        if (!gbkBytes.isEmpty() && gbkBytes.size() <= 2 && gbkBytes != "?" && gbkBytes != got
            && (gbkBytes == "\x80" || dec.decode(gbkBytes) == s) && ++differences <= 10)
            qWarning("%s is written %s, the system's GBK writes %s", qPrintable(codePoints(s)), qPrintable(hex(got)),
                     qPrintable(hex(gbkBytes)));
        if (c >= 0x10000 || got.size() == 4) {
            const QString read = dec.decode(got);
            if (read != s && ++differences <= 10)
                qWarning("%s is read by the system as %s", qPrintable(hex(got)), qPrintable(codePoints(read)));
        }
    }
    QCOMPARE(differences, 0);
}

QTEST_GUILESS_MAIN(TestGbkCodec)
#include "tst_gbkcodec.moc"
