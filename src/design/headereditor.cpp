#include "design/headereditor.h"

#include "data/appcontext.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "design/themeeditoropen.h"
#include "gui/named.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quoteria {

namespace {
constexpr int kSpacer = 6; // Text7, head7
} // namespace

HeaderEditor::HeaderEditor(AppContext& ctx, QWidget* owner)
    : QWidget(owner, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmHeader"));
    setWindowTitle(QStringLiteral("Header Details"));

    m_lblRef = named(new QLabel(this), "lblRef");
    m_lblRef->hide();
    for (int k = 0; k < 7; ++k) {
        m_text[k] = named(new QLineEdit(this), QStringLiteral("Text%1").arg(k + 1));
        connect(m_text[k], &QLineEdit::textEdited, this, &HeaderEditor::publishDraft);
    }
    auto* saveButton = named(new QPushButton(QStringLiteral("&Save"), this), "cmdSave");
    auto* closeButton = named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");

    // The currency name column is the wide one.
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Flag Space"), this), 0, 0);
    grid->addWidget(m_text[kSpacer], 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Coumn 1"), this), 1, 0);
    grid->addWidget(m_text[0], 1, 1, 1, 2);
    for (int k = 1; k < 6; ++k) {
        grid->addWidget(new QLabel(QStringLiteral("Coumn %1").arg(k + 1), this), k + 1, 0);
        grid->addWidget(m_text[k], k + 1, 1);
    }
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_lblRef);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, &HeaderEditor::save);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

qint64 HeaderEditor::themeKey() const {
    return qMax<qint64>(0, m_lblRef->text().toLongLong());
}

void HeaderEditor::getData() {
    const auto row = m_ctx.themes.loadHeaderRow(themeKey());
    if (!row)
        return;
    for (int k = 0; k < 7; ++k)
        m_text[k]->setText(row->head[k]);
}

bool HeaderEditor::saveData() {
    // Only a saved theme has a header row.
    if (themeKey() <= 0)
        return true;
    HeaderRow row;
    for (int k = 0; k < 7; ++k)
        row.head[k] = m_text[k]->text();
    QString error;
    if (!m_ctx.themes.saveHeaderRow(themeKey(), row, &error)) {
        messages().show(error, MsgIcon::Critical);
        return false;
    }
    return true;
}

bool HeaderEditor::save() {
    if (m_text[0]->text().isEmpty()) {
        messages().show(QStringLiteral("Enter atleast one column name"));
        return false;
    }
    const QString spacer = m_text[kSpacer]->text();
    if (countOccurrences(spacer, QStringLiteral(" "), false) != spacer.size()) {
        messages().show(QStringLiteral("Plese flag spaces accept only  spaces"));
        return false;
    }
    if (!saveData())
        return false;
    close();
    return true;
}

void HeaderEditor::publishDraft() {
    const qint64 key = themeKey();
    if (key <= 0)
        return;
    QString head[6];
    for (int k = 0; k < 6; ++k)
        head[k] = m_text[k]->text();
    m_ctx.drafts.setHeader(key, head);
}

void HeaderEditor::closeEvent(QCloseEvent* event) {
    if (const qint64 key = themeKey(); key > 0)
        m_ctx.drafts.clear(key, ThemeDrafts::Header);
    QWidget::closeEvent(event);
}

HeaderEditor* showHeaderEditor(QPointer<HeaderEditor>& slot, AppContext& ctx, qint64 key,
                               QWidget* owner) {
    return openForTheme(slot, key, [&] { return new HeaderEditor(ctx, owner); });
}

} // namespace quoteria
