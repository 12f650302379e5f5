#include "media/medialists.h"

#include "data/messageservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace quoteria {

namespace {

const char* listName(MediaListKind kind) {
    switch (kind) {
    case MediaListKind::Album:
        return "album list";
    case MediaListKind::Props:
        return "slideshow list";
    case MediaListKind::Slides:
        return "slide list";
    case MediaListKind::Banners:
        return "banner list";
    }
    return "media list";
}

// Our writers write UTF-8; lists left by older installs are in an 8-bit code page.
QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// The five named entities, for lists saved by an XML-aware editor.
QString unescape(QString v) {
    if (!v.contains(QLatin1Char('&')))
        return v;
    v.replace(QLatin1String("&lt;"), QLatin1String("<"));
    v.replace(QLatin1String("&gt;"), QLatin1String(">"));
    v.replace(QLatin1String("&quot;"), QLatin1String("\""));
    v.replace(QLatin1String("&apos;"), QLatin1String("'"));
    v.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return v;
}

bool isSpace(QChar c) {
    return c.isSpace();
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char(':') ||
           c == QLatin1Char('-') || c == QLatin1Char('.');
}

// True when what follows a closing quote at i ends the value: the tag's end or the
// next attribute. A quote inside an unescaped name is followed by neither.
bool endsValue(const QString& t, int i, int limit) {
    int j = i + 1;
    while (j < limit && isSpace(t.at(j)))
        ++j;
    if (j >= limit)
        return true;
    const QChar c = t.at(j);
    if (c == QLatin1Char('>') || (c == QLatin1Char('/') && j + 1 < limit && t.at(j + 1) == QLatin1Char('>')))
        return true;
    if (j == i + 1 || !(c.isLetter() || c == QLatin1Char('_')))
        return false;
    while (j < limit && isNameChar(t.at(j)))
        ++j;
    while (j < limit && isSpace(t.at(j)))
        ++j;
    return j < limit && t.at(j) == QLatin1Char('=');
}

// One element as the lenient scanner sees it.
struct Tag {
    QVector<QPair<QString, QString>> attributes;
    QString content; // text up to the next '<' when the tag is not self-closed
    bool complete = false;

    QString attribute(const QString& name, bool* found) const {
        for (const auto& a : attributes)
            if (a.first.compare(name, Qt::CaseInsensitive) == 0) {
                *found = true;
                return a.second;
            }
        *found = false;
        return {};
    }
};

// Every element called name, in order. A value ends at the first quote that is
// followed by the tag's end or another attribute; no value runs past the next '<'
// (which no file name holds), so damage stays inside its own element.
QVector<Tag> scanTags(const QString& t, const QString& name) {
    QVector<Tag> out;
    const QString open = QLatin1Char('<') + name;
    int pos = 0;
    const int n = t.size();
    while ((pos = t.indexOf(open, pos, Qt::CaseInsensitive)) >= 0) {
        int i = pos + open.size();
        pos = i;
        if (i < n && !(isSpace(t.at(i)) || t.at(i) == QLatin1Char('/') || t.at(i) == QLatin1Char('>')))
            continue; // a longer element name
        int limit = t.indexOf(QLatin1Char('<'), i);
        if (limit < 0)
            limit = n;
        Tag tag;
        while (true) {
            while (i < limit && isSpace(t.at(i)))
                ++i;
            if (i >= limit)
                break;
            if (t.at(i) == QLatin1Char('>')) {
                tag.complete = true;
                tag.content = unescape(t.mid(i + 1, limit - i - 1).trimmed());
                i = limit;
                break;
            }
            if (t.at(i) == QLatin1Char('/') && i + 1 < limit && t.at(i + 1) == QLatin1Char('>')) {
                tag.complete = true;
                i += 2;
                break;
            }
            const int nameStart = i;
            while (i < limit && isNameChar(t.at(i)))
                ++i;
            if (i == nameStart)
                break; // not an attribute: the element is damaged
            const QString attr = t.mid(nameStart, i - nameStart);
            while (i < limit && isSpace(t.at(i)))
                ++i;
            if (i >= limit || t.at(i) != QLatin1Char('='))
                break;
            ++i;
            while (i < limit && isSpace(t.at(i)))
                ++i;
            if (i >= limit)
                break;
            const QChar q = t.at(i);
            int end = -1;
            if (q == QLatin1Char('\'') || q == QLatin1Char('"')) {
                for (int k = i + 1; k < limit; ++k)
                    if (t.at(k) == q && endsValue(t, k, limit)) {
                        end = k;
                        break;
                    }
                if (end < 0)
                    break;
                tag.attributes.append({attr, unescape(t.mid(i + 1, end - i - 1))});
                i = end + 1;
            } else {
                end = i;
                while (end < limit && !isSpace(t.at(end)) && t.at(end) != QLatin1Char('>') &&
                       t.at(end) != QLatin1Char('/'))
                    ++end;
                tag.attributes.append({attr, unescape(t.mid(i, end - i))});
                i = end;
            }
        }
        out.append(tag);
        pos = qMax(pos, i);
    }
    return out;
}

QVector<MediaListEntry> readAlbum(const QByteArray& bytes, const MediaLog& log) {
    QVector<MediaListEntry> out;
    QXmlStreamReader r(bytes);
    int number = 0;
    while (!r.atEnd()) {
        // Entries are found at any depth, so a list wrapped or renamed by hand still reads.
        if (r.readNext() != QXmlStreamReader::StartElement ||
            r.name() != QLatin1String("albuminfo"))
            continue;
        ++number;
        MediaListEntry e;
        bool located = false;
        while (r.readNextStartElement()) {
            if (r.name() == QLatin1String("artLocation")) {
                e.file = r.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                located = true;
            } else if (r.name() == QLatin1String("artist")) {
                e.caption = r.readElementText(QXmlStreamReader::SkipChildElements);
            } else {
                r.skipCurrentElement();
            }
        }
        if (r.hasError())
            break;
        if (!located || e.file.isEmpty())
            log(QStringLiteral("album list: entry %1 names no picture, left out").arg(number));
        else
            out.append(e);
    }
    if (r.hasError() && r.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        log(QStringLiteral("album list: damaged at line %1 (%2); %3 entries read")
                .arg(r.lineNumber())
                .arg(r.errorString())
                .arg(out.size()));
    else if (r.hasError() && number > 0)
        log(QStringLiteral("album list: cut short; %1 entries read").arg(out.size()));
    return out;
}

QVector<MediaListEntry> readScanned(MediaListKind kind, const QByteArray& bytes,
                                    const MediaLog& log) {
    const QString text = decodeText(bytes);
    const QString element = kind == MediaListKind::Props    ? QStringLiteral("item")
                            : kind == MediaListKind::Slides ? QStringLiteral("image")
                                                            : QStringLiteral("anuncio");
    const QString attribute = kind == MediaListKind::Props    ? QStringLiteral("contentPath")
                              : kind == MediaListKind::Slides ? QStringLiteral("src")
                                                              : QString();
    QVector<MediaListEntry> out;
    const QVector<Tag> tags = scanTags(text, element);
    for (int i = 0; i < tags.size(); ++i) {
        bool found = attribute.isEmpty();
        const QString file = attribute.isEmpty() ? tags[i].content
                                                 : tags[i].attribute(attribute, &found).trimmed();
        if (!tags[i].complete || !found || file.isEmpty()) {
            log(QStringLiteral("%1: entry %2 names no file, left out")
                    .arg(QLatin1String(listName(kind)))
                    .arg(i + 1));
            continue;
        }
        out.append({file, QString()});
    }
    return out;
}

} // namespace

QVector<MediaListEntry> readMediaList(MediaListKind kind, const QByteArray& bytes,
                                      const MediaLog& log) {
    const MediaLog sink = log ? log : MediaLog(&logLine);
    if (kind == MediaListKind::Album)
        return readAlbum(bytes, sink);
    return readScanned(kind, bytes, sink);
}

QVector<MediaListEntry> readMediaListFile(MediaListKind kind, const QString& path,
                                          const MediaLog& log) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        (log ? log : MediaLog(&logLine))(QStringLiteral("%1 %2 cannot be read: %3")
                                             .arg(QLatin1String(listName(kind)), path,
                                                  f.errorString()));
        return {};
    }
    return readMediaList(kind, f.readAll(), log);
}

QString resolveMediaEntry(const QString& listPath, const QString& file) {
    QString f = file;
    f.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(f) || (f.size() > 2 && f.at(1) == QLatin1Char(':')))
        return f;
    return QDir::cleanPath(QFileInfo(listPath).absolutePath() + QLatin1Char('/') + f);
}

} // namespace quoteria
