#include "Shortcut.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString kIconResource = QStringLiteral(":/icons/TanvicQuorvel.png");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

void removeEntry(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        QFile::remove(path);
}
} // namespace

namespace StartMenuEntry {

void write(const QString &folder, const QString &name, const QString &description, const QString &target)
{
    const QString entryPath = folder + name + QStringLiteral(".desktop");
    removeEntry(entryPath);

    // Our icon beside the entry, so that it shows in every menu without an icon theme.
    const QString iconPath = folder + name + QStringLiteral(".png");
    QString icon;
    QFile resource(kIconResource);
    if (resource.open(QIODevice::ReadOnly) && writeFile(iconPath, resource.readAll()))
        icon = iconPath;

    // A program path with "%" or "=" cannot stand in Exec for every launcher; a link beside the
    // entry stands in for it. The program still finds its own folder: the system reports the
    // executable's real path, not the link's.
    QString program = target;
    const QString linkPath = folder + name;
    removeEntry(linkPath);
    if (DesktopEntry::unfitAsExecProgram(target) && !DesktopEntry::unfitAsExecProgram(linkPath)
        && QFile::link(target, linkPath)) {
        program = linkPath;
    }

    DesktopEntry::Fields fields;
    fields.name = name;
    fields.comment = description;
    fields.program = program;
    fields.path = folder;
    fields.icon = icon;
    writeFile(entryPath, DesktopEntry::compose(fields));
}

} // namespace StartMenuEntry
