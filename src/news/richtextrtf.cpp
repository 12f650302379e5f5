#include "news/richtextrtf.h"
#include "news/rtfchars.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>

namespace quoteria {

namespace {

// ---------------------------------------------------------------- writing

struct RunFormat {
    int font = -1;
    int halfPoints = -1;
    int colour = 0; // 0 = automatic, else index into the colour table
    bool bold = false, italic = false, underline = false, strike = false;
    int valign = 0; // 0 normal, 1 superscript, 2 subscript
};

// A font name as the font table can hold it: printable, without the characters
// that end an entry or a group.
QString tableName(const QString& family) {
    QString out;
    for (const QChar c : family)
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char(';') &&
            c != QLatin1Char('\\') && c != QLatin1Char('{') && c != QLatin1Char('}'))
            out += c;
    out = out.trimmed();
    return out.isEmpty() ? QStringLiteral("Arial") : out;
}

QString rawFamilyOf(const QTextCharFormat& f, const QTextDocument& doc) {
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList list = f.fontFamilies().toStringList();
        if (!list.isEmpty() && !list.first().isEmpty())
            return list.first();
    }
    if (f.hasProperty(QTextFormat::FontFamily) &&
        !f.stringProperty(QTextFormat::FontFamily).isEmpty())
        return f.stringProperty(QTextFormat::FontFamily);
    return doc.defaultFont().family();
}

QString familyOf(const QTextCharFormat& f, const QTextDocument& doc) {
    return tableName(rawFamilyOf(f, doc));
}

int halfPointsOf(const QTextCharFormat& f, const QTextDocument& doc) {
    qreal pt = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : 0;
    if (pt <= 0)
        pt = doc.defaultFont().pointSizeF();
    if (pt <= 0)
        pt = 12;
    return qRound(pt * 2);
}

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == '\t') {
            out += QStringLiteral("\\tab ");
        } else if (u == 0x2028) {
            out += QStringLiteral("\\line ");
        } else if (u == 0xA0) {
            out += QLatin1Char(' ');
        } else if (u < 0x20 || (u >= 0x80 && u < 0xA0) || u == 0xFFFC) {
            // Control characters and embedded objects have no place in a message.
        } else if (u < 0x80) {
            out += c;
        } else if (u == 0x2026) {
            // The code-page forms the HTML converter turns into "..." and a TM mark.
            out += QStringLiteral("\\'85");
        } else if (u == 0x2122) {
            out += QStringLiteral("\\'99");
        } else if (u <= 0xFF) {
            out += QStringLiteral("\\'%1").arg(u, 2, 16, QLatin1Char('0'));
        } else {
            out += QStringLiteral("\\u%1?").arg(int(short(u)));
        }
    }
    return out;
}

} // namespace

QString documentToRtf(const QTextDocument& doc) {
    QStringList fonts;
    QList<QColor> colours;
    bool bullets = false;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.textList())
            bullets = true;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (escapeText(it.fragment().text()).isEmpty())
                continue;
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = familyOf(f, doc);
            if (!fonts.contains(family))
                fonts << family;
            if (f.foreground().style() != Qt::NoBrush) {
                const QColor c = f.foreground().color().toRgb();
                if (!colours.contains(c))
                    colours << c;
            }
        }
    }
    if (fonts.isEmpty())
        fonts << tableName(doc.defaultFont().family());
    int symbolFont = -1;
    if (bullets) {
        symbolFont = int(fonts.size());
        fonts << QStringLiteral("Symbol");
    }

    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
    for (int i = 0; i < fonts.size(); ++i)
        out += QStringLiteral("{\\f%1\\fnil\\fcharset%2 %3;}")
                   .arg(i)
                   .arg(i == symbolFont ? 2 : 0)
                   .arg(fonts.at(i));
    out += QStringLiteral("}\r\n");
    if (!colours.isEmpty()) {
        out += QStringLiteral("{\\colortbl ;");
        for (const QColor& c : colours)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                       .arg(c.red())
                       .arg(c.green())
                       .arg(c.blue());
        out += QStringLiteral("}\r\n");
    }
    out += QStringLiteral("\\viewkind4\\uc1");

    RunFormat cur;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out += QStringLiteral("\\pard");
        const Qt::Alignment align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (b.textList())
            out += QStringLiteral("{\\pntext\\f%1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf%1\\pnindent0"
                                  "{\\pntxtb\\'B7}}\\fi-360\\li360")
                       .arg(symbolFont);
        if (align & Qt::AlignHCenter)
            out += QStringLiteral("\\qc");
        else if (align & (Qt::AlignRight | Qt::AlignTrailing))
            out += QStringLiteral("\\qr");
        else if (align & Qt::AlignJustify)
            out += QStringLiteral("\\qj");

        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            // Runs of characters the writer leaves out change no format.
            const QString text = escapeText(frag.text());
            if (text.isEmpty())
                continue;
            const QTextCharFormat f = frag.charFormat();
            RunFormat next;
            next.font = int(fonts.indexOf(familyOf(f, doc)));
            next.halfPoints = halfPointsOf(f, doc);
            if (f.foreground().style() != Qt::NoBrush)
                next.colour = int(colours.indexOf(f.foreground().color().toRgb())) + 1;
            next.bold = f.fontWeight() >= QFont::DemiBold;
            next.italic = f.fontItalic();
            next.underline = f.fontUnderline();
            next.strike = f.fontStrikeOut();
            next.valign = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                          : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? 2
                                                                                     : 0;
            if (next.colour != cur.colour)
                out += QStringLiteral("\\cf%1").arg(next.colour);
            if (next.font != cur.font)
                out += QStringLiteral("\\f%1").arg(next.font);
            if (next.halfPoints != cur.halfPoints)
                out += QStringLiteral("\\fs%1").arg(next.halfPoints);
            if (next.bold != cur.bold)
                out += next.bold ? QStringLiteral("\\b") : QStringLiteral("\\b0");
            if (next.italic != cur.italic)
                out += next.italic ? QStringLiteral("\\i") : QStringLiteral("\\i0");
            if (next.underline != cur.underline)
                out += next.underline ? QStringLiteral("\\ul") : QStringLiteral("\\ulnone");
            if (next.strike != cur.strike)
                out += next.strike ? QStringLiteral("\\strike") : QStringLiteral("\\strike0");
            if (next.valign != cur.valign)
                out += next.valign == 1   ? QStringLiteral("\\super")
                       : next.valign == 2 ? QStringLiteral("\\sub")
                                          : QStringLiteral("\\nosupersub");
            cur = next;
            out += QLatin1Char(' ');
            out += text;
        }
        out += QStringLiteral("\\par\r\n");
    }
    out += QLatin1Char('}');
    return out;
}

// ---------------------------------------------------------------- reading

namespace {

const ushort kCp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                            0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

QChar fromCodePage(int byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kCp1252[byte - 0x80]);
    return QChar(byte);
}

enum class Dest { Text, Skip, FontTable, ColourTable };

struct State {
    Dest dest = Dest::Text;
    int font = -1;
    int halfPoints = 24;
    int colour = 0;
    bool bold = false, italic = false, underline = false, strike = false;
    int valign = 0;
    int uc = 1;
};

struct Run {
    QString text;
    QTextCharFormat format;
};

struct Paragraph {
    Qt::Alignment align;
    bool bullet = false;
    QList<Run> runs;
};

class Reader {
public:
    explicit Reader(const QString& rtf) : m_rtf(rtf) {}
    QList<Paragraph> read();

private:
    void controlWord(const QString& word, bool hasNumber, int number);
    void addText(const QString& text);
    QTextCharFormat format() const;

    const QString& m_rtf;
    QList<State> m_groups;
    State m_state;
    QList<Paragraph> m_paras{Paragraph()};
    QMap<int, QString> m_fonts;
    int m_fontId = 0;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;
    int m_defaultFont = 0;
    int m_skipChars = 0;
    bool m_groupStart = false;
};

QTextCharFormat Reader::format() const {
    QTextCharFormat f;
    const int id = m_state.font >= 0 ? m_state.font : m_defaultFont;
    if (m_fonts.contains(id))
        f.setFontFamilies({m_fonts.value(id)});
    f.setFontPointSize(m_state.halfPoints / 2.0);
    f.setFontWeight(m_state.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(m_state.italic);
    f.setFontUnderline(m_state.underline);
    f.setFontStrikeOut(m_state.strike);
    // Entry 0 of the colour table is normally the automatic colour.
    if (m_state.colour >= 0 && m_state.colour < m_colours.size() &&
        m_colours.at(m_state.colour).isValid())
        f.setForeground(m_colours.at(m_state.colour));
    if (m_state.valign == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (m_state.valign == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

void Reader::addText(const QString& text) {
    QString t = text;
    if (m_skipChars > 0) {
        const int n = int(std::min<qsizetype>(m_skipChars, t.size()));
        t.remove(0, n);
        m_skipChars -= n;
    }
    if (t.isEmpty())
        return;
    switch (m_state.dest) {
    case Dest::Skip:
        return;
    case Dest::FontTable:
        for (const QChar c : t) {
            if (c == QLatin1Char(';')) {
                m_fonts.insert(m_fontId, m_fontName.trimmed());
                m_fontName.clear();
            } else {
                m_fontName += c;
            }
        }
        return;
    case Dest::ColourTable:
        for (const QChar c : t) {
            if (c == QLatin1Char(';')) {
                m_colours << (m_colourSet ? QColor(m_red, m_green, m_blue) : QColor());
                m_red = m_green = m_blue = 0;
                m_colourSet = false;
            }
        }
        return;
    case Dest::Text:
        break;
    }
    Paragraph& p = m_paras.last();
    const QTextCharFormat f = format();
    if (!p.runs.isEmpty() && p.runs.last().format == f)
        p.runs.last().text += t;
    else
        p.runs.append(Run{t, f});
}

void Reader::controlWord(const QString& w, bool hasNumber, int n) {
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    if (m_state.dest == Dest::Skip)
        return;
    if (m_state.dest == Dest::FontTable) {
        if (w == QLatin1String("f") && hasNumber)
            m_fontId = n;
        return;
    }
    if (m_state.dest == Dest::ColourTable) {
        if (w == QLatin1String("red"))
            m_red = std::clamp(n, 0, 255), m_colourSet = true;
        else if (w == QLatin1String("green"))
            m_green = std::clamp(n, 0, 255), m_colourSet = true;
        else if (w == QLatin1String("blue"))
            m_blue = std::clamp(n, 0, 255), m_colourSet = true;
        return;
    }
    static const QStringList skipped = {QStringLiteral("stylesheet"),
                                        QStringLiteral("info"),
                                        QStringLiteral("pict"),
                                        QStringLiteral("header"),
                                        QStringLiteral("footer"),
                                        QStringLiteral("listtable"),
                                        QStringLiteral("listoverridetable"),
                                        QStringLiteral("pn"),
                                        QStringLiteral("object"),
                                        QStringLiteral("footnote"),
                                        QStringLiteral("headerl"),
                                        QStringLiteral("headerr"),
                                        QStringLiteral("footerl"),
                                        QStringLiteral("footerr"),
                                        QStringLiteral("xmlnstbl"),
                                        QStringLiteral("rsidtbl"),
                                        QStringLiteral("generator")};
    if (w == QLatin1String("fonttbl")) {
        m_state.dest = Dest::FontTable;
    } else if (w == QLatin1String("colortbl")) {
        m_state.dest = Dest::ColourTable;
    } else if (w == QLatin1String("pntext")) {
        m_paras.last().bullet = true;
        m_state.dest = Dest::Skip;
    } else if (skipped.contains(w) && (groupStart || w == QLatin1String("pict"))) {
        m_state.dest = Dest::Skip;
    } else if (w == QLatin1String("deff")) {
        m_defaultFont = n;
    } else if (w == QLatin1String("par")) {
        Paragraph next;
        next.align = m_paras.last().align;
        next.bullet = m_paras.last().bullet;
        m_paras.append(next);
    } else if (w == QLatin1String("pard")) {
        m_paras.last().align = {};
        m_paras.last().bullet = false;
    } else if (w == QLatin1String("plain")) {
        const Dest d = m_state.dest;
        const int uc = m_state.uc;
        m_state = State();
        m_state.dest = d;
        m_state.uc = uc;
    } else if (w == QLatin1String("qc")) {
        m_paras.last().align = Qt::AlignHCenter;
    } else if (w == QLatin1String("qr")) {
        m_paras.last().align = Qt::AlignRight;
    } else if (w == QLatin1String("qj")) {
        m_paras.last().align = Qt::AlignJustify;
    } else if (w == QLatin1String("ql")) {
        m_paras.last().align = Qt::AlignLeft;
    } else if (w == QLatin1String("b")) {
        m_state.bold = !hasNumber || n != 0;
    } else if (w == QLatin1String("i")) {
        m_state.italic = !hasNumber || n != 0;
    } else if (w == QLatin1String("ul")) {
        m_state.underline = !hasNumber || n != 0;
    } else if (w == QLatin1String("ulnone")) {
        m_state.underline = false;
    } else if (w == QLatin1String("strike")) {
        m_state.strike = !hasNumber || n != 0;
    } else if (w == QLatin1String("super")) {
        m_state.valign = 1;
    } else if (w == QLatin1String("sub")) {
        m_state.valign = 2;
    } else if (w == QLatin1String("nosupersub")) {
        m_state.valign = 0;
    } else if (w == QLatin1String("f") && hasNumber) {
        m_state.font = n;
    } else if (w == QLatin1String("fs") && hasNumber && n > 0) {
        m_state.halfPoints = std::min(n, 3276);
    } else if (w == QLatin1String("cf") && hasNumber) {
        m_state.colour = n;
    } else if (w == QLatin1String("uc") && hasNumber) {
        m_state.uc = std::clamp(n, 0, 10);
    } else if (w == QLatin1String("u") && hasNumber) {
        addText(QString(QChar(ushort(n < 0 ? n + 65536 : n))));
        m_skipChars = m_state.uc;
    } else if (w == QLatin1String("tab")) {
        addText(QStringLiteral("\t"));
    } else if (w == QLatin1String("line")) {
        addText(QString(QChar(0x2028)));
    } else if (w == QLatin1String("bullet")) {
        addText(QString(QChar(0x2022)));
    } else if (w == QLatin1String("emdash")) {
        addText(QString(QChar(0x2014)));
    } else if (w == QLatin1String("endash")) {
        addText(QString(QChar(0x2013)));
    } else if (w == QLatin1String("lquote")) {
        addText(QString(QChar(0x2018)));
    } else if (w == QLatin1String("rquote")) {
        addText(QString(QChar(0x2019)));
    } else if (w == QLatin1String("ldblquote")) {
        addText(QString(QChar(0x201C)));
    } else if (w == QLatin1String("rdblquote")) {
        addText(QString(QChar(0x201D)));
    }
}

QList<Paragraph> Reader::read() {
    const qsizetype n = m_rtf.size();
    qsizetype i = 0;
    QString text;
    auto flush = [&]() {
        if (!text.isEmpty()) {
            addText(text);
            text.clear();
        }
    };
    while (i < n) {
        const QChar c = m_rtf[i];
        if (c == QLatin1Char('{')) {
            flush();
            if (m_groups.size() < 10000)
                m_groups.append(m_state);
            m_groupStart = true;
            ++i;
        } else if (c == QLatin1Char('}')) {
            flush();
            if (m_state.dest == Dest::FontTable && !m_fontName.trimmed().isEmpty()) {
                m_fonts.insert(m_fontId, m_fontName.trimmed());
                m_fontName.clear();
            }
            if (!m_groups.isEmpty())
                m_state = m_groups.takeLast();
            m_groupStart = false;
            ++i;
        } else if (c == QLatin1Char('\\')) {
            flush();
            ++i;
            if (i >= n)
                break;
            const QChar d = m_rtf[i];
            if (d.isLetter() && d.unicode() < 128) {
                const qsizetype start = i;
                while (i < n && m_rtf[i].unicode() < 128 && m_rtf[i].isLetter())
                    ++i;
                const QString word = m_rtf.mid(start, i - start);
                bool hasNumber = false;
                bool negative = false;
                qint64 number = 0;
                if (i < n && m_rtf[i] == QLatin1Char('-')) {
                    negative = true;
                    ++i;
                }
                while (i < n && m_rtf[i].unicode() >= '0' && m_rtf[i].unicode() <= '9') {
                    hasNumber = true;
                    number = std::min<qint64>(number * 10 + (m_rtf[i].unicode() - '0'), 1000000000);
                    ++i;
                }
                if (i < n && m_rtf[i] == QLatin1Char(' '))
                    ++i;
                controlWord(word, hasNumber, int(negative ? -number : number));
            } else if (d == QLatin1Char('\'')) {
                int v = 0;
                int digits = 0;
                ++i;
                while (digits < 2 && i < n) {
                    const int h = rtf::hexValue(m_rtf[i]);
                    if (h < 0)
                        break;
                    v = v * 16 + h;
                    ++digits;
                    ++i;
                }
                m_groupStart = false;
                if (m_skipChars > 0)
                    --m_skipChars;
                else if (digits == 2)
                    addText(QString(fromCodePage(v)));
            } else if (d == QLatin1Char('*')) {
                m_state.dest = Dest::Skip;
                ++i;
            } else if (d == QLatin1Char('~')) {
                addText(QStringLiteral(" "));
                ++i;
            } else if (d == QLatin1Char('\r') || d == QLatin1Char('\n')) {
                controlWord(QStringLiteral("par"), false, 0);
                ++i;
            } else if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}')) {
                text += d;
                ++i;
            } else {
                ++i; // \-, \_ and the like
            }
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            ++i;
        } else {
            m_groupStart = false;
            text += c;
            ++i;
        }
    }
    flush();
    // The control writes a paragraph mark after the last paragraph as well.
    if (m_paras.size() > 1 && m_paras.last().runs.isEmpty())
        m_paras.removeLast();
    return m_paras;
}

} // namespace

bool looksLikeRtf(const QString& text) {
    return text.trimmed().startsWith(QLatin1String("{\\rtf"));
}

bool rtfToDocument(const QString& rtf, QTextDocument& doc) {
    if (!looksLikeRtf(rtf))
        return false;
    Reader reader(rtf);
    const QList<Paragraph> paras = reader.read();

    doc.clear();
    QTextCursor cursor(&doc);
    QTextList* list = nullptr;
    bool first = true;
    for (const Paragraph& p : paras) {
        QTextBlockFormat bf;
        if (p.align.toInt() != 0)
            bf.setAlignment(p.align);
        if (first)
            cursor.setBlockFormat(bf);
        else
            cursor.insertBlock(bf, p.runs.isEmpty() ? QTextCharFormat() : p.runs.first().format);
        first = false;
        if (p.bullet) {
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(QTextListFormat::ListDisc);
        } else {
            list = nullptr;
        }
        for (const Run& r : p.runs)
            cursor.insertText(r.text, r.format);
    }
    doc.setModified(false);
    return true;
}

} // namespace quoteria
