#include "ProgramFolder.h"

#include "shell/AppInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ProgramFolder {

bool acceptsWordBank(const QString &folder, const QString &wordBankPath)
{
    {
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX.tmp")));
        if (!probe.open())
            return false;
    }
#ifdef Q_OS_WIN
    // Replacing a read-only file fails on Windows; elsewhere the folder alone decides.
    const QFileInfo bank(wordBankPath);
    if (bank.isFile() && !bank.isWritable())
        return false;
#else
    Q_UNUSED(wordBankPath);
#endif
    return true;
}

QString notWritableMessage(const QString &folder, const QString &suggestedFolder)
{
    return QStringLiteral("程序文件夹“%1”不能写入：退出时词库无法保存，本次新加的单词将会丢失。\n\n"
                          "请把整个程序文件夹复制到可以写入的地方（例如“%2”），再从那里运行本程序。")
        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(suggestedFolder));
}

QString suggestedCopyFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return QDir(base).filePath(AppInfo::title());
}

} // namespace ProgramFolder
