#pragma once
// The demo database with a private data folder, as the board tests start from.
#include "board/displaywindow.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "testsupport.h"

#include <QRect>
#include <memory>

namespace quoteria::test {

struct BoardFixture : AppFixture {
    BoardFixture() : AppFixture(true) {
        if (!ready)
            qFatal("no database");
        ctx.dataFolder = env.dir();
        ctx.appFolder = QStringLiteral(QUOTERIA_SOURCE_DIR);
        ctx.session.currentThemeKey = themeKeyOf(db, demoThemeName());
    }
    // Moves the theme's media zone to px (pixels), e.g. inside the test platform's
    // small screen where the demo theme's zone does not fit.
    void placeMediaZone(const QRect& px) {
        // Stored in half twips: the layout doubles them.
        const int t = ctx.session.twipsPerPixel;
        db.exec(QStringLiteral("update tblpos set videoleft=?, videotop=?, videowidth=?, "
                               "videoheight=?"),
                {px.x() * t / 2, px.y() * t / 2, px.width() * t / 2, px.height() * t / 2});
    }
    // A shown board of the demo theme with the stored choices.
    std::unique_ptr<DisplayWindow> board() {
        auto w = std::make_unique<DisplayWindow>(
            ctx, BoardChoices::stored(settings, db, demoThemeName()));
        w->show();
        return w;
    }
};

} // namespace quoteria::test
