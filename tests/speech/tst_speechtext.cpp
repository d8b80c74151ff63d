// Which word of an entry is spoken, and by which voice.
#include "speech/SpeechText.h"

#include <QTest>

using Voices = QList<SpeechEngine::Voice>;

class TestSpeechText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void voiceForEntry_data();
    void voiceForEntry();
};

void TestSpeechText::voiceForEntry_data()
{
    // Voices by id and language; their names are for the options window only.
    const auto v = [](const char *id, const char *lang) { return SpeechEngine::Voice{QLatin1String(id), {}, QLatin1String(lang)}; };
    const auto us = v("us", "en-US"), gb = v("gb", "en_GB"), caribbean = v("029", "en-029"), de = v("de", "de-DE");
    const auto zh = v("zh", "zh-CN"), cmn = v("cmn", "cmn"), yue = v("yue", "yue"), pinyin = v("pinyin", "cmn-LATN-PINYIN");

    QTest::addColumn<QString>("entry");
    QTest::addColumn<Voices>("voices");
    QTest::addColumn<QString>("preferredEnglish");
    QTest::addColumn<QString>("preferredChinese");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("voice");

    const QString none;
    QTest::newRow("English word, English voice") << QStringLiteral("apple  苹果") << Voices{de, zh, us} << none << none << QStringLiteral("apple") << QStringLiteral("us");
    QTest::newRow("meaning-first entry, Chinese voice") << QStringLiteral("苹果  apple") << Voices{us, zh} << none << none << QStringLiteral("苹果") << QStringLiteral("zh");
    QTest::newRow("spaces around, phrase") << QStringLiteral("  look up  查找") << Voices{us} << none << none << QStringLiteral("look up") << QStringLiteral("us");
    QTest::newRow("accented Latin is English") << QStringLiteral("café  咖啡馆") << Voices{de, gb} << none << none << QStringLiteral("café") << QStringLiteral("gb");
    QTest::newRow("preferred English voice") << QStringLiteral("apple  苹果") << Voices{us, gb} << QStringLiteral("gb") << none << QStringLiteral("apple") << QStringLiteral("gb");
    QTest::newRow("preferred voice gone") << QStringLiteral("apple  苹果") << Voices{gb, us} << QStringLiteral("old") << none << QStringLiteral("apple") << QStringLiteral("us");
    QTest::newRow("Chinese preference not used for English") << QStringLiteral("apple") << Voices{us, zh} << none << QStringLiteral("zh") << QStringLiteral("apple") << QStringLiteral("us");
    QTest::newRow("no English voice: default") << QStringLiteral("apple  苹果") << Voices{de, zh} << none << none << QStringLiteral("apple") << none;
    QTest::newRow("no Chinese voice: default") << QStringLiteral("苹果  apple") << Voices{us, de} << none << none << QStringLiteral("苹果") << none;
    QTest::newRow("American before British before regional") << QStringLiteral("apple") << Voices{caribbean, gb, us} << none << none << QStringLiteral("apple") << QStringLiteral("us");
    QTest::newRow("British before regional") << QStringLiteral("apple") << Voices{caribbean, gb} << none << none << QStringLiteral("apple") << QStringLiteral("gb");
    QTest::newRow("regional English when alone") << QStringLiteral("apple") << Voices{zh, caribbean} << none << none << QStringLiteral("apple") << QStringLiteral("029");
    QTest::newRow("Mandarin before pinyin reading") << QStringLiteral("苹果") << Voices{pinyin, cmn} << none << none << QStringLiteral("苹果") << QStringLiteral("cmn");
    QTest::newRow("Mandarin before Cantonese") << QStringLiteral("苹果") << Voices{yue, cmn} << none << none << QStringLiteral("苹果") << QStringLiteral("cmn");
    QTest::newRow("Cantonese when alone") << QStringLiteral("苹果") << Voices{us, yue} << none << none << QStringLiteral("苹果") << QStringLiteral("yue");
    QTest::newRow("Han with Latin is Chinese") << QStringLiteral("T恤  T-shirt") << Voices{us, zh} << none << none << QStringLiteral("T恤") << QStringLiteral("zh");
    QTest::newRow("Han beyond the BMP") << QStringLiteral("𠀀") << Voices{us, zh} << none << none << QStringLiteral("𠀀") << QStringLiteral("zh");
    QTest::newRow("Cyrillic: default") << QStringLiteral("яблоко  苹果") << Voices{us, zh} << none << none << QStringLiteral("яблоко") << none;
    QTest::newRow("kana: default") << QStringLiteral("りんご  苹果") << Voices{us, zh} << none << none << QStringLiteral("りんご") << none;
    QTest::newRow("digits only: default") << QStringLiteral("1984  一九八四") << Voices{us, zh} << none << none << QStringLiteral("1984") << none;
    QTest::newRow("no voices") << QStringLiteral("apple") << Voices{} << QStringLiteral("us") << none << QStringLiteral("apple") << none;
}

void TestSpeechText::voiceForEntry()
{
    QFETCH(QString, entry);
    QFETCH(Voices, voices);
    QFETCH(QString, preferredEnglish);
    QFETCH(QString, preferredChinese);
    QFETCH(QString, word);
    QFETCH(QString, voice);

    const QString spoken = SpeechText::wordOf(entry);
    QCOMPARE(spoken, word);
    QCOMPARE(SpeechText::chooseVoice(spoken, voices, preferredEnglish, preferredChinese), voice);
}

QTEST_GUILESS_MAIN(TestSpeechText)
#include "tst_speechtext.moc"
