#pragma once

#include <QString>

class QWidget;

// Every message box and file dialog of the program goes through here. Production shows Qt's
// dialogs; tests script the answers and read what was asked.
class Dialogs
{
public:
    enum class Icon { Information, Warning, Critical };

    struct FileRequest
    {
        QString folder;        // where the dialog starts
        QString fileName;      // the name proposed, may be empty
        QString filter;        // e.g. "*.txt (*.txt)"
        QString defaultSuffix; // added to a name given without extension (save only)
    };

    virtual ~Dialogs() = default;

    // A message box with the application title as its title and an OK button.
    virtual void message(QWidget *parent, Icon icon, const QString &text) = 0;
    // The chosen file's full path, or an empty string when the user cancelled.
    virtual QString openFileName(QWidget *parent, const FileRequest &request) = 0;
    // As above; the dialog asks before an existing file is replaced.
    virtual QString saveFileName(QWidget *parent, const FileRequest &request) = 0;
    // A question with two answers; true for `yes`. Esc and the close box answer `no`, which is
    // also the default button, so the safe answer is the one given without thinking.
    virtual bool ask(QWidget *parent, const QString &question, const QString &yes, const QString &no) = 0;
};
