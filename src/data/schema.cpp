#include "data/schema.h"

namespace quoteria {

QStringList TableDef::columnNames() const {
    QStringList out;
    for (const ColumnDef& c : columns)
        out << c.name;
    return out;
}

QString TableDef::column(const QString& n) const {
    for (const ColumnDef& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return c.name;
    return QString();
}

namespace schema {

namespace {

const QString kKey = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
const QString kText = QStringLiteral("TEXT");
const QString kInt = QStringLiteral("INTEGER");
const QString kNum = QStringLiteral("NUMERIC");
const QString kReal = QStringLiteral("REAL");

QVector<ColumnDef> cols(std::initializer_list<std::pair<const char*, QString>> list) {
    QVector<ColumnDef> out;
    for (const auto& p : list)
        out.append({QString::fromLatin1(p.first), p.second});
    return out;
}

QVector<ColumnDef> numbered(const char* stem, int from, int to, const QString& decl) {
    QVector<ColumnDef> out;
    for (int i = from; i <= to; ++i)
        out.append({QString::fromLatin1(stem) + QString::number(i), decl});
    return out;
}

QVector<TableDef> build() {
    QVector<TableDef> t;

    TableDef curr{QStringLiteral("tblCurr"), cols({{"currAuto", kKey}, {"currName", kText}}), {}};
    curr.columns += numbered("colum", 1, 5, kText);
    curr.columns += cols({{"img", kText}, {"active", kInt}});
    curr.columns += numbered("cell", 1, 5, kText);
    // pos is ordinal 14: the online upload copies ordinals 1 to 14 by position.
    curr.columns += cols({{"pos", QStringLiteral("INTEGER UNIQUE")},
                          {"low", QStringLiteral("NUMERIC DEFAULT 0.0001")},
                          {"high", QStringLiteral("NUMERIC DEFAULT 1000")},
                          {"vstate", QStringLiteral("TEXT DEFAULT 'N'")},
                          {"updateTime", kText}});
    curr.extraSql << QStringLiteral("CREATE INDEX idx_tblCurr_active_pos ON tblCurr(active, pos)");
    t.append(curr);

    TableDef theme{QStringLiteral("tbltheme"),
                   cols({{"themeauto", kKey},  {"themename", kText},  {"cols", kNum},
                         {"rows", kNum},       {"colwidth", kText},   {"rowheight", kNum},
                         {"logo", kText},      {"displaytime", kInt}, {"clockfile", kText},
                         {"fonttime", kText},  {"sizetime", kNum},    {"clrtime", kInt},
                         {"rowbgcolor", kInt}, {"linecolor", kInt},   {"altrowcolor", kInt},
                         {"BGimage", kText},   {"hdfont", kText},     {"hdclrbg", kInt},
                         {"hdfntclr", kInt},   {"hdfntsize", kNum},   {"fntcrr", kText},
                         {"sizecrr", kNum},    {"clrcrr", kInt},      {"bgcrr", kInt},
                         {"fntval", kText},    {"sizeval", kNum},     {"clrval", kInt},
                         {"bgval", kInt},      {"type", kText},       {"bgcolor", kInt},
                         {"vgap", kNum},       {"video", kText},      {"online", kText},
                         {"volume", kNum},     {"media", kText},      {"ttlname", kText},
                         {"ttlfont", kText},   {"ttlcolor", kInt},    {"ttlsize", kNum},
                         {"scroll", kInt},     {"tformat", kText},    {"ttlBGEnable", kInt},
                         {"ttlBG", kInt},      {"img1", kText},       {"img2", kText},
                         {"hgap", kNum},       {"SBG", kInt},         {"NBGimg", kText},
                         {"SWidth", kNum},     {"SHeight", kNum}}),
                   {}};
    t.append(theme);

    TableDef pos{QStringLiteral("tblpos"), cols({{"posauto", kKey}, {"themeauto", kInt}}), {}};
    for (const char* zone : {"logo", "time", "tbl", "video", "me", "ttl", "news"})
        for (const char* edge : {"left", "top", "width", "height"})
            pos.columns.append({QString::fromLatin1(zone) + QString::fromLatin1(edge), kReal});
    pos.extraSql << QStringLiteral("CREATE INDEX idx_tblpos_theme ON tblpos(themeauto)");
    t.append(pos);

    TableDef header{QStringLiteral("tblheader"),
                    cols({{"themeauto", QStringLiteral("INTEGER PRIMARY KEY")}}),
                    {}};
    header.columns += numbered("head", 1, 7, kText);
    t.append(header);

    t.append({QStringLiteral("tblscroll"),
              cols({{"scrollAuto", kKey},
                    {"message", kText},
                    {"messageRtf", kText},
                    {"messageHtml", kText},
                    {"active", kInt},
                    {"fontname", kText},
                    {"fontsize", kText},
                    {"fontcolor", kInt},
                    {"fontbold", kInt},
                    {"fontitalic", kInt},
                    {"direction", kText}}),
              {}});

    t.append({QStringLiteral("tblVideo"),
              cols({{"vidAuto", kKey},
                    {"filename", kText},
                    {"description", kText},
                    {"active", kInt},
                    {"type", kText},
                    {"fullscreen", kInt}}),
              {}});

    t.append({QStringLiteral("tblss"),
              cols({{"ssauto", kKey},
                    {"themeauto", kInt},
                    {"backcolor", kInt},
                    {"gradcolor", kInt},
                    {"gradient", kInt},
                    {"speed", kText},
                    {"gradtype", kText},
                    {"bullet", kText},
                    {"sdirection", kText}}),
              {QStringLiteral("CREATE INDEX idx_tblss_theme ON tblss(themeauto)")}});

    t.append({QStringLiteral("tbluser"),
              cols({{"userautokey", kKey},
                    {"username", QStringLiteral("TEXT COLLATE NOCASE")},
                    {"userpass", QStringLiteral("TEXT COLLATE NOCASE")},
                    {"usertype", kText}}),
              {}});

    TableDef dbrow{QStringLiteral("tblDatabase"),
                   cols({{"dataID", QStringLiteral("INTEGER PRIMARY KEY")},
                         {"host", kText},
                         {"dbname", kText},
                         {"dbuser", kText},
                         {"dbpass", kText}}),
                   {}};
    dbrow.columns += numbered("colum", 1, 5, kInt);
    for (int i = 5; i < 10; ++i)
        dbrow.columns[i].name += QLatin1String("flag");
    dbrow.columns += cols({{"autoupdate", kInt}, {"interval", kInt}});
    t.append(dbrow);

    // Which rate was shown when: one row per changed value column.
    t.append({QStringLiteral("tblRateHistory"),
              cols({{"histAuto", kKey},
                    {"changedAt", kText}, // yyyy-MM-dd HH:mm:ss, sorts as it reads
                    {"currAuto", kInt},
                    {"currName", kText},
                    {"colum", kInt}, // 1 to 5
                    {"oldText", kText},
                    {"newText", kText},
                    {"source", kText},
                    {"operatorName", kText}}),
              {QStringLiteral("CREATE INDEX idx_tblRateHistory_time ON tblRateHistory(changedAt)"),
               QStringLiteral("CREATE INDEX idx_tblRateHistory_curr ON "
                              "tblRateHistory(currAuto, changedAt)")},
              2});
    return t;
}

} // namespace

const QVector<TableDef>& tables() {
    static const QVector<TableDef> all = build();
    return all;
}

const TableDef* table(const QString& name) {
    for (const TableDef& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString createSql(const TableDef& t) {
    QStringList parts;
    for (const ColumnDef& c : t.columns)
        parts << QLatin1Char('"') + c.name + QLatin1String("\" ") + c.decl;
    return QLatin1String("CREATE TABLE \"") + t.name + QLatin1String("\" (") +
           parts.join(QLatin1String(", ")) + QLatin1Char(')');
}

} // namespace schema
} // namespace quoteria
