#include "FakeDialogs.h"

void FakeDialogs::message(QWidget *, Icon icon, const QString &text)
{
    messages.append({icon, text});
    if (onMessage)
        onMessage(messages.constLast());
}

QString FakeDialogs::openFileName(QWidget *, const FileRequest &request)
{
    openRequests.append(request);
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString FakeDialogs::saveFileName(QWidget *, const FileRequest &request)
{
    saveRequests.append(request);
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

bool FakeDialogs::ask(QWidget *, const QString &question, const QString &, const QString &)
{
    questions.append(question);
    return askAnswers.isEmpty() || askAnswers.takeFirst();
}
