#pragma once

#include <QString>

// The texts of the drill: what the floating window shows for an entry, and which word a
// double-click on that text looks up.
namespace DrillText {

// Word, two spaces, meaning; spaces (U+0020) trimmed at both ends; every tab made a space; then
// every run of three spaces made one, again while three remain. Two spaces survive, so word and
// meaning stay two spaces apart; four end as two, five as one.
QString displayText(const QString &word, const QString &meaning);

// The word of a shown text: cut at the first two spaces in a row when there are any, then prepared
// as every lookup prepares its word (WebLinks::prepareWord: spaces at both ends and one final "/"
// removed).
QString lookupWord(const QString &caption);

} // namespace DrillText
