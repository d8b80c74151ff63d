#include "QtDialogs.h"

#include "AppInfo.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {
// A short message makes a narrow box, and the window manager then cuts its title ("Tanv…").
// Widen the box until the title fits beside the title bar's icon and buttons.
void fitTitle(QMessageBox &box)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int decorations = 150; // icon, close box and the frame's margins, generously
    const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + decorations;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
}

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
    fitTitle(box);
    box.exec();
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

bool QtDialogs::ask(QWidget *parent, const QString &question, const QString &yes, const QString &no)
{
    QMessageBox box(QMessageBox::Question, AppInfo::title(), question, QMessageBox::NoButton, parent);
    QPushButton *yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QPushButton *noButton = box.addButton(no, QMessageBox::RejectRole);
    box.setDefaultButton(noButton);
    box.setEscapeButton(noButton);
    fitTitle(box);
    box.exec();
    return box.clickedButton() == yesButton;
}
