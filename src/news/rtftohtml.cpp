#include "news/rtftohtml.h"
#include "news/rtfchars.h"

#include <QList>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <array>

namespace quoteria {

namespace {

// Tags that may be open at once. Real documents nest a handful; the limit keeps
// every step bounded so that a hostile document still converts in linear time.
constexpr int kMaxEntries = 64;
// Numbers in control words are clamped so arithmetic on them cannot overflow.
constexpr qint64 kMaxNumber = 1000000000;
// Face names are short (Windows allows 31 characters). Longer ones are cut, or a
// hostile font table would make every font change write its whole name again.
constexpr qsizetype kMaxFaceName = 64;

enum class Kind { Bold, Italic, Underline, Strike, Super, Sub, Font, Item, Table };

// P queued, PG queued list item or table, A written, G written list item or
// table, K to be closed before the next text, D set aside for good.
enum class St { None, P, PG, A, G, K, D };

struct Entry {
    Kind kind;
    QString open;
    St st = St::None;
    int id = 0;
    bool emitted = false; // its opening tag is in the output

    bool written() const { return st == St::A || st == St::G; }
    bool inEffect() const { return written(); }
};

QString closeTag(const Entry& e) {
    switch (e.kind) {
    case Kind::Bold:
        return QStringLiteral("</b>");
    case Kind::Italic:
        return QStringLiteral("</i>");
    case Kind::Underline:
        return QStringLiteral("</u>");
    case Kind::Strike:
        return QStringLiteral("</s>");
    case Kind::Super:
        return QStringLiteral("</sup>");
    case Kind::Sub:
        return QStringLiteral("</sub>");
    case Kind::Font:
        // Closed in the reverse order of "<font ...><span ...>".
        return e.open.contains(QLatin1String("<span")) ? QStringLiteral("</span></font>")
                                                       : QStringLiteral("</font>");
    case Kind::Item:
        return QStringLiteral("</li>");
    case Kind::Table:
        return QStringLiteral("</td></tr></table>");
    }
    return QString();
}

const char* const kLatin1Names[] = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

const QString kRtfPrefix = QStringLiteral("<rtf>:");

// What "\'hh" stands for; an "<rtf>:" prefix marks RTF to be read again.
QString escapeText(int code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("&nbsp;");
    case 0x85:
        return QStringLiteral("...");
    case 0x99:
        return kRtfPrefix + QStringLiteral("\\super TM\\nosupersub");
    case 0x9a:
        return QString(QChar(0x0691));
    case 0x9e:
        return QString(QChar(0x200D));
    case 0xae:
        return QString();
    default:
        break;
    }
    if (code >= 0xa1 && code <= 0xff)
        return QLatin1Char('&') + QLatin1String(kLatin1Names[code - 0xa1]) + QLatin1Char(';');
    return QString();
}

// The same, from a table built once: escapes are frequent in text.
const QString& escapeFor(QStringView hh) {
    static const QString none;
    static const std::array<QString, 256> table = [] {
        std::array<QString, 256> t;
        for (int code = 0; code < 256; ++code)
            t[code] = escapeText(code);
        return t;
    }();
    if (hh.size() != 2 || rtf::hexValue(hh[0]) < 0 || rtf::hexValue(hh[1]) < 0)
        return none;
    return table[rtf::hexValue(hh[0]) * 16 + rtf::hexValue(hh[1])];
}

bool isTrimChar(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

QString trimmed(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && isTrimChar(s[b]))
        ++b;
    while (e > b && isTrimChar(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// An optionally signed decimal number making up all of text; false otherwise.
bool parseNumber(QStringView text, qint64& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == QLatin1Char('-')) {
        negative = true;
        ++i;
    }
    if (i >= text.size())
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const ushort u = text[i].unicode();
        if (u < '0' || u > '9')
            return false;
        v = std::min(kMaxNumber, v * 10 + (u - '0'));
    }
    value = negative ? -v : v;
    return true;
}

// Where needle next occurs in text at or after from, adding the stretch searched
// to searched.
template <typename Needle>
qsizetype findCounted(const QString& text, const Needle& needle, qsizetype from,
                      qint64& searched) {
    const qsizetype hit = text.indexOf(needle, from);
    searched += std::max<qsizetype>(0, (hit < 0 ? text.size() : hit) - from);
    return hit;
}

// Searches one text for one needle from positions that only move forward. The
// last answer is kept, so a needle that is missing (or far ahead) is searched for
// once rather than once per table entry.
class ForwardSearch {
public:
    ForwardSearch(const QString& text, const QString& needle, qint64& searched)
        : m_text(text), m_needle(needle), m_searched(searched) {}
    const QString& needle() const { return m_needle; }

    qsizetype next(qsizetype from) {
        const bool known = m_from >= 0 && from >= m_from && (m_hit < 0 || m_hit >= from);
        if (!known) {
            m_hit = findCounted(m_text, m_needle, from, m_searched);
            m_from = from;
        }
        return m_hit;
    }

private:
    const QString& m_text;
    const QString m_needle;
    qint64& m_searched;
    qsizetype m_from = -1;
    qsizetype m_hit = -1;
};

// Cuts the brace group around position at out of doc and returns its content;
// the document keeps the two braces with nothing between them. Unbalanced
// braces reach to the start or the end of the text.
QString cutGroup(QString& doc, qsizetype at, qint64& searched) {
    qsizetype open = -1;
    int depth = 0;
    for (qsizetype i = at - 1; i >= 0; --i) {
        const QChar c = doc[i];
        if (c == QLatin1Char('}')) {
            ++depth;
        } else if (c == QLatin1Char('{')) {
            if (depth == 0) {
                open = i;
                break;
            }
            --depth;
        }
    }
    qsizetype close = doc.size();
    depth = 0;
    for (qsizetype i = at; i < doc.size(); ++i) {
        const QChar c = doc[i];
        if (c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char('}')) {
            if (depth == 0) {
                close = i;
                break;
            }
            --depth;
        }
    }
    searched += (at - open) + (close - at);
    const qsizetype from = open + 1;
    const QString content = doc.mid(from, close - from);
    doc = doc.left(from) + doc.mid(close);
    return content;
}

// Up to three decimal digits at text[pos]; 0 when there are none.
int readComponent(const QString& text, qsizetype pos) {
    int v = 0;
    for (int n = 0; n < 3 && pos + n < text.size(); ++n) {
        const ushort u = text[pos + n].unicode();
        if (u < '0' || u > '9')
            break;
        v = v * 10 + (u - '0');
    }
    return std::min(v, 255);
}

// Six upper-case hexadecimal digits RRGGBB.
QString hexColour(int r, int g, int b) {
    static const char digits[] = "0123456789ABCDEF";
    QString s(6, Qt::Uninitialized);
    QChar* d = s.data();
    for (const int v : {r, g, b}) {
        *d++ = QLatin1Char(digits[v >> 4]);
        *d++ = QLatin1Char(digits[v & 15]);
    }
    return s;
}

QStringList parseColours(const QString& group, qint64& searched) {
    QStringList colours;
    qsizetype pos = findCounted(group, QLatin1Char(';'), 0, searched);
    if (pos < 0)
        return colours;
    // Entries may lack green or blue; each such search runs forward only once.
    ForwardSearch red(group, QStringLiteral("\\red"), searched),
        green(group, QStringLiteral("\\green"), searched),
        blue(group, QStringLiteral("\\blue"), searched);
    const qsizetype redLen = red.needle().size(), greenLen = green.needle().size(),
                    blueLen = blue.needle().size();
    while (true) {
        const qsizetype r = red.next(pos);
        if (r < 0)
            break;
        const int rv = readComponent(group, r + redLen);
        const qsizetype g = green.next(r + redLen);
        const int gv = g < 0 ? 0 : readComponent(group, g + greenLen);
        const qsizetype from = g < 0 ? r + redLen : g + greenLen;
        const qsizetype b = blue.next(from);
        const int bv = b < 0 ? 0 : readComponent(group, b + blueLen);
        colours << hexColour(rv, gv, bv);
        pos = std::max(from, b < 0 ? from : b + blueLen);
    }
    return colours;
}

QStringList parseFonts(const QString& group, qint64& searched) {
    QStringList fonts;
    qsizetype pos = findCounted(group, QLatin1String("\\f0"), 0, searched);
    while (pos >= 0) {
        const qsizetype space = findCounted(group, QLatin1Char(' '), pos, searched);
        if (space < 0)
            break;
        const qsizetype semi = findCounted(group, QLatin1Char(';'), space, searched);
        if (semi < 0)
            break;
        fonts << group.mid(space + 1, std::min(semi - space - 1, kMaxFaceName));
        pos = findCounted(group, QStringLiteral("\\f%1").arg(fonts.size()), semi, searched);
    }
    return fonts;
}

class Conversion {
public:
    Conversion(int& defaultSize, qint64& searched)
        : m_defaultSize(defaultSize), m_searched(searched) {}
    QString run(const QString& rtf, const QString& options);

private:
    void readOptions(const QString& options);
    void prepare(QString& doc);
    void tokenise(const QString& doc);
    void processLine(const QString& line);
    void token(QStringView tok);
    void controlWord(QStringView tok);
    void inject(QStringView s, QStringView s2 = {});
    void text(QStringView t);
    void finish();

    // Tag entries.
    void queue(Kind kind, const QString& open);
    int pendingIndex(Kind kind) const;
    bool writtenOpen(Kind kind) const;
    bool isPending(int id) const;
    void requeue(const Entry& e, bool atFront, int& frontPos);
    void requeueInside(int index);
    void closeRule(Kind kind);
    void rebuildFontString();
    void clearFormat();

    int& m_defaultSize;
    qint64& m_searched;
    QString m_breakSuffix;
    bool m_faces = true;

    QStringList m_colours;
    QStringList m_fonts;
    QString m_colour, m_face, m_fontString, m_tableString;
    int m_size = 0; // 0 = none

    QList<Entry> m_pending;
    QList<Entry> m_stack; // front = outermost, back = innermost
    int m_nextId = 1;

    QString m_out, m_pendingBreaks;
    bool m_paraStart = true;
    bool m_afterBreak = false;
    bool m_hasLists = false;
    int m_skipDepth = 0;
    int m_skipCount = 0;
    bool m_unicodeFallback = false;

    // Text put back in front of the rest of the line (escapes, tabs); what is
    // before m_injectPos has been read. Tokens are views into it or the line,
    // or into m_joined when they straddle the two.
    QString m_inject;
    qsizetype m_injectPos = 0;
    QString m_joined;
};

void Conversion::readOptions(const QString& options) {
    m_breakSuffix = options.contains(QLatin1String("+CR")) ? QStringLiteral("\r\n") : QString();
    const qsizetype f = options.indexOf(QLatin1String("+F="));
    if (f >= 0) {
        qint64 v = 0;
        for (qsizetype i = f + 3; i < options.size(); ++i) {
            const ushort u = options[i].unicode();
            if (u < '0' || u > '9')
                break;
            v = std::min(kMaxNumber, v * 10 + (u - '0'));
        }
        m_defaultSize = int(v);
    }
    m_faces = !options.contains(QLatin1String("-FF"));
}

void Conversion::prepare(QString& doc) {
    doc = trimmed(doc);
    if (doc.size() >= 2 && doc.startsWith(QLatin1Char('{')) && doc.endsWith(QLatin1Char('}')))
        doc = doc.mid(1, doc.size() - 2);
    m_hasLists = doc.contains(QLatin1String("\\list\\"));

    qsizetype at = findCounted(doc, QLatin1String("\\colortbl"), 0, m_searched);
    if (at >= 0)
        m_colours = parseColours(cutGroup(doc, at, m_searched), m_searched);
    at = findCounted(doc, QLatin1String("\\fonttbl"), 0, m_searched);
    if (at >= 0)
        m_fonts = parseFonts(cutGroup(doc, at, m_searched), m_searched);
    for (const char* word : {"\\stylesheet", "\\info", "\\listtable", "\\listoverridetable"}) {
        at = findCounted(doc, QLatin1String(word), 0, m_searched);
        if (at >= 0)
            cutGroup(doc, at, m_searched);
    }
}

QString Conversion::run(const QString& rtf, const QString& options) {
    readOptions(options);
    QString doc = rtf;
    prepare(doc);
    tokenise(doc);
    finish();
    return m_out;
}

void Conversion::tokenise(const QString& doc) {
    // Lines end at CR LF; a lone LF or CR ends one too, so files written on
    // other systems read the same.
    qsizetype pos = 0;
    const qsizetype n = doc.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && doc[end] != QLatin1Char('\r') && doc[end] != QLatin1Char('\n'))
            ++end;
        processLine(trimmed(doc.mid(pos, end - pos)));
        pos = end;
        while (pos < n && (doc[pos] == QLatin1Char('\r') || doc[pos] == QLatin1Char('\n')))
            ++pos;
    }
}

void Conversion::processLine(const QString& line) {
    qsizetype pos = 0;
    m_inject.clear();
    m_injectPos = 0;
    // Reads the virtual text m_inject[m_injectPos..] + line[pos..].
    auto injected = [&]() { return m_inject.size() - m_injectPos; };
    auto size = [&]() { return injected() + (line.size() - pos); };
    auto at = [&](qsizetype k) -> QChar {
        const qsizetype in = injected();
        return k < in ? m_inject[m_injectPos + k] : line[pos + k - in];
    };
    // Views, not copies: a token is read before the next one is taken.
    auto take = [&](qsizetype len) -> QStringView {
        const qsizetype in = injected();
        if (in == 0) {
            pos += len;
            return QStringView(line).mid(pos - len, len);
        }
        if (len <= in) {
            m_injectPos += len;
            return QStringView(m_inject).mid(m_injectPos - len, len);
        }
        m_joined = m_inject.mid(m_injectPos);
        m_joined.append(QStringView(line).mid(pos, len - in));
        m_injectPos = m_inject.size();
        pos += len - in;
        return m_joined;
    };
    auto isBreak = [](QChar c) {
        return c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}');
    };

    while (size() > 0) {
        const QChar c = at(0);
        QStringView tok;
        if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
            tok = take(1);
        } else if (c == QLatin1Char('\\')) {
            const QChar next = size() > 1 ? at(1) : QChar();
            if (next == QLatin1Char('\'')) {
                tok = take(std::min<qsizetype>(4, size()));
            } else if (next == QLatin1Char('\\') || next == QLatin1Char('{') ||
                       next == QLatin1Char('}')) {
                tok = take(2);
            } else {
                qsizetype len = 1;
                while (len < size() && !isBreak(at(len)) && at(len) != QLatin1Char(' '))
                    ++len;
                tok = take(len);
                if (size() > 0 && at(0) == QLatin1Char(' '))
                    take(1);
            }
        } else {
            qsizetype len = 1;
            while (len < size() && !isBreak(at(len)))
                ++len;
            tok = take(len);
        }
        token(tok);
    }
}

void Conversion::token(QStringView tok) {
    if (m_skipDepth > 0) {
        if (tok == QLatin1String("{"))
            ++m_skipDepth;
        else if (tok == QLatin1String("}"))
            --m_skipDepth;
        return;
    }
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    if (tok == QLatin1String("\\pict") || tok == QLatin1String("\\*")) {
        m_skipDepth = 1;
        return;
    }
    if (tok == QLatin1String("\\pntext"))
        m_skipDepth = 1;

    const bool escapedChar =
        tok.size() == 2 && tok[0] == QLatin1Char('\\') &&
        (tok[1] == QLatin1Char('\\') || tok[1] == QLatin1Char('{') || tok[1] == QLatin1Char('}'));
    const bool control = !escapedChar && (tok[0] == QLatin1Char('\\') ||
                                          tok[0] == QLatin1Char('{') || tok[0] == QLatin1Char('}'));
    if (m_unicodeFallback) {
        // The one-character stand-in that follows "\uN".
        m_unicodeFallback = false;
        if (tok.startsWith(QLatin1String("\\'")))
            return;
        if (!control) {
            if (tok.size() > 1)
                text(escapedChar ? QStringView() : tok.mid(1));
            return;
        }
    }
    if (control)
        controlWord(tok);
    else
        text(escapedChar ? tok.mid(1) : tok);
}

// Puts s and s2 in front of the rest of the line. Views of the old text are void
// after.
void Conversion::inject(QStringView s, QStringView s2) {
    const QStringView rest = QStringView(m_inject).mid(m_injectPos);
    QString joined;
    joined.reserve(s.size() + s2.size() + rest.size());
    joined.append(s).append(s2).append(rest);
    m_inject.swap(joined);
    m_injectPos = 0;
}

void Conversion::controlWord(QStringView tok) {
    qint64 n = 0;
    if (tok == QLatin1String("}")) {
        for (Entry& e : m_stack)
            if (e.st != St::G)
                e.st = St::K;
        const int li = pendingIndex(Kind::Item);
        if (li >= 0)
            m_pending.erase(m_pending.begin(), m_pending.begin() + li);
        else
            m_pending.clear();
        clearFormat();
    } else if (tok == QLatin1String("{")) {
    } else if (tok == QLatin1String("\\b")) {
        if (!writtenOpen(Kind::Bold))
            queue(Kind::Bold, QStringLiteral("<b>"));
    } else if (tok == QLatin1String("\\b0")) {
        closeRule(Kind::Bold);
    } else if (tok == QLatin1String("\\bullet")) {
        queue(Kind::Item, QStringLiteral("<li>"));
    } else if (tok == QLatin1String("\\i")) {
        queue(Kind::Italic, QStringLiteral("<i>"));
    } else if (tok == QLatin1String("\\i0")) {
        closeRule(Kind::Italic);
    } else if (tok == QLatin1String("\\ul")) {
        queue(Kind::Underline, QStringLiteral("<u>"));
    } else if (tok == QLatin1String("\\ulnone")) {
        closeRule(Kind::Underline);
    } else if (tok == QLatin1String("\\strike") || tok == QLatin1String("\\super") ||
               tok == QLatin1String("\\sub")) {
        const Kind k = tok == QLatin1String("\\strike")  ? Kind::Strike
                       : tok == QLatin1String("\\super") ? Kind::Super
                                                         : Kind::Sub;
        if (m_stack.isEmpty() || m_stack.front().kind != k)
            queue(k, k == Kind::Strike  ? QStringLiteral("<s>")
                     : k == Kind::Super ? QStringLiteral("<sup>")
                                        : QStringLiteral("<sub>"));
    } else if (tok == QLatin1String("\\strike0")) {
        closeRule(Kind::Strike);
    } else if (tok == QLatin1String("\\nosupersub")) {
        closeRule(Kind::Sub);
        closeRule(Kind::Super);
    } else if (tok.startsWith(QLatin1String("\\cf")) && parseNumber(tok.mid(3), n)) {
        if (n == 0) {
            m_colour.clear();
            rebuildFontString();
        } else if (n >= 1 && n <= m_colours.size()) {
            m_colour = QLatin1Char('#') + m_colours.at(int(n - 1));
            rebuildFontString();
            const int p = pendingIndex(Kind::Font);
            if (p >= 0) {
                m_pending[p].open = m_fontString;
            } else {
                for (int i = 0; i < m_stack.size(); ++i) {
                    if (m_stack[i].kind == Kind::Font && m_stack[i].written()) {
                        requeueInside(i);
                        m_stack[i].st = St::K;
                    }
                }
                queue(Kind::Font, m_fontString);
            }
        }
    } else if (tok.startsWith(QLatin1String("\\fs")) && parseNumber(tok.mid(3), n)) {
        qint64 size = n >= 0 ? n / 7 : -((-n + 6) / 7);
        size = std::max<qint64>(1, size);
        m_size = size == m_defaultSize ? 0 : int(size);
        rebuildFontString();
    } else if (tok.startsWith(QLatin1String("\\f")) && parseNumber(tok.mid(2), n)) {
        if (m_faces && n >= 0 && n < m_fonts.size()) {
            m_face = m_fonts.at(int(n));
            rebuildFontString();
        }
    } else if (tok == QLatin1String("\\par")) {
        bool listOpen = false;
        for (const Entry& e : m_stack)
            if (e.kind == Kind::Item && e.st != St::K && e.st != St::D)
                listOpen = true;
        if (!listOpen) {
            m_pendingBreaks += QStringLiteral("<br>") + m_breakSuffix;
        } else {
            for (Entry& e : m_stack)
                if (e.kind == Kind::Item)
                    e.st = St::K;
            const int p = pendingIndex(Kind::Item);
            if (p >= 0)
                m_pending.removeAt(p);
        }
        m_paraStart = true;
        m_afterBreak = true;
    } else if (tok == QLatin1String("\\pard")) {
        for (Entry& e : m_stack)
            if (e.st == St::PG || e.st == St::G)
                e.st = St::K;
        if (!m_hasLists && writtenOpen(Kind::Item)) {
            for (Entry& e : m_stack)
                if (e.kind == Kind::Item && e.written())
                    e.st = St::K;
            const int p = pendingIndex(Kind::Item);
            if (p >= 0)
                m_pending.removeAt(p);
        }
        m_afterBreak = true;
    } else if (tok == QLatin1String("\\plain")) {
        for (Entry& e : m_stack)
            if (e.st != St::G)
                e.st = St::K;
        clearFormat();
    } else if (tok == QLatin1String("\\pnlvlblt")) {
        if (pendingIndex(Kind::Item) < 0)
            queue(Kind::Item, QStringLiteral("<li>"));
    } else if (tok == QLatin1String("\\pntext")) {
        if (pendingIndex(Kind::Item) < 0) {
            queue(Kind::Item, QStringLiteral("<li>"));
            int front = -1;
            for (const Entry& e : m_stack)
                if (e.inEffect())
                    requeue(e, false, front);
            for (Entry& e : m_stack)
                e.st = St::K;
        }
    } else if (tok == QLatin1String("\\pntxta") || tok == QLatin1String("\\pntxtb")) {
        m_skipCount = 1;
    } else if (tok == QLatin1String("\\qc") || tok == QLatin1String("\\qr")) {
        m_tableString = QStringLiteral("<table width=100%><tr><td align=\"%1\">")
                            .arg(tok == QLatin1String("\\qc") ? QLatin1String("center")
                                                              : QLatin1String("right"));
        const int p = pendingIndex(Kind::Table);
        if (p >= 0) {
            m_pending[p].open = m_tableString;
        } else {
            queue(Kind::Table, m_tableString);
            for (int i = 0; i < m_stack.size(); ++i) {
                if (m_stack[i].kind == Kind::Table && m_stack[i].written()) {
                    requeueInside(i);
                    m_stack[i].st = St::K;
                }
            }
        }
    } else if (tok == QLatin1String("\\tab")) {
        inject(u"\t");
    } else if (tok.startsWith(QLatin1String("\\'"))) {
        const QString& value = escapeFor(tok.mid(2));
        if (value.startsWith(kRtfPrefix))
            inject(QStringView(value).mid(kRtfPrefix.size()), u" ");
        else
            inject(value);
    } else if (tok.startsWith(QLatin1String("\\u")) && tok.size() > 2 &&
               (tok[2].isDigit() || tok[2] == QLatin1Char('-'))) {
        // Characters beyond Latin-1, followed by a one-character stand-in.
        qsizetype end = 3;
        while (end < tok.size() && tok[end].isDigit())
            ++end;
        if (!parseNumber(tok.mid(2, end - 2), n))
            return;
        if (n < 0)
            n += 65536;
        const QString entity = n > 0 && n <= 0x10FFFF ? QStringLiteral("&#%1;").arg(n) : QString();
        const QStringView rest = tok.mid(end);
        if (rest.isEmpty()) {
            text(entity);
            m_unicodeFallback = true;
        } else {
            inject(entity, rest.mid(1));
        }
    }
}

int Conversion::pendingIndex(Kind kind) const {
    for (int i = 0; i < m_pending.size(); ++i)
        if (m_pending[i].kind == kind)
            return i;
    return -1;
}

bool Conversion::writtenOpen(Kind kind) const {
    return std::any_of(m_stack.begin(), m_stack.end(),
                       [&](const Entry& e) { return e.kind == kind && e.written(); });
}

bool Conversion::isPending(int id) const {
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [&](const Entry& e) { return e.id == id; });
}

void Conversion::queue(Kind kind, const QString& open) {
    if (m_pending.size() + m_stack.size() >= kMaxEntries)
        return;
    m_pending.append(Entry{kind, open, St::None, m_nextId++});
}

// Queues a copy of an open entry again, keeping its identity so it is queued once.
void Conversion::requeue(const Entry& e, bool atFront, int& frontPos) {
    if (isPending(e.id))
        return;
    Entry copy{e.kind, e.open, St::None, e.id};
    if (atFront)
        m_pending.insert(++frontPos, copy);
    else
        m_pending.append(copy);
}

// Queues again, at the front and outermost first, every entry in effect inside
// the entry at index.
void Conversion::requeueInside(int index) {
    int front = -1;
    for (int i = index + 1; i < m_stack.size(); ++i)
        if (m_stack[i].inEffect())
            requeue(m_stack[i], true, front);
}

void Conversion::closeRule(Kind kind) {
    int outer = -1;
    for (int i = 0; i < m_stack.size(); ++i) {
        if (m_stack[i].kind == kind && m_stack[i].written()) {
            outer = i;
            break;
        }
    }
    if (outer >= 0) {
        requeueInside(outer);
        for (Entry& e : m_stack)
            if (e.kind == kind && e.written())
                e.st = St::K;
    }
    const int p = pendingIndex(kind);
    if (p >= 0)
        m_pending.removeAt(p);
}

void Conversion::rebuildFontString() {
    if (m_colour.isEmpty() && m_size == 0 && m_face.isEmpty()) {
        m_fontString.clear();
        return;
    }
    QString s = QStringLiteral("<font");
    if (!m_face.isEmpty())
        s += QStringLiteral(" face=\"") + m_face + QLatin1Char('"');
    if (!m_colour.isEmpty())
        s += QStringLiteral(" color=\"") + m_colour + QLatin1Char('"');
    s += QLatin1Char('>');
    if (m_size != 0 && m_size != m_defaultSize)
        s += QStringLiteral("<span style=font-size:%1px>").arg(qint64(m_size) * 5);
    m_fontString = s;
}

void Conversion::clearFormat() {
    m_colour.clear();
    m_size = 0;
    m_face.clear();
    m_fontString.clear();
    m_tableString.clear();
}

void Conversion::text(QStringView t) {
    if (t.isEmpty())
        return;
    const bool spacesOnly =
        std::all_of(t.begin(), t.end(), [](QChar c) { return c == QLatin1Char(' '); });
    if (spacesOnly && !m_paraStart) {
        m_out += t;
        return;
    }
    QString nbsp;
    if (m_paraStart) {
        // Leading blanks of a paragraph would vanish in HTML.
        qsizetype lead = 0;
        while (lead < t.size() && t[lead] == QLatin1Char(' '))
            ++lead;
        if (lead > 0) {
            nbsp.clear();
            for (qsizetype i = 0; i < lead; ++i)
                nbsp += QStringLiteral("&nbsp;");
            nbsp.append(t.mid(lead));
            t = nbsp;
        }
    }

    // a. Closing.
    const Entry* outerFont = nullptr;
    for (const Entry& e : m_stack) {
        if (e.kind == Kind::Font && e.st != St::K && e.st != St::D) {
            outerFont = &e;
            break;
        }
    }
    const bool fontChanged = outerFont ? outerFont->open != m_fontString : !m_fontString.isEmpty();
    if (fontChanged) {
        for (Entry& e : m_stack)
            if (e.kind == Kind::Font)
                e.st = St::K;
        const int p = pendingIndex(Kind::Font);
        if (p >= 0) {
            if (m_fontString.isEmpty())
                m_pending.removeAt(p);
            else
                m_pending[p].open = m_fontString;
        } else if (!m_fontString.isEmpty()) {
            queue(Kind::Font, m_fontString);
        }
    } else {
        // A font queued by a colour change that came back to the current one.
        const int p = pendingIndex(Kind::Font);
        if (p >= 0 && outerFont && m_pending[p].id != outerFont->id)
            m_pending.removeAt(p);
    }

    QString closing;
    int deepest = -1;
    for (int i = 0; i < m_stack.size(); ++i) {
        if (m_stack[i].st == St::K) {
            deepest = i;
            break;
        }
    }
    if (deepest >= 0) {
        for (int i = m_stack.size() - 1; i >= deepest; --i) {
            const Entry& e = m_stack[i];
            if (!e.emitted)
                continue;
            closing += closeTag(e);
            if (e.kind == Kind::Item)
                closing += m_breakSuffix;
        }
        int front = -1;
        for (int i = deepest; i < m_stack.size(); ++i) {
            const Entry& e = m_stack[i];
            if (e.st != St::K && e.st != St::D && e.written())
                requeue(e, false, front);
        }
        m_stack.erase(m_stack.begin() + deepest, m_stack.end());
    }

    // b. Merge: a list item is the outermost of the new entries.
    const int firstNew = m_stack.size();
    for (const Entry& e : std::as_const(m_pending))
        if (e.kind == Kind::Item)
            m_stack.append(Entry{e.kind, e.open, St::PG, e.id});
    for (const Entry& e : std::as_const(m_pending))
        if (e.kind != Kind::Item)
            m_stack.append(Entry{e.kind, e.open, e.kind == Kind::Table ? St::PG : St::P, e.id});
    m_pending.clear();

    // c. Opening. In mid-paragraph a new alignment table, and what is outside
    // it, is set aside: a table cannot start inside a line.
    QString opening;
    int setAsideUpTo = -1;
    if (!m_afterBreak) {
        for (int i = m_stack.size() - 1; i >= firstNew; --i) {
            if (m_stack[i].kind == Kind::Table) {
                setAsideUpTo = i;
                break;
            }
        }
    }
    for (int i = firstNew; i < m_stack.size(); ++i) {
        Entry& e = m_stack[i];
        if (i <= setAsideUpTo) {
            e.st = St::D;
            continue;
        }
        opening += e.open;
        e.emitted = true;
        e.st = e.st == St::PG ? St::G : St::A;
    }
    m_afterBreak = false;

    // d. Entries never to be written do not stay open.
    m_stack.erase(std::remove_if(m_stack.begin(), m_stack.end(),
                                 [](const Entry& e) { return e.st == St::D; }),
                  m_stack.end());

    m_out += closing;
    m_out += m_pendingBreaks;
    m_out += opening;
    m_out += t;
    m_pendingBreaks.clear();
    m_paraStart = false;
}

void Conversion::finish() {
    // Trailing line breaks are dropped.
    m_pendingBreaks.clear();
    for (int i = m_stack.size() - 1; i >= 0; --i) {
        if (!m_stack[i].emitted)
            continue;
        m_out += closeTag(m_stack[i]);
        if (m_stack[i].kind == Kind::Item)
            m_out += m_breakSuffix;
    }
    m_stack.clear();
    clearFormat();
}

} // namespace

QString RtfToHtml::convert(const QString& rtf, const QString& options) {
    m_searched = 0;
    Conversion c(m_defaultSize, m_searched);
    return c.run(rtf, options);
}

QString rtfToHtml(const QString& rtf, const QString& options) {
    thread_local RtfToHtml converter;
    return converter.convert(rtf, options);
}

QString decodeRtfBytes(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace quoteria
