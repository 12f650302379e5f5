#pragma once
// Unsaved edits of a theme, so an open preview can show them before they are
// stored. Each editor publishes the part it edits and withdraws it when it closes;
// nothing here touches the database.
#include "data/themestore.h"

#include <QHash>
#include <QObject>
#include <optional>

namespace quoteria {

class ThemeDrafts : public QObject {
    Q_OBJECT
public:
    // Which editor a draft comes from.
    enum Part {
        ThemeRow, // the theme editor: every tbltheme value
        Layout,   // the layout designer: the zone rectangles
        Header,   // the header editor: the column captions
    };

    using QObject::QObject;

    // The theme row as edited; the layout and header of `edited` are ignored.
    void setThemeRow(qint64 key, const BoardTheme& edited);
    // The zones as placed, in stored (half-scale) twips.
    void setLayout(qint64 key, const double zone[BoardTheme::ZoneCount][4]);
    // The six captions head1 ... head6.
    void setHeader(qint64 key, const QString head[6]);
    // Withdraws one part (the editor closed or saved).
    void clear(qint64 key, Part part);

    bool has(qint64 key) const { return m_drafts.contains(key); }
    // `stored` with every draft part of its key laid over it.
    BoardTheme apply(const BoardTheme& stored) const;

Q_SIGNALS:
    // A draft of theme `key` was set or withdrawn.
    void changed(qint64 key);

private:
    struct Draft {
        std::optional<BoardTheme> row;
        bool hasLayout = false;
        double zone[BoardTheme::ZoneCount][4] = {};
        bool hasHeader = false;
        QString head[6];
    };
    QHash<qint64, Draft> m_drafts;
};

} // namespace quoteria
