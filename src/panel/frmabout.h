#pragma once
// "Developed By": the program's name and version.
#include <QWidget>

namespace quoteria {

class FrmAbout : public QWidget {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent = nullptr);
};

} // namespace quoteria
