#include "media/mediagallery.h"

#include "data/mediastore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quoteria {

namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

bool samePath(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// Copies chosen to its gallery path unless it is that copy already; needed says
// whether the copy is due at all.
bool copyIfDue(const QString& chosen, const QString& gallery, bool needed, QString* error) {
    if (!needed || samePath(chosen, gallery))
        return true;
    return copyFileOver(chosen, gallery, error);
}

} // namespace

QString galleryName(qint64 key, const QString& chosenPath) {
    return QString::number(key) + chosenPath.right(4);
}

QString galleryPath(const QString& dataFolder, qint64 key, const QString& chosenPath) {
    return dataFolder + QStringLiteral("/gallery/") + galleryName(key, chosenPath);
}

bool isPictureFile(const QString& path) {
    const QString end = path.right(3).toLower();
    return end == QLatin1String("jpg") || end == QLatin1String("png") ||
           end == QLatin1String("bmp") || end == QLatin1String("gif");
}

bool copyFileOver(const QString& from, const QString& to, QString* error) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, from + QStringLiteral(": ") + in.errorString());
        return false;
    }
    if (!QDir().mkpath(QFileInfo(to).absolutePath())) {
        setError(error,
                 QFileInfo(to).absolutePath() + QStringLiteral(": cannot create the folder"));
        return false;
    }
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly)) {
        setError(error, to + QStringLiteral(": ") + out.errorString());
        return false;
    }
    // Videos can be large: a block at a time.
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0) {
            setError(error, from + QStringLiteral(": ") + in.errorString());
            return false;
        }
        if (n == 0)
            break;
        if (out.write(block.constData(), n) != n) {
            setError(error, to + QStringLiteral(": ") + out.errorString());
            return false;
        }
    }
    if (!out.commit()) {
        setError(error, to + QStringLiteral(": ") + out.errorString());
        return false;
    }
    return true;
}

qint64 saveMediaItem(MediaStore& store, const QString& dataFolder, const MediaEdit& edit,
                     QString* error) {
    MediaItem item;
    item.key = edit.key;
    item.fileName = edit.chosenPath;
    item.description = edit.description;
    item.active = edit.active;
    item.type = edit.type;
    item.fullScreen = edit.fullScreen;

    if (edit.key <= 0) {
        // The copy is named by the key the row gets, so it is made inside the add.
        return store.add(
            item,
            [&](MediaItem& added, QString* why) {
                const QString gallery = galleryPath(dataFolder, added.key, edit.chosenPath);
                if (!copyIfDue(edit.chosenPath, gallery, true, why))
                    return false;
                if (added.type != MediaStore::kVideo)
                    added.fileName = gallery;
                return true;
            },
            error);
    }

    if (!store.load(edit.key)) {
        setError(error, QStringLiteral("This item has been deleted meanwhile; nothing was saved."));
        return -1;
    }
    const QString gallery = galleryPath(dataFolder, edit.key, edit.chosenPath);
    // An unchanged file is copied again when its copy is missing, as happens to
    // a video saved for the first time since it was added.
    const bool due = !samePath(edit.chosenPath, edit.loadedPath) || !QFileInfo::exists(gallery);
    if (!copyIfDue(edit.chosenPath, gallery, due, error))
        return -1;
    item.fileName = gallery;
    return store.update(item, error) ? edit.key : -1;
}

} // namespace quoteria
