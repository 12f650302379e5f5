#include "data/formats.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVector>
#include <cmath>

namespace quoteria {

namespace {

struct Scan {
    int end = 0;     // index after the number
    bool ok = false; // at least one digit
};

// Recognises [sign] digits [. digits] [e [sign] digits] starting at i.
Scan scanNumber(const QString& t, int i) {
    Scan s;
    const int n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    bool digits = false;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        ++i;
        digits = true;
    }
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return s;
    s.ok = true;
    s.end = i;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-')))
            ++j;
        int k = j;
        while (k < n && t[k].isDigit() && t[k].unicode() < 128)
            ++k;
        if (k > j)
            s.end = k;
    }
    return s;
}

} // namespace

double vbVal(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char(' '));
    t.remove(QLatin1Char('\t'));
    const Scan s = scanNumber(t, 0);
    if (!s.ok)
        return 0.0;
    bool ok = false;
    const double v = t.left(s.end).toDouble(&ok);
    return ok ? v : 0.0;
}

bool isNumeric(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const Scan s = scanNumber(t, 0);
    return s.ok && s.end == t.size();
}

QString plainDecimal(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0");
    // "-d.dddddddddddddde-05": fifteen digits and where the point goes.
    const QString e = QString::number(value, 'e', 14);
    const int at = e.indexOf(QLatin1Char('e'));
    const int point = e.mid(at + 1).toInt() + 1;
    QString digits = e.left(at);
    const bool negative = digits.startsWith(QLatin1Char('-'));
    digits.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString out;
    if (point <= 0)
        out = QLatin1String("0.") + QString(-point, QLatin1Char('0')) + digits;
    else if (point >= digits.size())
        out = digits + QString(point - digits.size(), QLatin1Char('0'));
    else
        out = digits.left(point) + QLatin1Char('.') + digits.mid(point);
    return negative ? QLatin1Char('-') + out : out;
}

QString formatNumber(const QString& value, const QString& pattern) {
    if (!isNumeric(value))
        return value;
    // Bring the value to plain decimal digits without an exponent.
    QString plain = value.trimmed();
    bool negative = false;
    if (plain.startsWith(QLatin1Char('+')) || plain.startsWith(QLatin1Char('-'))) {
        negative = plain[0] == QLatin1Char('-');
        plain.remove(0, 1);
    }
    if (plain.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        plain = QString::number(plain.toDouble(), 'f', 15);
    QString intDigits = plain.section(QLatin1Char('.'), 0, 0);
    QString fracDigits = plain.section(QLatin1Char('.'), 1);

    // Pattern: integer part, decimals, percent.
    const bool percent = pattern.contains(QLatin1Char('%'));
    const int dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPat = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPat = dot < 0 ? QString() : pattern.mid(dot + 1);
    const int minInt = intPat.count(QLatin1Char('0'));
    const bool grouping = intPat.contains(QLatin1Char(','));
    const int fixedDec = fracPat.count(QLatin1Char('0'));
    const int maxDec = fixedDec + fracPat.count(QLatin1Char('#'));

    if (percent) { // move the point two places right
        fracDigits += QLatin1String("00");
        intDigits += fracDigits.left(2);
        fracDigits = fracDigits.mid(2);
    }

    // Round half away from zero at maxDec decimals, on the digit string.
    QString digits = intDigits + fracDigits.leftJustified(maxDec, QLatin1Char('0'), true);
    const bool roundUp = fracDigits.size() > maxDec && fracDigits[maxDec] >= QLatin1Char('5');
    if (roundUp) {
        int i = digits.size() - 1;
        while (i >= 0) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
    }
    QString intOut = digits.left(digits.size() - maxDec);
    QString decOut = digits.right(maxDec);
    while (intOut.size() > 1 && intOut[0] == QLatin1Char('0'))
        intOut.remove(0, 1);
    if (intOut == QLatin1String("0") && minInt == 0)
        intOut.clear();
    while (intOut.size() < minInt)
        intOut.prepend(QLatin1Char('0'));
    while (decOut.size() > fixedDec && decOut.endsWith(QLatin1Char('0')))
        decOut.chop(1);
    if (grouping) {
        for (int p = intOut.size() - 3; p > 0; p -= 3)
            intOut.insert(p, QLatin1Char(','));
    }
    QString out = intOut;
    if (dot >= 0 && (!decOut.isEmpty() || maxDec == 0))
        out += QLatin1Char('.') + decOut;
    if (dot >= 0 && maxDec > 0 && decOut.isEmpty())
        out += QLatin1Char('.');
    if (percent)
        out += QLatin1Char('%');
    const bool allZero =
        !QString(intOut + decOut).contains(QRegularExpression(QStringLiteral("[1-9]")));
    if (negative && !allZero)
        out.prepend(QLatin1Char('-'));
    return out;
}

QString keepLength(const QString& text, int n) {
    const QString cut = text.left(qMax(0, n));
    // Grouping only in threes, so a decimal comma ("3,67") is not taken for one.
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)?(?:\\.([0-9]*))?%?$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch() || (m.capturedLength(1) == 0 && m.capturedLength(2) == 0))
        return cut;
    // A rate cut into its integer part shows a wrong amount, not a shorter one.
    int minimum = m.capturedEnd(1);
    if (m.capturedLength(1) == 0)
        minimum = m.capturedStart(2) + 1; // ".5": at least one digit
    QString out = text.left(qMax(n, minimum));
    if (out.endsWith(QLatin1Char('.')))
        out.chop(1);
    return out;
}

QString formatDateTime(const QDateTime& when, const QString& pattern) {
    static const QLocale c(QLocale::English, QLocale::UnitedStates);
    const QDate d = when.date();
    const QTime t = when.time();

    // Tokenise first so "m" can look at its neighbours.
    struct Tok {
        QChar kind; // letter (lower case) or 0 for literal
        int len;
        QString text;
    };
    QVector<Tok> toks;
    const int n = pattern.size();
    bool twelve = false;
    for (int i = 0; i < n;) {
        const QChar ch = pattern[i];
        if (ch == QLatin1Char('"')) {
            const int close = pattern.indexOf(QLatin1Char('"'), i + 1);
            const int stop = close < 0 ? n : close;
            toks.append({QChar(), 0, pattern.mid(i + 1, stop - i - 1)});
            i = stop + 1;
            continue;
        }
        if (ch == QLatin1Char('\\')) {
            if (i + 1 < n)
                toks.append({QChar(), 0, QString(pattern[i + 1])});
            i += 2;
            continue;
        }
        if (pattern.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            toks.append({QLatin1Char('p'), 5, QString()});
            twelve = true;
            i += 5;
            continue;
        }
        if (pattern.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            toks.append({QLatin1Char('p'), 3, QString()});
            twelve = true;
            i += 3;
            continue;
        }
        const QChar low = ch.toLower();
        if (low == QLatin1Char('d') || low == QLatin1Char('m') || low == QLatin1Char('y') ||
            low == QLatin1Char('h') || low == QLatin1Char('n') || low == QLatin1Char('s')) {
            int j = i;
            while (j < n && pattern[j].toLower() == low)
                ++j;
            toks.append({low, j - i, QString()});
            i = j;
            continue;
        }
        toks.append({QChar(), 0, QString(ch)});
        ++i;
    }

    auto neighbour = [&](int i, int step) -> QChar {
        for (int k = i + step; k >= 0 && k < toks.size(); k += step)
            if (!toks[k].kind.isNull())
                return toks[k].kind;
        return QChar();
    };

    QString out;
    auto two = [](int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); };
    for (int i = 0; i < toks.size(); ++i) {
        const Tok& k = toks[i];
        if (k.kind.isNull()) {
            out += k.text;
            continue;
        }
        const char kind = char(k.kind.unicode());
        switch (kind) {
        case 'd':
            if (k.len == 1)
                out += QString::number(d.day());
            else if (k.len == 2)
                out += two(d.day());
            else if (k.len == 3)
                out += c.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else
                out += c.dayName(d.dayOfWeek(), QLocale::LongFormat);
            break;
        case 'm': {
            const bool minutes = k.len <= 2 && (neighbour(i, -1) == QLatin1Char('h') ||
                                                neighbour(i, 1) == QLatin1Char('s'));
            if (minutes)
                out += k.len == 1 ? QString::number(t.minute()) : two(t.minute());
            else if (k.len == 1)
                out += QString::number(d.month());
            else if (k.len == 2)
                out += two(d.month());
            else if (k.len == 3)
                out += c.monthName(d.month(), QLocale::ShortFormat);
            else
                out += c.monthName(d.month(), QLocale::LongFormat);
            break;
        }
        case 'n':
            out += k.len == 1 ? QString::number(t.minute()) : two(t.minute());
            break;
        case 'y':
            if (k.len <= 2)
                out += two(d.year() % 100);
            else
                out += QString::number(d.year()).rightJustified(4, QLatin1Char('0'));
            break;
        case 'h': {
            int h = t.hour();
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += k.len == 1 ? QString::number(h) : two(h);
            break;
        }
        case 's':
            out += k.len == 1 ? QString::number(t.second()) : two(t.second());
            break;
        case 'p': {
            const bool pm = t.hour() >= 12;
            out += k.len == 5 ? (pm ? QStringLiteral("PM") : QStringLiteral("AM"))
                              : (pm ? QStringLiteral("P") : QStringLiteral("A"));
            break;
        }
        }
    }
    return out;
}

} // namespace quoteria
