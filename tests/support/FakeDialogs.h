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
    bool ask(QWidget *parent, const QString &question, const QString &yes, const QString &no) override;

    QList<Message> messages;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QStringList questions;

    // Answers, used front to back; an empty queue answers "cancel".
    QStringList openAnswers;
    QStringList saveAnswers;
    // Answers to questions; an empty queue answers yes.
    QList<bool> askAnswers;
    // Runs inside message(), e.g. to check state while a message box would be open.
    std::function<void(const Message &)> onMessage;
};
