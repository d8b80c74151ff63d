#pragma once

#include <QString>

// One row of the word list.
//
// The key (meaning immediately followed by word) is what makes an entry unique in the list. It is
// fixed when the entry is added; an edit changes word and meaning but not the key. To keep a
// million-entry bank small, the key is not stored while it still equals meaning + word: only an
// edited entry carries its original key in `editedKey`.
struct WordEntry
{
    QString word;
    QString meaning;
    QString editedKey; // null unless an edit left the key different from meaning + word

    QString key() const { return editedKey.isNull() ? meaning + word : editedKey; }
};
