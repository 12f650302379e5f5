#pragma once
// " Select Clock": the clock faces shipped in files/clock, each shown running when
// chosen. "OK" puts the chosen file's name into the theme editor's clock field.
#include "board/clockface.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

namespace quoteria {

struct AppContext;

class ClockPicker : public QWidget {
    Q_OBJECT
public:
    explicit ClockPicker(AppContext& ctx, QWidget* parent = nullptr);

    // The field "OK" writes into; without one "OK" only closes.
    void setTarget(QLineEdit* field) { m_target = field; }
    // The faces on offer, by file name.
    QStringList faces() const;
    // The selected face's file name; empty when none is selected.
    QString selected() const;
    // "OK".
    void accept();
    // Redraws the running face at the current time.
    void tick();
    QLabel* preview() const { return m_preview; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fill();
    void showFace();

    AppContext& m_ctx;
    QListWidget* m_files;
    QLabel* m_preview;
    QTimer* m_timer;
    ClockFace m_face;
    QPointer<QLineEdit> m_target;
};

} // namespace quoteria
