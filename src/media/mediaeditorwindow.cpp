#include "media/mediaeditorwindow.h"

#include "data/appcontext.h"
#include "data/mediastore.h"
#include "data/messageservice.h"
#include "gui/dialogservice.h"
#include "gui/named.h"
#include "media/mediagallery.h"

#include <QApplication>
#include <QAudioOutput>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <QVideoWidget>

namespace quoteria {

const QString MediaEditorWindow::kNoFile = QStringLiteral("Please select a file");

namespace {

const QString kSwfRefused = QStringLiteral(
    "A Flash movie cannot be played here: the board leaves the media zone empty for it.");

// The wait cursor for as long as a file is copied.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

MediaEditorWindow::MediaEditorWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmVideo"));
    setWindowTitle(QStringLiteral("Select Video"));

    m_txtName = named(new QLineEdit(this), "txtName");
    auto* browseButton = named(new QPushButton(QStringLiteral("..."), this), "Command1");
    m_txtDesc = named(new QLineEdit(this), "txtDesc");
    m_cmbType = named(new QComboBox(this), "cmbType");
    m_cmbType->addItems({MediaStore::kVideo, MediaStore::kPicture, MediaStore::kFlash});
    m_cmbType->setCurrentIndex(1);
    m_chkActive = named(new QCheckBox(QStringLiteral("Active"), this), "chkActive");
    m_chkFull = named(new QCheckBox(QStringLiteral("Full Screen"), this), "chkFull");
    m_lblRef = named(new QLabel(this), "lblRef");
    m_lblRef->hide();
    m_screen = named(new QVideoWidget(this), "VideoCapX");
    m_screen->setMinimumSize(320, 240);
    auto* saveButton = named(new QPushButton(QStringLiteral("Save"), this), "Command2");
    auto* previewButton = named(new QPushButton(QStringLiteral("Preview"), this), "Command3");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("File"), this), 0, 0);
    grid->addWidget(m_txtName, 0, 1);
    grid->addWidget(browseButton, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Description"), this), 1, 0);
    grid->addWidget(m_txtDesc, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Type"), this), 2, 0);
    grid->addWidget(m_cmbType, 2, 1, 1, 2);
    auto* flags = new QHBoxLayout;
    flags->addWidget(m_chkActive);
    flags->addWidget(m_chkFull);
    flags->addStretch();
    grid->addLayout(flags, 3, 1, 1, 2);
    grid->addWidget(m_screen, 4, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(previewButton);
    buttons->addWidget(saveButton);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(browseButton, &QPushButton::clicked, this, &MediaEditorWindow::browse);
    connect(saveButton, &QPushButton::clicked, this, &MediaEditorWindow::save);
    connect(previewButton, &QPushButton::clicked, this, &MediaEditorWindow::preview);
    connect(m_txtName, &QLineEdit::textChanged, this, &MediaEditorWindow::nameChanged);
}

QString MediaEditorWindow::filterFor(const QString& type) {
    if (type == MediaStore::kVideo)
        return QStringLiteral("Media Files (*.avi *.dat *.mpg *.wmv *.jpg)");
    if (type == MediaStore::kFlash)
        return QStringLiteral("Flash Files (*.swf)");
    return QStringLiteral("Media Files (*.jpg *.bmp *.png *.gif)");
}

void MediaEditorWindow::clear() {
    if (m_player)
        m_player->stop();
    m_lblRef->clear();
    m_txtName->clear();
    m_tag.clear();
    m_txtDesc->clear();
    m_cmbType->setCurrentIndex(1);
    m_chkActive->setChecked(false);
    m_chkFull->setChecked(false);
}

void MediaEditorWindow::getData() {
    const auto item = m_ctx.media.load(m_lblRef->text().toLongLong());
    if (!item)
        return;
    m_txtName->setText(item->fileName);
    m_tag = item->fileName;
    m_txtDesc->setText(item->description);
    m_chkActive->setChecked(item->active);
    // The stored type wins over the one guessed from the file name.
    m_cmbType->setCurrentText(item->type);
    m_chkFull->setChecked(item->fullScreen);
}

void MediaEditorWindow::nameChanged(const QString& text) {
    if (isPictureFile(text))
        m_cmbType->setCurrentText(MediaStore::kPicture);
}

void MediaEditorWindow::browse() {
    const QString path =
        dialogs().openFile(this, QString(), QString(), filterFor(m_cmbType->currentText()));
    if (path.isEmpty())
        return;
    m_txtName->setText(path);
    if (QFileInfo(path).suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0)
        messages().show(kSwfRefused);
}

bool MediaEditorWindow::save() {
    if (m_txtName->text().isEmpty()) {
        messages().show(kNoFile);
        return false;
    }
    MediaEdit e;
    e.key = m_lblRef->text().toLongLong();
    e.chosenPath = m_txtName->text();
    e.loadedPath = m_tag;
    e.description = m_txtDesc->text();
    e.active = m_chkActive->isChecked();
    e.type = m_cmbType->currentText();
    e.fullScreen = m_chkFull->isChecked();
    QString error;
    QString staged;
    if (copyIsDue(m_ctx.dataFolder, e)) {
        // A video can take a while: the copy runs beside the window thread, so the
        // board keeps moving while the operator waits.
        const WaitCursor wait;
        setEnabled(false);
        QEventLoop loop;
        QThread* copier = QThread::create(
            [&] { staged = stageCopy(e.chosenPath, galleryFolder(m_ctx.dataFolder), &error); });
        connect(copier, &QThread::finished, &loop, &QEventLoop::quit);
        copier->start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        copier->wait();
        delete copier;
        setEnabled(true);
        if (staged.isEmpty()) {
            messages().show(error, MsgIcon::Critical);
            return false;
        }
    }
    const qint64 key = saveMediaItem(m_ctx.media, m_ctx.dataFolder, e, &error, staged);
    if (!staged.isEmpty())
        QFile::remove(staged); // left over when the item pointed at it already
    if (key < 0) {
        // The editor stays open with the typing, so the operator can choose again.
        messages().show(error, MsgIcon::Critical);
        return false;
    }
    // The list refills when the store announces the write.
    close();
    return true;
}

void MediaEditorWindow::hideEvent(QHideEvent* event) {
    // A preview does not go on playing behind a closed editor.
    if (m_player)
        m_player->stop();
    QWidget::hideEvent(event);
}

void MediaEditorWindow::preview() {
    const QString path = m_txtName->text();
    // A file that cannot be opened is not previewed.
    if (!QFileInfo(path).isFile())
        return;
    if (!m_player) {
        m_player = new QMediaPlayer(this);
        m_audio = new QAudioOutput(this);
        m_player->setAudioOutput(m_audio);
        m_player->setVideoOutput(m_screen);
    }
    // The board's volume scale, 0 to 10.
    m_audio->setVolume(qBound(0, m_ctx.session.videoVolume * 10, 100) / 100.0);
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}

} // namespace quoteria
