#include "Settings.h"

#include "shell/AppInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kSection = QStringLiteral("设置");
}

Settings::Settings(const QString &iniPath)
{
    if (iniPath.isEmpty()) {
#ifdef Q_OS_WIN
        m_settings = std::make_unique<QSettings>(
            QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + AppInfo::title(),
            QSettings::NativeFormat);
#else
        m_settings = std::make_unique<QSettings>(defaultIniPath(), QSettings::IniFormat);
#endif
    } else {
        m_settings = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    }
}

Settings::~Settings() = default;

QString Settings::defaultIniPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(AppInfo::title() + QStringLiteral(".conf"));
}

QString Settings::value(const QString &key, const QString &fallback) const
{
    return m_settings->value(kSection + u'/' + key, fallback).toString();
}

void Settings::setValue(const QString &key, const QString &value)
{
    m_settings->setValue(kSection + u'/' + key, value);
    m_written.insert(key, value);
}

bool Settings::storedValuesReadBack() const
{
    // A fresh reader of the same store, as the next start will read it.
    QSettings check(m_settings->fileName(), m_settings->format());
    for (auto it = m_written.cbegin(); it != m_written.cend(); ++it) {
        if (check.value(kSection + u'/' + it.key()).toString() != it.value())
            return false;
    }
    return true;
}

bool Settings::sync(QString *error)
{
    if (m_settings->format() == QSettings::IniFormat) {
        // QSettings does not create a missing configuration folder on its own.
        QDir().mkpath(QFileInfo(m_settings->fileName()).absolutePath());
    }
    m_settings->sync();
    switch (m_settings->status()) {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        *error = QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(m_settings->fileName()));
        return false;
    case QSettings::FormatError:
        // Also reported when the old file was garbage and has just been replaced by a good one:
        // only a store that does not give our values back has really failed.
        if (storedValuesReadBack())
            return true;
        *error = QStringLiteral("“%1”的格式有误").arg(QDir::toNativeSeparators(m_settings->fileName()));
        return false;
    }
    return true;
}
