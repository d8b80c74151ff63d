#pragma once

#include "shell/Dialogs.h"

#include <QList>
#include <QStringList>

#include <functional>

// Dialogs for tests: records every message and file request, answers from a script.
class FakeDialogs : public Dialogs
{
public:
    struct Message
    {
        Icon icon;
        QString text;
    };

    void message(QWidget *parent, Icon icon, const QString &text) override;
    QString openFileName(QWidget *parent, const FileRequest &request) override;
    QString saveFileName(QWidget *parent, const FileRequest &request) override;

    QList<Message> messages;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;

    // Answers, used front to back; an empty queue answers "cancel".
    QStringList openAnswers;
    QStringList saveAnswers;
    // Runs inside message(), e.g. to check state while a message box would be open.
    std::function<void(const Message &)> onMessage;
};
