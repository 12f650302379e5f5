#pragma once
// Number and date texts as the operator's windows and the board show them.
#include <QDateTime>
#include <QString>

namespace quoteria {

// Plain numeric conversion: the number at the start of the text (blanks skipped),
// 0 when there is none. "12abc" -> 12, "abc" -> 0, " -1.5e2x" -> -150.
double vbVal(const QString& text);

// True when the whole text (blanks around it allowed) is one number.
bool isNumeric(const QString& text);

// A number as plain decimal text, as a spreadsheet holds it before formatting: no
// exponent, no trailing zeros, at most 15 significant digits, so binary noise such
// as 3.6725000000000003 reads 3.6725. 1.5e-3 -> "0.0015", 3.0 -> "3", -0 -> "0".
QString plainDecimal(double value);

// Formats a numeric text with a digit pattern such as "0.00000", "0.0000", "#,##0.00"
// or "0%": '0' is a digit always shown, '#' one shown when significant, ',' in the
// integer part groups thousands. Rounds half away from zero on the decimal digits
// themselves (no binary noise). Text that is not numeric comes back unchanged.
QString formatNumber(const QString& value, const QString& pattern);

// The first n characters of a formatted value, but a number keeps its sign and every
// integer digit (with its thousands separators) and never ends in a bare point:
// ("3.67250", 6) -> "3.6725", ("123.45", 2) -> "123", ("123.45", 5) -> "123.4".
// Text that is not a plain number is simply cut; n <= 0 keeps no characters of it.
QString keepLength(const QString& text, int n);

// Formats a date/time with the clock's pattern language: d dd ddd dddd, m mm mmm mmmm
// (month; minutes when following an hour or preceding seconds), n nn (minutes), yy yyyy,
// h hh H HH (hours 0-23), s ss, AM/PM and A/P (12-hour clock), "text" and \c literals.
// Letters are case-insensitive; month and day names are English.
QString formatDateTime(const QDateTime& when, const QString& pattern);

} // namespace quoteria
