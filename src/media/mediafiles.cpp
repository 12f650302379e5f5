#include "media/mediafiles.h"

#include "data/helpers.h"
#include "data/mediastore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace quoteria {

namespace {

const QByteArray kCrLf("\r\n");

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

// Replaces the file in one step, so a player never reads half a list.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setError(error, QStringLiteral("Cannot create the folder of %1").arg(path));
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        setError(error, QStringLiteral("Cannot write %1: %2").arg(path, f.errorString()));
        return false;
    }
    return true;
}

// The active items of a type, or false with the reason.
bool activeItems(MediaStore& store, const QString& type, QVector<MediaItem>& items,
                 QString* error) {
    bool ok = false;
    items = store.active(type, &ok);
    if (!ok)
        setError(error, QStringLiteral("The media items cannot be read."));
    return ok;
}

QByteArray albumBytes(const QVector<MediaItem>& pictures) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartElement(QStringLiteral("artworkinfo"));
    for (const MediaItem& m : pictures) {
        w.writeStartElement(QStringLiteral("albuminfo"));
        w.writeTextElement(QStringLiteral("artLocation"), fileNameOf(m.fileName));
        w.writeTextElement(QStringLiteral("artist"), m.description);
        w.writeTextElement(QStringLiteral("albumName"), QStringLiteral("."));
        w.writeTextElement(QStringLiteral("artistLink"), QStringLiteral("#"));
        w.writeTextElement(QStringLiteral("albumLink"), QStringLiteral("#"));
        w.writeEndElement();
    }
    w.writeEndDocument();
    return out;
}

// One line of the active pictures: head, an entry per picture with its file name
// in place of %1 (inserted as it is, unescaped), tail, CR LF.
bool writePictureLine(MediaStore& store, const QString& path, const QString& head,
                      const QString& entry, const QString& tail, QString* error) {
    QVector<MediaItem> pictures;
    if (!activeItems(store, MediaStore::kPicture, pictures, error))
        return false;
    QString line = head;
    for (const MediaItem& m : pictures)
        line += QString(entry).replace(QLatin1String("%1"), getFileName(m.fileName));
    line += tail;
    return replaceFile(path, line.toUtf8() + kCrLf, error);
}

} // namespace

QString getFileName(const QString& path) {
    const int i = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(i + 1);
}

namespace mediafiles {
QString albumPath(const QString& folder) {
    return folder + QStringLiteral("/gallery/albuminfo.xml");
}
QString propsPath(const QString& folder) {
    return folder + QStringLiteral("/gallery/props.xml");
}
QString slidesPath(const QString& folder) {
    return folder + QStringLiteral("/slideshow-data.xml");
}
QString bannersPath(const QString& folder) {
    return folder + QStringLiteral("/banners.xml");
}
} // namespace mediafiles

bool createXML(MediaStore& store, const QString& folder, QString* error) {
    QVector<MediaItem> pictures;
    if (!activeItems(store, MediaStore::kPicture, pictures, error))
        return false;
    // An empty album is never written: the player keeps showing the last one.
    if (pictures.isEmpty())
        return true;
    return replaceFile(mediafiles::albumPath(folder), albumBytes(pictures), error);
}

bool createTXT(MediaStore& store, const QString& folder, QString* error) {
    return writePictureLine(store, mediafiles::propsPath(folder),
                            QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>"
                                           "<component name='XMLSlideShowV3'><data>"),
                            QStringLiteral("<item itemEvents='true' contentPath='%1' />"),
                            QStringLiteral("</data></component>"), error);
}

bool createTXT1(MediaStore& store, const QString& folder, QString* error) {
    return writePictureLine(store, mediafiles::slidesPath(folder),
                            QStringLiteral("<?xml version='1.0' encoding='UTF-8'?><slideshow>"),
                            QStringLiteral("<image src=\"gallery\\%1\" desc=\" \"/>"),
                            QStringLiteral("</slideshow>"), error);
}

bool createXML2(MediaStore& store, const QString& folder, QString* error) {
    QVector<MediaItem> banners;
    // The list is written either way: without entries when they cannot be read.
    const bool read = activeItems(store, MediaStore::kFlash, banners, error);
    QByteArray bytes = "<banner>" + kCrLf;
    for (const MediaItem& m : banners)
        bytes += (QStringLiteral("<anuncio descricao=\" link=\">gallery\\") +
                  fileNameOf(m.fileName) + QStringLiteral("</anuncio>"))
                     .toUtf8() +
                 kCrLf;
    bytes += "</banner>" + kCrLf;
    return replaceFile(mediafiles::bannersPath(folder), bytes, error) && read;
}

} // namespace quoteria
