#include "design/themerules.h"

#include "data/formats.h"
#include "data/themestore.h"
#include "data/wincolor.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace quoteria {

ThemeCheck checkTheme(ThemeStore& themes, qint64 themeKey) {
    if (!themes.hasLayout(themeKey))
        return ThemeCheck::NoLayout;
    if (!themes.hasHeader(themeKey))
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

namespace design {

namespace {
using K = FieldKind;
// A new theme looks like a dark board with a gold header until the operator
// chooses otherwise.
constexpr qint64 kWhite = winRgb(255, 255, 255);
constexpr qint64 kNavy = winRgb(16, 42, 82);
constexpr qint64 kNight = winRgb(6, 20, 44);
constexpr qint64 kGold = winRgb(200, 150, 30);
} // namespace

const ThemeField kThemeFields[kThemeFieldCount] = {
    {"themename", "txtName", K::Text, "", 0},
    {"cols", "txtColumn", K::Text, "7", 0},
    {"rows", "txtRow", K::Text, "12", 0},
    {"colwidth", "txtColWidth", K::Text, "", 0},
    {"rowheight", "txtRHeight", K::Text, "500", 0},
    {"logo", "txtlogo", K::Text, "", 0},
    {"displaytime", "chktime", K::Flag, nullptr, 0},
    {"clockfile", "txtFormat", K::Text, "", 0},
    {"fonttime", "cmbFont", K::Choice, "Arial", 0},
    {"sizetime", "cmbTSize", K::Choice, "20", 0},
    {"clrtime", "lblTClr", K::Colour, nullptr, kWhite},
    {"rowbgcolor", "lblBGClr", K::Colour, nullptr, kNavy},
    {"linecolor", "lblLClr", K::Colour, nullptr, kNight},
    {"altrowcolor", "lblARClr", K::Colour, nullptr, winRgb(22, 52, 96)},
    {"BGimage", "txtTbkBack", K::Text, "", 0},
    {"hdfont", "cmbHFont", K::Choice, "Arial", 0},
    {"hdclrbg", "lblHBGClr", K::Colour, nullptr, kGold},
    {"hdfntclr", "lblHClr", K::Colour, nullptr, winRgb(10, 20, 40)},
    {"hdfntsize", "cmbHFSize", K::Choice, "20", 0},
    {"fntcrr", "cmbRowFont", K::Choice, "Arial", 0},
    {"sizecrr", "cmbRFsize", K::Choice, "20", 0},
    {"clrcrr", "lblRFcolor", K::Colour, nullptr, kWhite},
    {"bgcrr", "lblRDClr", K::Colour, nullptr, kNavy},
    {"fntval", "cmbVFont", K::Choice, "Arial", 0},
    {"sizeval", "cmbVFSize", K::Choice, "20", 0},
    {"clrval", "lblVFColor", K::Colour, nullptr, winRgb(255, 220, 120)},
    {"bgval", "lblVBGClr", K::Colour, nullptr, kNavy},
    {"type", "cmbType", K::Choice, "Vertical", 0},
    {"bgcolor", "lblBG", K::Colour, nullptr, kNight},
    {"vgap", "tblLine", K::Text, "20", 0},
    {"video", "txtVideo", K::Text, "", 0},
    {"online", "txtOnline", K::Text, "", 0},
    {"volume", "txtVol", K::Text, "5", 0},
    {"media", "cmbMedia", K::Choice, "Video", 0},
    {"ttlname", "txtttl", K::Text, "", 0},
    {"ttlfont", "cmbTtlFont", K::Choice, "Arial", 0},
    {"ttlcolor", "lblttlClr", K::Colour, nullptr, kWhite},
    {"ttlsize", "cmbTtlSize", K::Choice, "20", 0},
    {"scroll", "chkScroll", K::Flag, nullptr, 0},
    {"tformat", "txtTformat", K::Text, "dd-MMM-yyyy HH:mm", 0},
    {"ttlBGEnable", "chkttlBG", K::Flag, nullptr, 0},
    {"ttlBG", "lblTtlBG", K::Colour, nullptr, winRgb(12, 60, 120)},
    {"img1", "txtImg1", K::Text, "", 0},
    {"img2", "txtImg2", K::Text, "", 0},
    {"hgap", "txtWGap", K::Text, "20", 0},
    {"SBG", "lblSBG", K::Colour, nullptr, kGold},
    {"NBGimg", "txtNimg", K::Text, "", 0},
    {"SWidth", "txtWidth", K::Text, "1366", 0},
    {"SHeight", "txtHeight", K::Text, "768", 0},
};

FieldValues initialFields() {
    FieldValues out;
    for (const ThemeField& f : kThemeFields) {
        const QString control = QLatin1String(f.control);
        switch (f.kind) {
        case K::Text:
        case K::Choice:
            out.insert(control, QString::fromLatin1(f.text));
            break;
        case K::Flag:
            out.insert(control, int(f.number));
            break;
        case K::Colour:
            out.insert(control, f.number);
            break;
        }
    }
    return out;
}

ThemeRecord recordFromFields(const FieldValues& fields, qint64 key) {
    ThemeRecord r;
    r.key = key;
    for (const ThemeField& f : kThemeFields) {
        const QVariant v = fields.value(QLatin1String(f.control));
        QVariant stored;
        switch (f.kind) {
        case K::Text:
        case K::Choice:
            stored = v.toString();
            break;
        case K::Flag:
            stored = v.toInt() != 0 ? 1 : 0;
            break;
        case K::Colour:
            stored = v.toLongLong();
            break;
        }
        r.values.insert(QLatin1String(f.column), stored);
    }
    return r;
}

namespace {
// The row spells its columns as the live table does.
QVariant columnValue(const QVariantMap& values, const char* column) {
    const QString name = QLatin1String(column);
    const auto exact = values.constFind(name);
    if (exact != values.constEnd())
        return *exact;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return *it;
    return QVariant();
}
} // namespace

FieldValues fieldsFromRecord(const ThemeRecord& record) {
    FieldValues out;
    for (const ThemeField& f : kThemeFields) {
        const QVariant v = columnValue(record.values, f.column);
        if (!v.isValid() || v.isNull())
            continue;
        const QString control = QLatin1String(f.control);
        switch (f.kind) {
        case K::Text:
        case K::Choice:
            out.insert(control, v.toString());
            break;
        case K::Flag:
            // The board takes only 1 as on.
            out.insert(control, themeNumber(v) == 1 ? 1 : 0);
            break;
        case K::Colour:
            out.insert(control, colourValue(v));
            break;
        }
    }
    return out;
}

QString textOnLeaving(const QString& control, const QString& text) {
    const bool numeric = isNumeric(text);
    if (control == QLatin1String("txtColumn") || control == QLatin1String("txtRow"))
        return numeric ? text : QStringLiteral("2");
    if (control == QLatin1String("txtRHeight"))
        return numeric ? text : QStringLiteral("200");
    if (control == QLatin1String("tblLine"))
        return numeric && vbVal(text) >= 1 ? text : QStringLiteral("10");
    if (control == QLatin1String("txtVol"))
        return numeric && vbVal(text) <= 10 ? text : QStringLiteral("5");
    return text;
}

QString textOnEdit(const QString& control, const QString& text) {
    if (control == QLatin1String("txtWidth"))
        return isNumeric(text) ? text : QStringLiteral("1366");
    if (control == QLatin1String("txtHeight"))
        return isNumeric(text) ? text : QStringLiteral("768");
    return text;
}

QString filledWidths(const QString& columns) {
    const double count = vbVal(columns);
    const int n = count >= kMaxFilledColumns ? kMaxFilledColumns
                  : count >= 1               ? int(std::floor(count))
                                             : 1;
    QStringList widths;
    for (int i = 0; i < n; ++i)
        widths << QStringLiteral("2500");
    return widths.join(QLatin1Char(';'));
}

bool widthsAccepted(const QString& widths, const QString& columns) {
    QString digits = widths;
    digits.remove(QLatin1Char(';'));
    if (!isNumeric(digits))
        return false;
    return vbVal(columns) == double(widths.count(QLatin1Char(';')) + 1);
}

namespace {
// A running total as a 16-bit number is stored: halves round to even, and a value
// beyond the range stays at its end.
double asShort(double v) {
    if (std::isnan(v))
        return 0;
    return std::clamp(std::nearbyint(v), double(std::numeric_limits<qint16>::min()),
                      double(std::numeric_limits<qint16>::max()));
}
} // namespace

qint16 widthTotal(const QString& widths, const QString& gapText) {
    const QStringList parts = widths.split(QLatin1Char(';'));
    const double gap = vbVal(gapText);
    const auto width = [&](int i) { return i < parts.size() ? vbVal(parts.at(i)) : 0.0; };
    double total = 0;
    if (width(0) != 0)
        total = asShort(total + width(0) + gap);
    if (width(1) != 0)
        total = asShort(total + width(1));
    for (int i = 2; i < 7; ++i)
        if (width(i) != 0)
            total = asShort(total + gap + width(i));
    return qint16(total);
}

QString widthLabel(double available, qint16 total) {
    return QStringLiteral("Available width= ") + QString::number(available, 'g', 7) +
           QStringLiteral(" Total Width ") + QString::number(total);
}

bool speedAccepted(const QString& text) {
    if (!isNumeric(text))
        return false;
    const double v = vbVal(text);
    return v >= 1 && v <= 100;
}

} // namespace design
} // namespace quoteria
