#pragma once
// Per-user preferences: application / section / key, all case-insensitive.
// One INI file per application name in the user's configuration folder.
#include <QString>

namespace quoteria {

class SettingsStore {
public:
    // folder: where the files live; empty means <config>/quoteria.
    explicit SettingsStore(const QString& folder = QString());

    QString read(const QString& app, const QString& section, const QString& key,
                 const QString& defaultValue = QString()) const;
    // Plain numeric conversion of the stored text (see vbVal); the default when missing.
    double readNumber(const QString& app, const QString& section, const QString& key,
                      double defaultValue) const;
    int readInt(const QString& app, const QString& section, const QString& key,
                int defaultValue) const;
    // Returns false when the file could not be written.
    bool write(const QString& app, const QString& section, const QString& key,
               const QString& value);
    bool write(const QString& app, const QString& section, const QString& key, double value);
    bool write(const QString& app, const QString& section, const QString& key, int value);

    QString folder() const { return m_folder; }
    QString fileFor(const QString& app) const;

    // The user's configuration folder for this program (XDG_CONFIG_HOME honoured).
    static QString configFolder();

private:
    QString m_folder;
};

} // namespace quoteria
