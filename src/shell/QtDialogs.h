#pragma once

#include "Dialogs.h"

// The real dialogs.
class QtDialogs : public Dialogs
{
public:
    void message(QWidget *parent, Icon icon, const QString &text) override;
    QString openFileName(QWidget *parent, const FileRequest &request) override;
    QString saveFileName(QWidget *parent, const FileRequest &request) override;
    bool ask(QWidget *parent, const QString &question, const QString &yes, const QString &no) override;
};
