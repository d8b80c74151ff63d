// The edit dialog, driven without exec(): it writes into the row itself and never touches the key.
#include "wordlist/FormEdit.h"
#include "wordlist/WordListModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Row
{
    QString word, meaning;
    bool operator==(const Row &o) const { return word == o.word && meaning == o.meaning; }
};

Row rowOf(const WordListModel &m, int row)
{
    return {m.entry(row).word.toString(), m.entry(row).meaning.toString()};
}

void fill(WordListModel &m)
{
    m.addEntry(u"apple"_qs, u"苹果"_qs);
    m.addEntry(u"pear"_qs, u"梨"_qs);
    m.addEntry(u"fig"_qs, u"无花果"_qs);
}

QPushButton *button(FormEdit &d, const char *name)
{
    return d.findChild<QPushButton *>(QString::fromUtf8(name));
}
} // namespace

class TestFormEdit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsTheRowAsItIs();
    void okTrimsOnlyPlainSpaces_data();
    void okTrimsOnlyPlainSpaces();
    void okKeepsTheKey();
    void cancelAndCloseBoxChangeNothing_data();
    void cancelAndCloseBoxChangeNothing();
    void followsTheRowWhenTheListMoves();
};

void TestFormEdit::showsTheRowAsItIs()
{
    WordListModel m;
    m.addEntry(u"  odd  "_qs, u" 奇 "_qs); // only an edit can make such a row, but show it unchanged
    FormEdit d(&m, 0);
    QCOMPARE(d.text1()->text(), u"  odd  "_qs);
    QCOMPARE(d.text2()->text(), u" 奇 "_qs);
}

void TestFormEdit::okTrimsOnlyPlainSpaces_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<QString>("storedWord");
    QTest::addColumn<QString>("storedMeaning");

    QTest::newRow("spaces at both ends") << u"  apple "_qs << u" 苹果"_qs << u"apple"_qs << u"苹果"_qs;
    QTest::newRow("inner spaces stay")
        << u" ice  cream "_qs << u"冰 淇淋 "_qs << u"ice  cream"_qs << u"冰 淇淋"_qs;
    QTest::newRow("other blanks stay")
        << u"\tapple\u3000"_qs << u"\u3000苹果\t"_qs << u"\tapple\u3000"_qs << u"\u3000苹果\t"_qs;
    QTest::newRow("blanks become empty") << u"   "_qs << u" "_qs << QString() << QString();
}

void TestFormEdit::okTrimsOnlyPlainSpaces()
{
    QFETCH(QString, word);
    QFETCH(QString, meaning);
    QFETCH(QString, storedWord);
    QFETCH(QString, storedMeaning);
    WordListModel m;
    fill(m);
    FormEdit d(&m, 1);
    QSignalSpy finished(&d, &QDialog::finished);
    d.text1()->setText(word);
    d.text2()->setText(meaning);
    QTest::mouseClick(button(d, "Command1"), Qt::LeftButton);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(m.count(), 3);
    QVERIFY(rowOf(m, 0) == (Row{u"apple"_qs, u"苹果"_qs}));
    QVERIFY(rowOf(m, 1) == (Row{storedWord, storedMeaning}));
    QVERIFY(rowOf(m, 2) == (Row{u"fig"_qs, u"无花果"_qs}));
}

void TestFormEdit::okKeepsTheKey()
{
    WordListModel m;
    fill(m);
    FormEdit d(&m, 0);
    d.text1()->setText(u"peach"_qs);
    d.text2()->setText(u"桃"_qs);
    button(d, "Command1")->click();
    QVERIFY(rowOf(m, 0) == (Row{u"peach"_qs, u"桃"_qs}));
    // The old content is still taken, the new one is not.
    QVERIFY(!m.addEntry(u"apple"_qs, u"苹果"_qs));
    QVERIFY(m.addEntry(u"peach"_qs, u"桃"_qs));
    QCOMPARE(m.count(), 4);
}

void TestFormEdit::cancelAndCloseBoxChangeNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("取消") << 0;
    QTest::newRow("close box") << 1;
    QTest::newRow("Esc") << 2;
}

void TestFormEdit::cancelAndCloseBoxChangeNothing()
{
    QFETCH(int, how);
    WordListModel m;
    fill(m);
    FormEdit d(&m, 2);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    d.show();
    d.text1()->setText(u"changed"_qs);
    d.text2()->setText(u"改了"_qs);
    if (how == 0)
        QTest::mouseClick(button(d, "Command2"), Qt::LeftButton);
    else if (how == 1)
        d.close();
    else
        QTest::keyClick(d.text1(), Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(changed.size(), 0);
    QVERIFY(rowOf(m, 2) == (Row{u"fig"_qs, u"无花果"_qs}));
}

void TestFormEdit::followsTheRowWhenTheListMoves()
{
    WordListModel m;
    fill(m);
    FormEdit d(&m, 0); // apple
    m.reorder({2, 1, 0});
    m.removeEntries({0});
    d.text1()->setText(u"APPLE"_qs);
    button(d, "Command1")->click();
    QVERIFY(rowOf(m, 0) == (Row{u"pear"_qs, u"梨"_qs}));
    QVERIFY(rowOf(m, 1) == (Row{u"APPLE"_qs, u"苹果"_qs}));

    // A row that is gone is not written anywhere.
    FormEdit gone(&m, 0);
    m.removeEntries({0});
    gone.text1()->setText(u"x"_qs);
    button(gone, "Command1")->click();
    QCOMPARE(m.count(), 1);
    QVERIFY(rowOf(m, 0) == (Row{u"APPLE"_qs, u"苹果"_qs}));
}

QTEST_MAIN(TestFormEdit)
#include "tst_formedit.moc"
