#include "panel/panelstate.h"

#include "board/boardlayout.h"

#include "data/database.h"
#include "data/formats.h"

#include <cmath>

namespace quoteria::panel {

std::optional<int> pageIntervalFor(const QString& text) {
    if (!isNumeric(text))
        return std::nullopt;
    const double seconds = vbVal(text);
    if (seconds > kMaxInterval || seconds < kMinInterval)
        return std::nullopt;
    return int(std::lround(seconds * 1000));
}

bool ratioAccepted(const QString& text) {
    return isNumeric(text) && vbVal(text) <= kMaxInterval;
}

int storedEdgeToPixels(double twips, int twipsPerPixel) {
    if (twips < 0 || twipsPerPixel <= 0)
        return 0;
    return int(std::lround(twips / twipsPerPixel));
}

ThemeCheck checkTheme(Database& db, qint64 themeKey) {
    if (!db.fetchOne(QStringLiteral("select * from tblpos where themeauto=? limit 1"), {themeKey}))
        return ThemeCheck::NoLayout;
    if (!db.fetchOne(QStringLiteral("select * from tblheader where themeauto=? limit 1"),
                     {themeKey}))
        return ThemeCheck::NoHeader;
    return ThemeCheck::Ready;
}

QString themeCheckMessage(ThemeCheck check) {
    switch (check) {
    case ThemeCheck::NoLayout:
        return QStringLiteral("Please Define the position and try again");
    case ThemeCheck::NoHeader:
        return QStringLiteral("Please Define the header details ");
    case ThemeCheck::Ready:
        break;
    }
    return QString();
}

std::optional<QString> lastUpdatedText(Database& db) {
    const auto row = db.fetchOne(
        QStringLiteral("select updateTime from tblCurr order by updateTime desc limit 1"));
    if (!row)
        return std::nullopt;
    return QStringLiteral("Last updated : ") + row->value(0).toString();
}

int previewSpeed(int tickerSpeed) {
    return previewTickerStep(tickerSpeed);
}

} // namespace quoteria::panel
