#include "Shortcut.h"

#include "FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include "SystemFolders_win.h"
#endif

namespace DesktopEntry {

QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u' ':
            // Readers trim spaces after "="; a leading one must be escaped to survive.
            out += i == 0 ? QStringLiteral("\\s") : QStringLiteral(" ");
            break;
        default: out += c;
        }
    }
    return out;
}

QString execArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        switch (c.unicode()) {
        case u'"': case u'`': case u'$': case u'\\':
            quoted += u'\\';
            quoted += c;
            break;
        case u'%':
            quoted += QStringLiteral("%%");
            break;
        default:
            quoted += c;
        }
    }
    quoted += u'"';
    // The string escapes apply before the quoting rules: "\\$" in the file is "\$" to the quoting.
    return escapeValue(quoted);
}

bool unfitAsExecProgram(const QString &program)
{
    return program.contains(u'%') || program.contains(u'=');
}

QByteArray compose(const Fields &f)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.4\n");
    text += QStringLiteral("Name=") + escapeValue(f.name) + u'\n';
    text += QStringLiteral("Comment=") + escapeValue(f.comment) + u'\n';
    // Menus hide the entry while the program is gone (moved or deleted with its folder).
    text += QStringLiteral("TryExec=") + escapeValue(f.program) + u'\n';
    text += QStringLiteral("Exec=") + execArgument(f.program) + u'\n';
    text += QStringLiteral("Path=") + escapeValue(f.path) + u'\n';
    if (!f.icon.isEmpty())
        text += QStringLiteral("Icon=") + escapeValue(f.icon) + u'\n';
    text += QStringLiteral("Terminal=false\n"
                           "Categories=Education;\n");
    if (!f.wmClass.isEmpty())
        text += QStringLiteral("StartupWMClass=") + escapeValue(f.wmClass) + u'\n';
    return text.toUtf8();
}

} // namespace DesktopEntry

namespace Module1 {

#ifndef Q_OS_WIN
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
#endif

void MakeShortcut(const QString &name, const QString &description, const QString &target,
                  QString &folder)
{
    // Nowhere to put it: writing at the root instead would scatter files where they do not belong.
    if (folder.isEmpty())
        return;
    const QChar sep = pathSeparator();
    if (!folder.endsWith(sep))
        folder += sep;

#ifdef Q_OS_WIN
    Win32Shell::writeShortcut(QString(folder + name + QStringLiteral(".lnk")).toStdWString(),
                              QDir::toNativeSeparators(target).toStdWString(),
                              description.toStdWString(), folder.toStdWString());
#else
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
#endif
}

} // namespace Module1
