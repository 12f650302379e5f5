#include "data/helpers.h"

#include "data/database.h"

#include <QFileInfo>
#include <QSqlRecord>

namespace quoteria {

namespace {
int lastSeparator(const QString& path) {
    return qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}
} // namespace

qint64 themeKeyOf(Connection& db, const QString& themeName) {
    if (themeName.isEmpty())
        return 0;
    // SQLite compares case only within A-Z, so the names are compared here.
    qint64 caseless = 0;
    for (const QSqlRecord& r : db.fetchAll(
             QStringLiteral("SELECT themeauto, themename FROM tbltheme ORDER BY themeauto"))) {
        if (r.value(1).isNull())
            continue;
        const QString name = r.value(1).toString();
        if (name == themeName)
            return r.value(0).toLongLong();
        if (caseless == 0 && name.compare(themeName, Qt::CaseInsensitive) == 0)
            caseless = r.value(0).toLongLong();
    }
    return caseless;
}

bool sameIgnoringCase(const QString& a, const QString& b) {
    // Upper-casing first expands letters such as ß the way stored names were written.
    return a.toUpper().toCaseFolded() == b.toUpper().toCaseFolded();
}

QString folderOf(const QString& path) {
    const int i = lastSeparator(path);
    // A separator in the first place gives nothing, as a 1-based position of 1 would.
    return i > 0 ? path.left(i + 1) : QString();
}

QString fileNameOf(const QString& path) {
    const int i = lastSeparator(path);
    return i < 0 ? QString() : path.mid(i + 1);
}

bool fileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile();
}

int countOccurrences(const QString& text, const QString& pattern, bool ignoreCase) {
    if (text.isEmpty() || pattern.isEmpty() || pattern.size() > text.size())
        return 0;
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    int n = 0;
    for (int i = 0; i + pattern.size() <= text.size(); ++i)
        if (QStringView(text).mid(i, pattern.size()).compare(pattern, cs) == 0)
            ++n;
    return n;
}

QString spellSql(const char* pattern, std::initializer_list<SqlName> names) {
    QString s = QString::fromLatin1(pattern);
    for (const auto& [mark, name] : names)
        s.replace(QLatin1String(mark), name);
    return s;
}

} // namespace quoteria
