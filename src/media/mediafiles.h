#pragma once
// The lists the slideshow and banner players read, rebuilt from the active media
// items each time they are written. All four go under the data folder, beside the
// gallery copies they name. Each file is replaced whole or left as it was.
#include <QString>

namespace quoteria {

class MediaStore;

// The text after the last separator ('\' or '/'); the whole value when it has none.
QString getFileName(const QString& path);

namespace mediafiles {
// Where each list lives under a data folder.
QString albumPath(const QString& folder);   // gallery/albuminfo.xml
QString propsPath(const QString& folder);   // gallery/props.xml
QString slidesPath(const QString& folder);  // slideshow-data.xml
QString bannersPath(const QString& folder); // banners.xml
} // namespace mediafiles

// The album of the active pictures (artworkinfo/albuminfo). With no active picture
// nothing is written and an earlier file stays. False with error when the items
// cannot be read or the file cannot be written.
bool createXML(MediaStore& store, const QString& folder, QString* error = nullptr);
// The component slideshow's list of the active pictures, one CR LF ended line,
// values unescaped.
bool createTXT(MediaStore& store, const QString& folder, QString* error = nullptr);
// The slide list of the active pictures, one CR LF ended line, values unescaped.
bool createTXT1(MediaStore& store, const QString& folder, QString* error = nullptr);
// The banner list of the active Flash items, one CR LF ended line each. Written
// even when the items cannot be read (then without entries); false only says so.
bool createXML2(MediaStore& store, const QString& folder, QString* error = nullptr);

} // namespace quoteria
