#pragma once
// Gives a widget its object name where it is made, so tests and the window's
// own lookups find it: m_ok = named(new QPushButton(this), "cmdOk").
#include <QLatin1String>
#include <QString>

namespace quoteria {

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace quoteria
