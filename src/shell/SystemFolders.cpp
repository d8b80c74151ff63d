#include "SystemFolders.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace Module1 {

namespace {
QString envPath(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    // The XDG base directory rules ignore relative paths.
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

QString withoutTrailingSeparator(QString path)
{
    if (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\')))
        path.chop(1);
    return path;
}
} // namespace

SystemFolders &systemFolders()
{
    static SystemFolders folders;
    return folders;
}

XdgEnvironment XdgEnvironment::fromProcess()
{
    XdgEnvironment env;
    env.home = QDir::homePath();
    env.dataHome = envPath("XDG_DATA_HOME", env.home + QStringLiteral("/.local/share"));
    env.configHome = envPath("XDG_CONFIG_HOME", env.home + QStringLiteral("/.config"));
    env.cacheHome = envPath("XDG_CACHE_HOME", env.home + QStringLiteral("/.cache"));
    env.tempDir = QDir::tempPath();
    return env;
}

QHash<QString, QString> parseUserDirs(const QString &text, const QString &home)
{
    // XDG_NAME_DIR="$HOME/sub" or XDG_NAME_DIR="/absolute"; the file is written by xdg-user-dirs.
    static const QRegularExpression line(
        QStringLiteral(R"re(^\s*XDG_([A-Z0-9_]+)_DIR\s*=\s*"((?:[^"\\]|\\.)*)"\s*$)re"));
    QHash<QString, QString> dirs;
    const QStringList lines = text.split(u'\n');
    for (const QString &l : lines) {
        const auto m = line.match(l);
        if (!m.hasMatch())
            continue;
        QString value = m.captured(2);
        value.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        if (value.startsWith(QStringLiteral("$HOME")))
            value = home + value.mid(5);
        else if (!value.startsWith(u'/'))
            continue;
        value = QDir::cleanPath(value);
        if (value == QDir::cleanPath(home))
            continue; // disabled
        dirs.insert(m.captured(1), value);
    }
    return dirs;
}

SystemFolders xdgSystemFolders(const XdgEnvironment &env)
{
    QString userDirsText;
    QFile file(env.configHome + QStringLiteral("/user-dirs.dirs"));
    if (file.open(QIODevice::ReadOnly))
        userDirsText = QString::fromUtf8(file.readAll());
    const QHash<QString, QString> user = parseUserDirs(userDirsText, env.home);

    SystemFolders f;
    // No Windows or system folder on a freedesktop system.
    f.TempDir = withoutTrailingSeparator(env.tempDir);
    // Without an entry the desktop is ~/Desktop, as xdg-user-dir says; other user folders are none.
    f.DesktopDir = user.value(QStringLiteral("DESKTOP"), env.home + QStringLiteral("/Desktop"));
    f.PersonalDir = user.value(QStringLiteral("DOCUMENTS"));
    f.ProgramsDir = env.dataHome + QStringLiteral("/applications");
    f.StartupDir = env.configHome + QStringLiteral("/autostart");
    f.StartMenuDir = env.dataHome + QStringLiteral("/applications");
    f.FontsDir = env.dataHome + QStringLiteral("/fonts");
    f.InternetCacheDir = env.cacheHome;
    f.TemplatesDir = user.value(QStringLiteral("TEMPLATES"));
    f.AppDataDir = env.dataHome;
    return f;
}

} // namespace Module1
