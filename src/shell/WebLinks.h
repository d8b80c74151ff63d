#pragma once

#include <QString>
#include <QUrl>

class Launcher;

// The addresses the program composes: dictionary pages and the feedback mail. Every part that
// comes from text is percent-encoded (a word's "/" aside), so a word such as "C#" or "what?" is
// looked up whole and the mail program receives recipient, copies, subject and body exactly as
// composed.
namespace WebLinks {

// Spaces (U+0020) removed at both ends, then one final "/" removed.
QString prepareWord(const QString &word);

// base + word + "/": the word percent-encoded (UTF-8) but for "/", which stays as it is unless a
// "." or ".." lies between two of them (then it is encoded too). A word that is "." or ".." gives
// an empty (invalid) address: no page.
QUrl dictionaryUrl(const QString &preparedWord, const QString &base);

QString feedbackSubject(const QString &title);
// One line: the labels of the template with their runs of spaces, then the date.
QString feedbackBody(const QString &title, const QString &date);
QUrl feedbackMailUrl(const QString &to, const QString &cc, const QString &bcc,
                     const QString &subject, const QString &body);

// Today's date in the user's short date format.
QString todayText();

} // namespace WebLinks

namespace Module1 {

// Opens the dictionary page of a word its caller has prepared (WebLinks::prepareWord); an empty
// word opens nothing.
void OpenDictionaryPage(Launcher &launcher, const QString &preparedWord);
// Opens the maker's home page.
void OpenHomePage(Launcher &launcher);
// Opens a new message to the maker with the feedback template filled in.
void SendFeedbackMail(Launcher &launcher);
// Shows an address in the browser.
void OpenWebPage(Launcher &launcher, const QString &address);

} // namespace Module1
