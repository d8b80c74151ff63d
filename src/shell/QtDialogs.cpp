#include "QtDialogs.h"

#include "AppInfo.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {
QString startPath(const Dialogs::FileRequest &r)
{
    return r.fileName.isEmpty() ? r.folder : QDir(r.folder).filePath(QFileInfo(r.fileName).fileName());
}
} // namespace

void QtDialogs::message(QWidget *parent, Icon icon, const QString &text)
{
    QMessageBox box(icon == Icon::Information ? QMessageBox::Information
                    : icon == Icon::Warning   ? QMessageBox::Warning
                                              : QMessageBox::Critical,
                    AppInfo::title(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::question(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, AppInfo::title(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

QString QtDialogs::openFileName(QWidget *parent, const FileRequest &request)
{
    QFileDialog dialog(parent, QString(), startPath(request), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFileName(QWidget *parent, const FileRequest &request)
{
    QFileDialog dialog(parent, QString(), startPath(request), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
