#pragma once
// The media items of the board's media zone (tblVideo): videos, pictures and
// Flash movies. One store for the process; it announces every write it commits.
#include "data/database.h" // callers hand in the local Database as a Connection

#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

namespace quoteria {

class DataEvents;

struct MediaItem {
    qint64 key = 0;
    QString fileName; // full path of the media file
    QString description;
    bool active = true;
    QString type = QStringLiteral("Picture"); // "Video", "Picture" or "Flash"
    bool fullScreen = false;
};

class MediaStore : public QObject {
    Q_OBJECT
public:
    // tblVideo as the schema spells it.
    struct Video {
        static const QString table, key, fileName, description, active, type, fullScreen;
    };
    static const QString kVideo, kPicture, kFlash;

    explicit MediaStore(Connection& db, DataEvents* events = nullptr, QObject* parent = nullptr);

    // Every item, by type and then key, as the media list shows them.
    QVector<MediaItem> all(bool* ok = nullptr);
    // The active items of one type in key order: the video queue, the pictures of
    // the slideshows, the banners. ok is false when the table cannot be read.
    QVector<MediaItem> active(const QString& type, bool* ok = nullptr);
    std::optional<MediaItem> load(qint64 key);

    // Adds the item. finish, when given, runs inside the same transaction with the
    // new key set in the item: it may change the item (its file name, which is made
    // from the key) or refuse with an error, and then nothing is kept.
    // Returns the new key, -1 with error set on failure.
    qint64 add(const MediaItem& item, const std::function<bool(MediaItem&, QString*)>& finish = {},
               QString* error = nullptr);
    // Overwrites the row with the item's key. False with error set when the row is
    // gone or the write fails.
    bool update(const MediaItem& item, QString* error = nullptr);
    bool remove(qint64 key);

Q_SIGNALS:
    // tblVideo rows were written.
    void mediaChanged();

private:
    Connection& m_db;
};

} // namespace quoteria
