#pragma once
// Per-user preferences: application / section / key, all case-insensitive.
// One INI file per application name in the user's configuration folder.
#include "data/settingkeys.h"

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

    // Typed access to the settings of settingkeys.h; `def` overrides the listed
    // default where a reader has its own.
    QString get(const TextSetting& s) const;
    QString get(const TextSetting& s, const QString& def) const;
    int get(const IntSetting& s) const;
    int get(const IntSetting& s, int def) const;
    double get(const RealSetting& s) const;
    bool get(const FlagSetting& s) const;
    bool get(const TextFlagSetting& s) const;
    bool set(const TextSetting& s, const QString& value);
    bool set(const IntSetting& s, int value);
    bool set(const RealSetting& s, double value);
    bool set(const FlagSetting& s, bool on);
    bool set(const TextFlagSetting& s, bool on);

    QString folder() const { return m_folder; }
    QString fileFor(const QString& app) const;

    // The user's configuration folder for this program (XDG_CONFIG_HOME honoured).
    static QString configFolder();

private:
    QString m_folder;
};

} // namespace quoteria
