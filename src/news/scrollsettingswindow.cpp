#include "news/scrollsettingswindow.h"

#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/newsstore.h"
#include "gui/colorswatch.h"
#include "gui/dialogservice.h"
#include "gui/named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quoteria {

ScrollSettingsWindow::ScrollSettingsWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmScrollSettings"));
    setWindowTitle(QStringLiteral("Scroll Settings"));

    m_lblRef = named(new QLabel(this), "lblRef");
    m_lblRef->hide();
    m_lblClr1 = named(new ColorSwatch(this), "lblClr1");
    m_lblClr2 = named(new ColorSwatch(this), "lblClr2");
    m_lblClr1->setWinColor(0xFFFFFF);
    m_chkGrad = named(new QCheckBox(QStringLiteral("Enable Gradient"), this), "chkGrad");
    m_cmbSpeed = named(new QComboBox(this), "cmbSpeed");
    m_cmbSpeed->setEditable(true);
    for (int s = 5; s <= 100; s += 5)
        m_cmbSpeed->addItem(QString::number(s));
    m_cmbSpeed->setCurrentText(QStringLiteral("30"));
    m_cmbType = named(new QComboBox(this), "cmbType");
    m_cmbType->addItems({QStringLiteral("Left"), QStringLiteral("Right")});
    m_txtImage = named(new QLineEdit(this), "txtImage");
    m_txtImage->installEventFilter(this);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("Command1"));
    m_cmbDir = named(new QComboBox(this), "cmbDir");
    m_cmbDir->addItems({QStringLiteral("Right"), QStringLiteral("Left")});
    auto* saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setObjectName(QStringLiteral("Command3"));
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("Command2"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Back Color"), m_lblClr1);
    form->addRow(QStringLiteral("Gradient Color"), m_lblClr2);
    form->addRow(QString(), m_chkGrad);
    form->addRow(QStringLiteral("Scroll Speed"), m_cmbSpeed);
    form->addRow(QStringLiteral("Gradient Type"), m_cmbType);
    auto* image = new QHBoxLayout;
    image->addWidget(m_txtImage);
    image->addWidget(browse);
    form->addRow(QStringLiteral("Scroll Bullet"), image);
    form->addRow(QStringLiteral("Direction"), m_cmbDir);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_lblRef);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &ScrollSettingsWindow::browseImage);
    connect(saveButton, &QPushButton::clicked, this, &ScrollSettingsWindow::save);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

qint64 ScrollSettingsWindow::themeKey() const {
    return m_lblRef->text().toLongLong();
}

void ScrollSettingsWindow::getData() {
    const auto s = m_ctx.news.loadScrollSettings(themeKey());
    if (!s)
        return;
    m_lblClr1->setWinColor(s->backColor);
    m_lblClr2->setWinColor(s->gradColor);
    m_chkGrad->setChecked(s->gradient);
    m_cmbSpeed->setCurrentText(s->speed);
    if (!s->gradType.isEmpty())
        m_cmbType->setCurrentText(s->gradType);
    m_txtImage->setText(s->bullet);
    if (!s->direction.isEmpty())
        m_cmbDir->setCurrentText(s->direction);
}

bool ScrollSettingsWindow::saveData() {
    ScrollSettings s;
    s.themeKey = themeKey();
    s.backColor = m_lblClr1->winColor();
    s.gradColor = m_lblClr2->winColor();
    s.gradient = m_chkGrad->isChecked();
    s.speed = m_cmbSpeed->currentText();
    s.gradType = m_cmbType->currentText();
    s.bullet = m_txtImage->text();
    s.direction = m_cmbDir->currentText();
    QString error;
    if (!m_ctx.news.saveScrollSettings(s, &error)) {
        messages().show(error, MsgIcon::Critical);
        return false;
    }
    return true;
}

// The row is found by its theme, so adding and overwriting are the same write.
bool ScrollSettingsWindow::updateData() {
    return saveData();
}

void ScrollSettingsWindow::save() {
    if (saveData())
        close();
}

void ScrollSettingsWindow::browseImage() {
    QString folder;
    const QString current = m_txtImage->text();
    const qsizetype cut =
        std::max(current.lastIndexOf(QLatin1Char('\\')), current.lastIndexOf(QLatin1Char('/')));
    if (cut > 0)
        folder = current.left(cut);
    const QString path = dialogs().openFile(this, QStringLiteral("Scroll Bullet"), folder,
                                            QStringLiteral("Graphic Files (*.gif *.jpg)"));
    if (!path.isEmpty())
        m_txtImage->setText(path);
}

bool ScrollSettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtImage && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        m_txtImage->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quoteria
