#include "Shortcut.h"

#include "FileNames.h"

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

void MakeShortcut(const QString &name, const QString &description, const QString &target,
                  QString &folder)
{
    // Nowhere to put it: writing at the root instead would scatter files where they do not belong.
    if (folder.isEmpty())
        return;
    const QChar sep = pathSeparator();
    if (!folder.endsWith(sep))
        folder += sep;
    StartMenuEntry::write(folder, name, description, target);
}

} // namespace Module1
