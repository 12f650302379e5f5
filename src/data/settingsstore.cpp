#include "data/settingsstore.h"

#include "data/formats.h"
#include "data/messageservice.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace quoteria {

namespace {
// QSettings groups would treat "/" as nesting and INI keys are case-sensitive on
// Linux; fold everything to one lower-case, slash-free key.
QString flatKey(const QString& section, const QString& key) {
    QString s = section.toLower() + QLatin1Char('/') + key.toLower();
    return s;
}
} // namespace

SettingsStore::SettingsStore(const QString& folder)
    : m_folder(folder.isEmpty() ? configFolder() : folder) {}

QString SettingsStore::configFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/quoteria");
}

QString SettingsStore::fileFor(const QString& app) const {
    QString name = app.toLower();
    name.replace(QRegularExpression(QStringLiteral("[^a-z0-9_-]")), QStringLiteral("_"));
    return m_folder + QLatin1Char('/') + name + QLatin1String(".ini");
}

QString SettingsStore::read(const QString& app, const QString& section, const QString& key,
                            const QString& defaultValue) const {
    QSettings s(fileFor(app), QSettings::IniFormat);
    const QVariant v = s.value(flatKey(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

double SettingsStore::readNumber(const QString& app, const QString& section, const QString& key,
                                 double defaultValue) const {
    QSettings s(fileFor(app), QSettings::IniFormat);
    const QVariant v = s.value(flatKey(section, key));
    return v.isValid() ? vbVal(v.toString()) : defaultValue;
}

int SettingsStore::readInt(const QString& app, const QString& section, const QString& key,
                           int defaultValue) const {
    return int(qRound64(readNumber(app, section, key, defaultValue)));
}

bool SettingsStore::write(const QString& app, const QString& section, const QString& key,
                          const QString& value) {
    QDir().mkpath(m_folder);
    // QSettings writes through a temporary file and renames it, so a crash mid-write
    // leaves the previous file intact.
    const QString file = fileFor(app);
    {
        // An unreadable file would block every later write; keep it aside and start afresh.
        QSettings probe(file, QSettings::IniFormat);
        probe.allKeys();
        if (probe.status() == QSettings::FormatError) {
            const QString aside = file + QLatin1String(".bad");
            QFile::remove(aside);
            QFile::rename(file, aside);
            logLine(QStringLiteral("settings file %1 was unreadable; kept as %2").arg(file, aside));
        }
    }
    QSettings s(file, QSettings::IniFormat);
    s.setValue(flatKey(section, key), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool SettingsStore::write(const QString& app, const QString& section, const QString& key,
                          double value) {
    return write(app, section, key, QString::number(float(value), 'g', 7));
}

bool SettingsStore::write(const QString& app, const QString& section, const QString& key,
                          int value) {
    return write(app, section, key, QString::number(value));
}

namespace {
QString l1(const char* s) {
    return QString::fromLatin1(s);
}
} // namespace

QString SettingsStore::get(const TextSetting& s) const {
    return get(s, l1(s.def));
}
QString SettingsStore::get(const TextSetting& s, const QString& def) const {
    return read(l1(s.at.app), l1(s.at.section), l1(s.at.key), def);
}
int SettingsStore::get(const IntSetting& s) const {
    return get(s, s.def);
}
int SettingsStore::get(const IntSetting& s, int def) const {
    return readInt(l1(s.at.app), l1(s.at.section), l1(s.at.key), def);
}
double SettingsStore::get(const RealSetting& s) const {
    return readNumber(l1(s.at.app), l1(s.at.section), l1(s.at.key), s.def);
}
bool SettingsStore::get(const FlagSetting& s) const {
    return readNumber(l1(s.at.app), l1(s.at.section), l1(s.at.key), s.def ? 1 : 0) != 0;
}
bool SettingsStore::get(const TextFlagSetting& s) const {
    return read(l1(s.at.app), l1(s.at.section), l1(s.at.key),
                s.def ? QStringLiteral("1") : QStringLiteral("0")) == QLatin1String("1");
}
bool SettingsStore::set(const TextSetting& s, const QString& value) {
    return write(l1(s.at.app), l1(s.at.section), l1(s.at.key), value);
}
bool SettingsStore::set(const IntSetting& s, int value) {
    return write(l1(s.at.app), l1(s.at.section), l1(s.at.key), value);
}
bool SettingsStore::set(const RealSetting& s, double value) {
    return write(l1(s.at.app), l1(s.at.section), l1(s.at.key), value);
}
bool SettingsStore::set(const FlagSetting& s, bool on) {
    return write(l1(s.at.app), l1(s.at.section), l1(s.at.key), on ? 1 : 0);
}
bool SettingsStore::set(const TextFlagSetting& s, bool on) {
    return write(l1(s.at.app), l1(s.at.section), l1(s.at.key),
                 on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace quoteria
