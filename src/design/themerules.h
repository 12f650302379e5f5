#pragma once
// The theme editor's rules that need no window: what an entry becomes when it is
// left, the column-width check and total, the initial values of a new theme, and
// how the editor's control values map onto a theme row.
#include "data/themestore.h"

#include <QHash>
#include <QString>
#include <QVariant>

namespace quoteria {

class ThemeStore;

// The board needs a layout row and a header row for a theme.
enum class ThemeCheck { Ready, NoLayout, NoHeader };
ThemeCheck checkTheme(ThemeStore& themes, qint64 themeKey);
// What the operator is told when a theme is not ready; empty when it is.
QString themeCheckMessage(ThemeCheck check);

namespace design {

// How an editor control holds its column's value.
enum class FieldKind {
    Text,   // a line edit: the text as typed (numbers too)
    Choice, // a combo box: its text
    Flag,   // a check box: 0 or 1
    Colour, // a swatch: a Windows colour value
};

struct ThemeField {
    const char* column;  // tbltheme column
    const char* control; // the editor's objectName for it
    FieldKind kind;
    const char* text; // initial text (Text, Choice)
    qint64 number;    // initial value (Flag, Colour)
};

// Every tbltheme column but the key, in the table's column order.
constexpr int kThemeFieldCount = 49;
extern const ThemeField kThemeFields[kThemeFieldCount];

// Control values by control name: QString for Text and Choice, int for Flag, qint64
// for Colour.
using FieldValues = QHash<QString, QVariant>;

// The controls of a new theme.
FieldValues initialFields();
// The row the controls describe.
ThemeRecord recordFromFields(const FieldValues& fields, qint64 key);
// The controls for a stored row. A column that is missing or null is left out, so
// its control keeps what it shows.
FieldValues fieldsFromRecord(const ThemeRecord& record);

// The text a numeric entry becomes when the operator leaves it (txtColumn, txtRow,
// txtRHeight, tblLine, txtVol); other controls keep their text.
QString textOnLeaving(const QString& control, const QString& text);
// The text an entry becomes as soon as it is typed (txtWidth, txtHeight).
QString textOnEdit(const QString& control, const QString& text);

// Most entries the width fill writes; a larger count is a typing slip.
constexpr int kMaxFilledColumns = 100;
// "2500;2500;..." with one entry per column (at least one).
QString filledWidths(const QString& columns);

// The column-width check: without its ";" the width text is numeric, and the column
// count is one more than the number of ";" (a trailing ";" counts as a column).
bool widthsAccepted(const QString& widths, const QString& columns);

// The table's total width for the width label: the first seven non-zero widths and
// a V-Gap between each two, held as a 16-bit number. A total beyond its range stays
// at the nearest end instead of wrapping round to a wrong, smaller width.
qint16 widthTotal(const QString& widths, const QString& gap);
// The width label for a theme whose table zone is `available` wide.
QString widthLabel(double available, qint16 total);

// The table's scroll step: numeric, 1 to 100.
bool speedAccepted(const QString& text);

} // namespace design
} // namespace quoteria
