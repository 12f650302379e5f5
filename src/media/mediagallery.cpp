#include "media/mediagallery.h"

#include "data/mediastore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace quoteria {

namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

bool samePath(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// Puts the chosen file at its gallery path: the copy staged ahead when there is
// one, else a copy made now.
bool copyInto(const QString& chosen, const QString& gallery, const QString& staged,
              QString* error) {
    if (samePath(chosen, gallery))
        return true;
    return staged.isEmpty() ? copyFileOver(chosen, gallery, error)
                            : placeCopy(staged, gallery, error);
}

} // namespace

QString galleryName(qint64 key, const QString& chosenPath) {
    return QString::number(key) + chosenPath.right(4);
}

QString galleryFolder(const QString& dataFolder) {
    return dataFolder + QStringLiteral("/gallery");
}

QString galleryPath(const QString& dataFolder, qint64 key, const QString& chosenPath) {
    return galleryFolder(dataFolder) + QLatin1Char('/') + galleryName(key, chosenPath);
}

bool isPictureFile(const QString& path) {
    const QString end = path.right(3).toLower();
    return end == QLatin1String("jpg") || end == QLatin1String("png") ||
           end == QLatin1String("bmp") || end == QLatin1String("gif");
}

QString stageCopy(const QString& from, const QString& folder, QString* error) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, from + QStringLiteral(": ") + in.errorString());
        return {};
    }
    if (!QDir().mkpath(folder)) {
        setError(error, folder + QStringLiteral(": cannot create the folder"));
        return {};
    }
    QTemporaryFile out(folder + QStringLiteral("/.copy-XXXXXX"));
    if (!out.open()) {
        setError(error, folder + QStringLiteral(": ") + out.errorString());
        return {};
    }
    // Videos can be large: a block at a time.
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0) {
            setError(error, from + QStringLiteral(": ") + in.errorString());
            return {};
        }
        if (n == 0)
            break;
        if (out.write(block.constData(), n) != n) {
            setError(error, folder + QStringLiteral(": ") + out.errorString());
            return {};
        }
    }
    if (!out.flush()) {
        setError(error, folder + QStringLiteral(": ") + out.errorString());
        return {};
    }
    out.setAutoRemove(false);
    return out.fileName();
}

bool placeCopy(const QString& staged, const QString& to, QString* error) {
    std::error_code ec;
    // One rename, replacing any earlier copy: a player never sees half a file.
    std::filesystem::rename(QFile::encodeName(staged).toStdString(),
                            QFile::encodeName(to).toStdString(), ec);
    if (ec) {
        setError(error, to + QStringLiteral(": ") + QString::fromLocal8Bit(ec.message().c_str()));
        return false;
    }
    return true;
}

bool copyFileOver(const QString& from, const QString& to, QString* error) {
    const QString staged = stageCopy(from, QFileInfo(to).absolutePath(), error);
    if (staged.isEmpty())
        return false;
    if (placeCopy(staged, to, error))
        return true;
    QFile::remove(staged);
    return false;
}

bool copyIsDue(const QString& dataFolder, const MediaEdit& edit) {
    if (edit.key <= 0)
        return true;
    const QString gallery = galleryPath(dataFolder, edit.key, edit.chosenPath);
    if (samePath(edit.chosenPath, gallery))
        return false;
    // An unchanged file is copied again when its copy is missing, as happens to
    // a video saved for the first time since it was added.
    return !samePath(edit.chosenPath, edit.loadedPath) || !QFileInfo::exists(gallery);
}

qint64 saveMediaItem(MediaStore& store, const QString& dataFolder, const MediaEdit& edit,
                     QString* error, const QString& staged) {
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
                if (!copyInto(edit.chosenPath, gallery, staged, why))
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
    if (copyIsDue(dataFolder, edit) && !copyInto(edit.chosenPath, gallery, staged, error))
        return -1;
    item.fileName = gallery;
    return store.update(item, error) ? edit.key : -1;
}

} // namespace quoteria
