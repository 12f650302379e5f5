#include "data/fontfamily.h"

#include <QFontDatabase>
#include <QHash>

namespace quoteria {

// An installed family for a theme's font name: the name itself when installed, else
// a metric-alike face of the same kind (serif, monospaced or sans).
QString installedFamily(const QString& wanted) {
    static QHash<QString, QString> resolved;
    const QString name = wanted.trimmed();
    auto it = resolved.constFind(name);
    if (it != resolved.constEnd())
        return *it;
    QString family = name;
    if (name.isEmpty() || !QFontDatabase::hasFamily(name)) {
        const QString n = name.toLower();
        if (n.contains(QLatin1String("mono")) || n.contains(QLatin1String("courier")) ||
            n.contains(QLatin1String("consol")) || n.contains(QLatin1String("fixed")))
            family = QStringLiteral("Liberation Mono");
        else if (n.contains(QLatin1String("times")) || n.contains(QLatin1String("serif")) ||
                 n.contains(QLatin1String("roman")) || n.contains(QLatin1String("georgia")) ||
                 n.contains(QLatin1String("garamond")) || n.contains(QLatin1String("book")))
            family = n.contains(QLatin1String("sans")) ? QStringLiteral("Liberation Sans")
                                                       : QStringLiteral("Liberation Serif");
        else
            family = QStringLiteral("Liberation Sans");
    }
    resolved.insert(name, family);
    return family;
}

} // namespace quoteria
