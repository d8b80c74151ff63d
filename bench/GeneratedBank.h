#pragma once

#include <QRandomGenerator>
#include <QString>

// A word bank for the benchmarks: random English-like words, 1-6 common Chinese characters as
// meaning, as word-pair text. The same seed gives the same bank.
inline QString generatedBankText(int count)
{
    QRandomGenerator rng(12345);
    QString text;
    text.reserve(qsizetype(count) * 16);
    for (int i = 0; i < count; ++i) {
        const int wordLen = 5 + rng.bounded(14);
        for (int j = 0; j < wordLen; ++j)
            text += QChar(u'a' + rng.bounded(26));
        text += u"  ";
        const int meaningLen = 1 + rng.bounded(6);
        for (int j = 0; j < meaningLen; ++j)
            text += QChar(char16_t(0x4E00 + rng.bounded(0x9FA5 - 0x4E00)));
        text += u"\r\n";
    }
    return text;
}
