#pragma once

#include "wordlist/WordPairs.h"

#include <QString>

class Dialogs;
class QWidget;

// What the user is told after an import, for every way of importing (the one-click import of a
// word file, the import window's two buttons): the completion text and how many entries were
// added and how many were in the list already; or, when the import stopped before the end, that
// it did and why.
namespace ImportReport {

struct Message
{
    bool complete = true; // an information box; otherwise a warning
    QString text;
};

// `done` is the surface's own completion text ("导入完成!", "处理完成！").
Message message(const QString &done, const Module1::ImportCounts &counts);
// Shows that message in a box.
void show(QWidget *parent, Dialogs &dialogs, const QString &done, const Module1::ImportCounts &counts);

} // namespace ImportReport
