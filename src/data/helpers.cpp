#include "data/helpers.h"

#include "data/database.h"

#include <QFileInfo>

namespace quoteria {

namespace {
int lastSeparator(const QString& path) {
    return qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}
} // namespace

qint64 themeKeyOf(Connection& db, const QString& themeName) {
    const QVariant v = db.scalar(
        QStringLiteral(
            "SELECT themeauto FROM tbltheme WHERE themename=? ORDER BY themeauto LIMIT 1"),
        {themeName});
    return v.isValid() ? v.toLongLong() : 0;
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

} // namespace quoteria
