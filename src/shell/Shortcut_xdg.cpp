#include "Shortcut.h"

#include "AppInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <iterator>

namespace {

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

bool copyResource(const QString &resource, const QString &folder, const QString &fileName)
{
    QFile file(resource);
    return file.open(QIODevice::ReadOnly) && QDir().mkpath(folder) && writeFile(folder + fileName, file.readAll());
}

// Our icon at every size it is drawn at, in the user's part of the hicolor theme, which every
// icon lookup searches, so that each menu and launcher picks the size it shows instead of scaling
// one picture. The largest also lies unthemed in the icons folder, where lookups end on a system
// without that theme. Returns the name for the entry's Icon key, or nothing if no size was written.
QString installIcon(const QString &name)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    const QString icons = data + QStringLiteral("/icons/");
    bool written = false;
    for (const int size : AppInfo::kIconSizes) {
        const QString folder = icons + QStringLiteral("hicolor/%1x%1/apps/").arg(size);
        written = copyResource(AppInfo::iconResource(size), folder, name + QStringLiteral(".png")) || written;
    }
    copyResource(AppInfo::iconResource(std::end(AppInfo::kIconSizes)[-1]), icons, name + QStringLiteral(".png"));
    return written ? name : QString();
}
} // namespace

namespace StartMenuEntry {

void write(const QString &folder, const QString &name, const QString &description, const QString &target)
{
    const QString entryPath = folder + name + QStringLiteral(".desktop");
    removeEntry(entryPath);

    // Earlier versions put one picture beside the entry; the icon theme holds it now.
    removeEntry(folder + name + QStringLiteral(".png"));
    const QString icon = installIcon(name);

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
