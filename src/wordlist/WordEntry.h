#pragma once

#include <QString>
#include <QStringView>

// One row of the word list, as the list holds it: views into the list's text, valid until the
// list next changes. Make a QString of a field only where one is handed on (a shown cell, a text
// box).
//
// The key (meaning immediately followed by word) is what makes an entry unique in the list. It is
// fixed when the entry is added; an edit changes word and meaning but not the key.
struct WordEntry
{
    QStringView word;
    QStringView meaning;
    QStringView keyText;

    QStringView key() const { return keyText; }
};
