#pragma once

#include <QHash>
#include <QString>

#include <memory>

class QSettings;

// The two drill settings, section "设置", keys "延时" and "次序", stored as the controls' texts.
// On Windows they live in the registry key earlier versions used, so existing users keep theirs;
// elsewhere in an ini file under the user's configuration folder.
class Settings
{
public:
    explicit Settings(const QString &iniPath);
    ~Settings();

    static QString defaultIniPath();

    QString value(const QString &key, const QString &fallback) const;
    void setValue(const QString &key, const QString &value);
    // Writes pending values; false with a reason when the store refused them.
    bool sync(QString *error);

private:
    bool storedValuesReadBack() const;

    std::unique_ptr<QSettings> m_settings;
    QHash<QString, QString> m_written;
};
