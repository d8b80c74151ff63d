// The starter word file shipped beside the program: its bytes are the word-pair format of its
// UTF-8 source, and every line is a clean word and meaning.
#include "FileBytes.h"
#include "wordlist/TextFile.h"
#include "wordlist/WordListModel.h"
#include "wordlist/WordPairs.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {
} // namespace

class TestStarterWords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isTheFormatOfItsSource();
    void everyLineIsAWordAndMeaning();
    void liesBesideTheProgram();
};

void TestStarterWords::isTheFormatOfItsSource()
{
    const QByteArray shipped = readAll(QStringLiteral(QUORVEL_STARTER_WORDS));
    const QString source = QString::fromUtf8(readAll(QStringLiteral(QUORVEL_STARTER_WORDS_SOURCE)));
    QVERIFY(!shipped.isEmpty() && !source.isEmpty());
    // GBK bytes and CR LF line ends, nothing else: the writer would produce exactly these bytes.
    QCOMPARE(shipped, TextFile::encode(TextFile::normaliseLineEnds(source)));
    QVERIFY(!shipped.contains("\xEF\xBB\xBF"));
    QCOMPARE(shipped.count("\r\n"), shipped.count('\n'));
    QCOMPARE(TextFile::decode(shipped), TextFile::normaliseLineEnds(source));
}

void TestStarterWords::everyLineIsAWordAndMeaning()
{
    const QByteArray shipped = readAll(QStringLiteral(QUORVEL_STARTER_WORDS));
    const QString text = TextFile::decode(shipped);
    WordListModel list;
    Module1::ImportWordPairs(text, list);
    const qsizetype lines = text.count(QStringLiteral("\r\n"));
    QCOMPARE(list.count(), lines); // no line dropped: no duplicates, no empty meanings
    QVERIFY(list.count() >= 300);
    // The name tells how many words it holds.
    QVERIFY(QFileInfo(QStringLiteral(QUORVEL_STARTER_WORDS)).fileName().contains(QString::number(list.count())));
    static const QRegularExpression word(QStringLiteral("^[a-z]+$"));
    static const QRegularExpression meaning(QStringLiteral("^[\\x{4e00}-\\x{9fff}；…]+$"));
    for (const WordEntry &e : list.entries()) {
        const QString w = e.word.toString(), m = e.meaning.toString();
        QVERIFY2(word.match(w).hasMatch(), qPrintable(w));
        QVERIFY2(meaning.match(m).hasMatch(), qPrintable(w + QStringLiteral(": ") + m));
    }
    // Written back by the writer it is the same file.
    QCOMPARE(WordPairs::encodeList(list), shipped);
}

void TestStarterWords::liesBesideTheProgram()
{
    const QString beside = QStringLiteral(QUORVEL_EXE_DIR) + u'/' + QFileInfo(QStringLiteral(QUORVEL_STARTER_WORDS)).fileName();
    QCOMPARE(readAll(beside), readAll(QStringLiteral(QUORVEL_STARTER_WORDS)));
}

QTEST_GUILESS_MAIN(TestStarterWords)
#include "tst_starterwords.moc"
