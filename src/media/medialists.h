#pragma once
// Readers of the four lists the slideshow and banner players take their files
// from. They read what our writers produce and what an operator may have edited by
// hand: the text lists carry their values unescaped (an apostrophe or '&' in a name
// is common), so those are scanned leniently rather than parsed as strict XML. A
// broken or empty entry is left out with one log line; nothing here fails hard.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>

namespace quoteria {

enum class MediaListKind { Album, Props, Slides, Banners };

struct MediaListEntry {
    QString file;    // as the list names it (relative names use '\' or '/')
    QString caption; // the album's artist text; empty for the other lists
};

using MediaLog = std::function<void(const QString&)>;

// The entries of a list's bytes, in file order. log gets one line per skipped
// entry or damaged list (the program's log when empty).
QVector<MediaListEntry> readMediaList(MediaListKind kind, const QByteArray& bytes,
                                      const MediaLog& log = {});
// The same from a file; a missing or unreadable file gives no entries and one line.
QVector<MediaListEntry> readMediaListFile(MediaListKind kind, const QString& path,
                                          const MediaLog& log = {});

// Where an entry's file lies: every list names its files relative to its own folder
// (the album and props lists sit in the gallery, the slide and banner lists above
// it and say "gallery\..."). Absolute names are kept.
QString resolveMediaEntry(const QString& listPath, const QString& file);

} // namespace quoteria
