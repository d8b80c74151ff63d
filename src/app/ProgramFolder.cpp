#include "ProgramFolder.h"

#include "shell/AppInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ProgramFolder {

BankPlace wordBankPlace(const QString &folder, const QString &wordBankPath)
{
    {
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX.tmp")));
        if (!probe.open())
            return BankPlace::FolderNotWritable;
    }
    // The same test the atomic save makes before it writes a replacement.
    const QFileInfo bank(wordBankPath);
    if (bank.isFile() && !bank.isWritable())
        return BankPlace::BankReadOnly;
    return BankPlace::Writable;
}

QString notWritableMessage(const QString &folder, const QString &suggestedFolder)
{
    return QStringLiteral("程序文件夹“%1”不能写入：退出时词库无法保存，本次新加的单词将会丢失。\n\n"
                          "请把整个程序文件夹复制到可以写入的地方（例如“%2”），再从那里运行本程序。")
        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(suggestedFolder));
}

QString readOnlyBankMessage(const QString &wordBankPath)
{
    return QStringLiteral("词库文件“%1”是只读的：词库无法保存，本次新加的单词将会丢失。\n\n"
                          "请去掉这个文件的只读属性（右击文件，选择“属性”），再重新运行本程序。")
        .arg(QDir::toNativeSeparators(wordBankPath));
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString suggestedCopyFolder()
{
    return QDir(documentsFolder()).filePath(AppInfo::title());
}

} // namespace ProgramFolder
