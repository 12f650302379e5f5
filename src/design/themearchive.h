#pragma once
// A theme carried from one counter to another: one zip file holding theme.json
// and the pictures the theme shows. theme.json is an object with "format"
// ("quoteria-theme"), "version" (1) and one object per row of the theme, by
// column name: "theme" (required), "layout", "header" and "ticker" (when the
// theme has them). Keys are never carried: the importing database gives new ones.
// In the archive a picture column (logo, BGimage, img1, img2, NBGimg, and the
// ticker's bullet) holds the name of its entry beside theme.json, or is empty
// when the theme shares no picture there. `video` is stored only, never shown, and
// `clockfile` names a face shipped with the program: both travel as they are.
//
// Imported pictures go to <data folder>/themes/<new theme key>/, one folder per
// theme; the rows point at those copies.
#include "data/themestore.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

namespace quoteria {

class ThemeArchive {
public:
    static constexpr int kVersion = 1;
    static constexpr const char* kDocument = "theme.json";

    struct PictureColumn {
        ThemeRows::Part part;
        const char* column;
    };
    static const PictureColumn kPictureColumns[6];

    // Picture columns hold entry names.
    ThemeRows rows;
    // Entry name -> the file's bytes.
    QMap<QString, QByteArray> pictures;

    // Reads and checks a whole archive, pictures decoded, before anything is
    // written anywhere. Nothing, with error set, on the first fault.
    static std::optional<ThemeArchive> read(QIODevice* device, QString* error);
    static std::optional<ThemeArchive> read(const QString& file, QString* error);
    // Writes the archive through a temporary file renamed over `file` at the end, so
    // a failure leaves no partial file.
    bool write(const QString& file, QString* error) const;

    // Empty when data is a picture of a size the board can show; else why not.
    static QString pictureFault(const QByteArray& data, QByteArray* format = nullptr);
};

// --export-theme: the theme named `name` (matched as the panel matches) with its
// pictures into `file`. A picture that cannot be read is reported, one message
// each, left out and its column emptied. False, reported, when the theme does not
// exist or the file cannot be written.
bool exportTheme(Database& db, const QString& name, const QString& file,
                 QStringList* leftOut = nullptr);

struct ImportedTheme {
    qint64 key = 0; // 0: refused, reported, nothing changed
    QString name;
    QString folder; // where its pictures were put; empty when it has none
};

// --import-theme: adds the theme in `file` to the database under a free name, its
// pictures copied under dataFolder. A damaged file is refused before anything is
// written; any later failure leaves neither rows nor files.
ImportedTheme importTheme(ThemeStore& themes, const QString& dataFolder, const QString& file);

} // namespace quoteria
