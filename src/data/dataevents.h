#pragma once
// Tells open windows that rows changed, so a running board shows a saved rate at
// once instead of at its next timed refresh.
#include <QObject>

namespace quoteria {

class DataEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    // tblCurr values, names, flags or alarm states were written.
    void currenciesChanged();
    // tblscroll rows were written.
    void newsChanged();
    // tbltheme, tblpos, tblheader or tblss rows were written.
    void themesChanged();
    // tblVideo rows were written.
    void mediaChanged();
};

} // namespace quoteria
