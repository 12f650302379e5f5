#include "data/demodata.h"

#include "data/database.h"
#include "data/demomedia.h"
#include "data/newsstore.h"
#include "data/userstore.h"
#include "data/wincolor.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>

namespace quoteria {

namespace {

struct DemoCurrency {
    const char* name;
    const char* country; // ISO code of the flag picture
    const char* buy;
    const char* sell;
};

const DemoCurrency kCurrencies[] = {
    {"US DOLLAR", "us", "3.6650", "3.6750"},
    {"EURO", "eu", "3.9820", "4.0120"},
    {"POUND STERLING", "gb", "4.6310", "4.6690"},
    {"SWISS FRANC", "ch", "4.1570", "4.1930"},
    {"JAPANESE YEN", "jp", "0.0245", "0.0251"},
    {"CANADIAN DOLLAR", "ca", "2.6610", "2.6870"},
    {"AUSTRALIAN DOLLAR", "au", "2.4120", "2.4390"},
    {"NEW ZEALAND DOLLAR", "nz", "2.1980", "2.2250"},
    {"SWEDISH KRONA", "se", "0.3480", "0.3540"},
    {"NORWEGIAN KRONE", "no", "0.3390", "0.3450"},
    {"DANISH KRONE", "dk", "0.5330", "0.5390"},
    {"POLISH ZLOTY", "pl", "0.9210", "0.9340"},
    {"CZECH KORUNA", "cz", "0.1590", "0.1620"},
    {"TURKISH LIRA", "tr", "0.1070", "0.1110"},
    {"CHINESE YUAN", "cn", "0.5060", "0.5130"},
    {"INDIAN RUPEE", "in", "0.0436", "0.0442"},
    {"SAUDI RIYAL", "sa", "0.9760", "0.9810"},
    {"SINGAPORE DOLLAR", "sg", "2.7420", "2.7710"},
    {"HONG KONG DOLLAR", "hk", "0.4690", "0.4730"},
    {"SOUTH AFRICAN RAND", "za", "0.1990", "0.2040"},
};

bool addTheme(Database& db, NewsStore& news) {
    QVariantMap t;
    t[QStringLiteral("themename")] = demoThemeName();
    t[QStringLiteral("cols")] = 7;
    t[QStringLiteral("rows")] = 12;
    // flag; name; value 1 ... value 5 (0 hides a value column)
    t[QStringLiteral("colwidth")] = QStringLiteral("600;2400;1600;1600;0;0;0");
    t[QStringLiteral("rowheight")] = 200;
    t[QStringLiteral("logo")] = QString();
    t[QStringLiteral("displaytime")] = 1;
    t[QStringLiteral("clockfile")] = QString();
    t[QStringLiteral("fonttime")] = QStringLiteral("Liberation Sans");
    t[QStringLiteral("sizetime")] = 20;
    t[QStringLiteral("clrtime")] = winRgb(255, 255, 255);
    t[QStringLiteral("rowbgcolor")] = winRgb(16, 42, 82);
    t[QStringLiteral("linecolor")] = winRgb(6, 20, 44);
    t[QStringLiteral("altrowcolor")] = winRgb(22, 52, 96);
    t[QStringLiteral("BGimage")] = QString();
    t[QStringLiteral("hdfont")] = QStringLiteral("Liberation Sans");
    t[QStringLiteral("hdclrbg")] = winRgb(200, 150, 30);
    t[QStringLiteral("hdfntclr")] = winRgb(10, 20, 40);
    t[QStringLiteral("hdfntsize")] = 14;
    t[QStringLiteral("fntcrr")] = QStringLiteral("Liberation Sans");
    t[QStringLiteral("sizecrr")] = 14;
    t[QStringLiteral("clrcrr")] = winRgb(255, 255, 255);
    t[QStringLiteral("bgcrr")] = winRgb(16, 42, 82);
    t[QStringLiteral("fntval")] = QStringLiteral("Liberation Mono");
    t[QStringLiteral("sizeval")] = 15;
    t[QStringLiteral("clrval")] = winRgb(255, 220, 120);
    t[QStringLiteral("bgval")] = winRgb(16, 42, 82);
    t[QStringLiteral("type")] = QStringLiteral("Vertical");
    t[QStringLiteral("bgcolor")] = winRgb(6, 20, 44);
    t[QStringLiteral("vgap")] = 20;
    t[QStringLiteral("video")] = QString();
    t[QStringLiteral("online")] = QString();
    t[QStringLiteral("volume")] = 5;
    t[QStringLiteral("media")] = QStringLiteral("None");
    t[QStringLiteral("ttlname")] = QStringLiteral("FOREIGN EXCHANGE RATES #");
    t[QStringLiteral("ttlfont")] = QStringLiteral("Liberation Sans");
    t[QStringLiteral("ttlcolor")] = winRgb(255, 255, 255);
    t[QStringLiteral("ttlsize")] = 24;
    t[QStringLiteral("scroll")] = 0;
    t[QStringLiteral("tformat")] = QStringLiteral("dd-MMM-yyyy HH:mm");
    t[QStringLiteral("ttlBGEnable")] = 1;
    t[QStringLiteral("ttlBG")] = winRgb(12, 60, 120);
    t[QStringLiteral("img1")] = QString();
    t[QStringLiteral("img2")] = QString();
    t[QStringLiteral("hgap")] = 20;
    t[QStringLiteral("SBG")] = winRgb(200, 150, 30);
    t[QStringLiteral("NBGimg")] = QString();
    t[QStringLiteral("SWidth")] = 1366;
    t[QStringLiteral("SHeight")] = 768;
    const qint64 key = db.insert(QStringLiteral("tbltheme"), t);
    if (key < 0)
        return false;

    // Zones in twips of the half-size design surface of a 1366 x 768 screen
    // (15 twips per pixel: 10245 x 5760).
    struct Zone {
        const char* stem;
        int l, t, w, h;
    };
    const Zone zones[] = {
        {"logo", 60, 60, 1400, 900},   {"time", 7900, 60, 2285, 900},
        {"tbl", 60, 1040, 6420, 4230}, {"video", 6560, 1040, 3625, 4230},
        {"me", 0, 0, 10245, 5760},     {"ttl", 1520, 230, 6320, 560},
        {"news", 0, 5330, 10245, 430},
    };
    QVariantMap p;
    p[QStringLiteral("themeauto")] = key;
    for (const Zone& z : zones) {
        const QString s = QString::fromLatin1(z.stem);
        p[s + QLatin1String("left")] = z.l;
        p[s + QLatin1String("top")] = z.t;
        p[s + QLatin1String("width")] = z.w;
        p[s + QLatin1String("height")] = z.h;
    }
    if (db.insert(QStringLiteral("tblpos"), p) < 0)
        return false;

    QVariantMap h;
    h[QStringLiteral("themeauto")] = key;
    h[QStringLiteral("head1")] = QStringLiteral("CURRENCY");
    h[QStringLiteral("head2")] = QStringLiteral("WE BUY");
    h[QStringLiteral("head3")] = QStringLiteral("WE SELL");
    h[QStringLiteral("head4")] = QString();
    h[QStringLiteral("head5")] = QString();
    h[QStringLiteral("head6")] = QString();
    h[QStringLiteral("head7")] = QStringLiteral(" ");
    if (db.insert(QStringLiteral("tblheader"), h) < 0)
        return false;

    ScrollSettings ss;
    ss.themeKey = key;
    ss.backColor = winRgb(200, 150, 30);
    ss.gradColor = winRgb(255, 255, 255);
    ss.speed = QStringLiteral("30");
    ss.gradType = QStringLiteral("Left");
    ss.direction = QStringLiteral("Left");
    return news.saveScrollSettings(ss);
}

bool addCurrencies(Database& db, const QString& flags) {
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    int pos = 1;
    for (const DemoCurrency& c : kCurrencies) {
        QString img;
        if (!flags.isEmpty()) {
            for (const char* ext : {".png", ".svg"}) {
                const QString f =
                    flags + QLatin1Char('/') + QLatin1String(c.country) + QLatin1String(ext);
                if (QFileInfo::exists(f)) {
                    img = f;
                    break;
                }
            }
        }
        QVariantMap r;
        r[QStringLiteral("currName")] = QLatin1String(c.name);
        r[QStringLiteral("colum1")] = QLatin1String(c.buy);
        r[QStringLiteral("colum2")] = QLatin1String(c.sell);
        for (int i = 3; i <= 5; ++i)
            r[QStringLiteral("colum%1").arg(i)] = QString();
        r[QStringLiteral("img")] = img;
        r[QStringLiteral("active")] = 1;
        for (int i = 1; i <= 5; ++i)
            r[QStringLiteral("cell%1").arg(i)] = QString();
        r[QStringLiteral("pos")] = pos++;
        r[QStringLiteral("low")] = 0.0001;
        r[QStringLiteral("high")] = 1000;
        r[QStringLiteral("vstate")] = QStringLiteral("N");
        r[QStringLiteral("updateTime")] = now;
        if (db.insert(QStringLiteral("tblCurr"), r) < 0)
            return false;
    }
    return true;
}

QString escapeRtf(const QString& s) {
    QString out;
    for (const QChar ch : s) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('{') || ch == QLatin1Char('}'))
            out += QLatin1Char('\\');
        out += ch;
    }
    return out;
}

bool addNews(NewsStore& news) {
    struct News {
        const char* text;
        const char* direction;
        const char* font;
        int size;
        qint64 color;
        int bold;
    };
    const News items[] = {
        {"Welcome to our exchange counter - open every day from 9:00 to 21:00", "Left",
         "Liberation Sans", 20, winRgb(10, 20, 40), 1},
        {"Rates are indicative and may change without notice", "Left", "Liberation Serif", 20,
         winRgb(120, 0, 0), 0},
        {"No commission on US dollar and euro cash", "Right", "Liberation Sans", 20,
         winRgb(0, 60, 20), 1},
        {"Ask our staff about money transfer services", "Right", "Liberation Sans", 20,
         winRgb(10, 20, 40), 0},
    };
    for (const News& n : items) {
        NewsMessage m;
        m.message = QLatin1String(n.text);
        m.rtf = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 %1;}}\\f0\\fs%2 %3\\par }")
                    .arg(QLatin1String(n.font))
                    .arg(n.size * 2)
                    .arg(escapeRtf(m.message));
        m.html = m.message.toHtmlEscaped();
        m.active = true;
        m.fontName = QLatin1String(n.font);
        m.fontSize = QString::number(n.size);
        m.fontColor = n.color;
        m.bold = n.bold != 0;
        m.italic = false;
        m.direction = QLatin1String(n.direction);
        if (news.save(m) < 0)
            return false;
    }
    return true;
}

} // namespace

QString demoThemeName() {
    return QStringLiteral("Demo Board");
}

QString defaultFlagsFolder() {
    for (const char* f : {"/usr/share/iso-flags-png-320x240",
                          "/usr/share/iso-flags-svg/country-squared", "/usr/share/iso-flags-svg"})
        if (QDir(QLatin1String(f)).exists())
            return QLatin1String(f);
    return QString();
}

bool populateNewDatabase(Database& db, const NewDatabaseOptions& options) {
    Database::Transaction tx(db);
    if (!tx.active())
        return false;
    // Nobody listens to a database still being built: stores of its own, unannounced.
    UserStore users(db);
    if (users.add(QStringLiteral("ADMIN"), options.adminPassword, QStringLiteral("Admin")) !=
        UserStore::AddResult::Added)
        return false;
    if (!users.createOnlineSource(OnlineSource{}))
        return false;

    if (options.demo) {
        const QString flags =
            options.flagsFolder.isEmpty() ? defaultFlagsFolder() : options.flagsFolder;
        NewsStore news(db);
        if (!addTheme(db, news) || !addCurrencies(db, flags) || !addNews(news))
            return false;
        bool video = false;
        if (!options.mediaFolder.isEmpty() && !addDemoMedia(db, options.mediaFolder, &video))
            return false;
        // The zone plays the video when there is one.
        if (video) {
            bool ok = false;
            db.exec(QStringLiteral("update tbltheme set media=? where themename=?"),
                    {QStringLiteral("Video"), demoThemeName()}, &ok);
            if (!ok)
                return false;
        }
    }
    return tx.commit();
}

bool setDemoCurrencyCount(Database& db, int count) {
    const QVector<QSqlRecord> demo =
        db.fetchAll(QStringLiteral("select * from tblCurr order by pos"));
    if (demo.isEmpty())
        return count <= 0;
    // Copies of the demonstration rows, each with a value of its own.
    for (int i = int(demo.size()); i < count; ++i) {
        QVariantMap r;
        const QSqlRecord& src = demo[i % demo.size()];
        for (const char* c : {"currName", "colum1", "colum2", "img", "vstate"})
            r[QLatin1String(c)] = src.value(QLatin1String(c));
        r[QStringLiteral("colum3")] = QString::number(1.0 + i / 100.0, 'f', 4);
        r[QStringLiteral("active")] = 1;
        r[QStringLiteral("pos")] = i + 1;
        if (db.insert(QStringLiteral("tblCurr"), r) < 0)
            return false;
    }
    bool ok = false;
    db.exec(QStringLiteral("update tblCurr set active=? where pos>?"), {0, count}, &ok);
    return ok;
}

} // namespace quoteria
