#pragma once
// A fresh database with one theme that has neither layout nor header row, and the
// slot of the one window a test opens for it.
#include "testsupport.h"

#include <QPointer>

namespace quoteria::test {

template <typename W> struct ThemeFixture : AppFixture {
    QPointer<W> slot;
    qint64 key = db.insert(QStringLiteral("tbltheme"), {{"themename", "Plain"}});
    ~ThemeFixture() { delete slot.data(); }
};

} // namespace quoteria::test
