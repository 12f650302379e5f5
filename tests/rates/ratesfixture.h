#pragma once
// A fresh database, settings folder, message recorder and context per test.
#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/settingsstore.h"
#include "gui/dialogservice.h"
#include "testsupport.h"

#include <QtTest>

namespace quoteria::test {

struct RatesFixture {
    TestEnv env;
    Database db;
    SettingsStore settings;
    DataEvents events;
    AppContext ctx{db, settings, events};
    CurrencyStore& currencies = ctx.currencies;
    DialogRecorder dialogs;

    explicit RatesFixture(bool admin = true) {
        if (!env.makeDatabase(db))
            qFatal("cannot create the test database: %s", qPrintable(db.lastError()));
        ctx.session.userType = admin ? QStringLiteral("Admin") : QStringLiteral("User");
        ctx.dataFolder = env.dir();
        setDialogService(&dialogs);
    }
    ~RatesFixture() { setDialogService(nullptr); }

    // Adds a currency; returns its key.
    qint64 addCurrency(const QString& name, const QString& value1, int pos, bool active = true,
                       const QString& low = QStringLiteral("0.0001"),
                       const QString& high = QStringLiteral("1000"),
                       const QString& img = QString()) {
        QVariantMap r;
        r[currcol::Name] = name;
        r[currcol::Values[0]] = value1;
        for (int i = 1; i < 5; ++i)
            r[currcol::Values[i]] = QString();
        r[currcol::Img] = img;
        r[currcol::Active] = active ? 1 : 0;
        r[currcol::Pos] = pos;
        r[currcol::Low] = low.toDouble();
        r[currcol::High] = high.toDouble();
        r[currcol::State] = QStringLiteral("N");
        const qint64 key = db.insert(currcol::Table, r);
        if (key < 0)
            qFatal("cannot add a currency: %s", qPrintable(db.lastError()));
        return key;
    }

    QString column(qint64 key, const QString& col) {
        return db.scalar(QStringLiteral("select %1 from tblcurr where currAuto=?").arg(col), {key})
            .toString();
    }

    // A theme with a header row, chosen as the panel's current theme.
    qint64 addThemeWithHeader(const QString& name, const QStringList& captions) {
        const qint64 key =
            db.insert(QStringLiteral("tbltheme"), {{QStringLiteral("themename"), name}});
        QVariantMap h{{QStringLiteral("themeauto"), key}};
        for (int i = 0; i < captions.size(); ++i)
            h[QStringLiteral("head%1").arg(i + 1)] = captions.at(i);
        db.insert(QStringLiteral("tblheader"), h);
        settings.write(QStringLiteral("Disp"), QStringLiteral("theme"), QStringLiteral("name"),
                       name);
        return key;
    }

    // Makes every write to tblCurr fail, as a database that refuses the write does.
    void refuseWrites() {
        for (const char* op : {"UPDATE", "INSERT", "DELETE"})
            db.exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON tblCurr BEGIN "
                                   "SELECT RAISE(ABORT, 'disk is write-protected'); END")
                        .arg(QLatin1String(op)));
    }
};

} // namespace quoteria::test
