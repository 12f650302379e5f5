#pragma once
// The gallery folder under the data folder holds a copy of every chosen media
// file, named by the item's key. Saving an item copies its file there first: an
// item is never stored pointing at a copy that was not made.
#include <QString>

namespace quoteria {

class MediaStore;

// The key followed by the last four characters of the chosen path: a.jpg as
// item 12 gives 12.jpg, a.jpeg as item 13 gives 13jpeg.
QString galleryName(qint64 key, const QString& chosenPath);
QString galleryFolder(const QString& dataFolder);
QString galleryPath(const QString& dataFolder, qint64 key, const QString& chosenPath);
// Ends in jpg, png, bmp or gif, in any letter case.
bool isPictureFile(const QString& path);
// A copy of `from` under a temporary name in folder (made when missing): the slow
// part of a copy, safe to run off the window thread. Empty with the system's error
// text on failure. The caller places or removes it.
QString stageCopy(const QString& from, const QString& folder, QString* error);
// Moves a staged copy to `to` in one step, replacing any file there.
bool placeCopy(const QString& staged, const QString& to, QString* error);
// Replaces `to` with a copy of `from` in one step. False with the system's
// error text on failure; `to` is then as it was.
bool copyFileOver(const QString& from, const QString& to, QString* error);

// What the item editor holds.
struct MediaEdit {
    qint64 key = 0;     // 0 for a new item
    QString chosenPath; // the file in the editor
    QString loadedPath; // the item's file when it was loaded; empty for a new one
    QString description;
    bool active = false;
    QString type;
    bool fullScreen = false;
};

// Whether saving the edit copies its file: always for a new item; for a stored
// one when the file is new or changed, or when the copy the item will point at
// is missing.
bool copyIsDue(const QString& dataFolder, const MediaEdit& edit);

// Adds or overwrites the item after copying its file into the gallery (when due).
// A new video keeps pointing at the chosen file; everything else points at its
// gallery copy. staged: the chosen file staged ahead in the gallery folder, used
// instead of copying now; the caller removes it if it is left over. A failed
// copy stores nothing. Returns the key, or -1 with error set.
qint64 saveMediaItem(MediaStore& store, const QString& dataFolder, const MediaEdit& edit,
                     QString* error = nullptr, const QString& staged = QString());

} // namespace quoteria
