#include "media/alarmplayer.h"

#include "data/messageservice.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace quoteria {

MediaAlarmPlayer::MediaAlarmPlayer(QObject* parent)
    : QObject(parent), m_player(new QMediaPlayer(this)), m_output(new QAudioOutput(this)) {
    m_player->setObjectName(QStringLiteral("mp"));
    m_player->setAudioOutput(m_output);
    // An unplayable alarm file is not the operator's business at that moment: log only.
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) {
                logLine(QStringLiteral("alarm sound %1: %2").arg(m_source, text));
                // A broken file must not count as playing, or no alarm would sound again.
                m_player->stop();
            });
}

MediaAlarmPlayer::~MediaAlarmPlayer() {
    m_player->stop();
}

bool MediaAlarmPlayer::isPlaying() const {
    return m_player->playbackState() == QMediaPlayer::PlayingState &&
           m_player->mediaStatus() != QMediaPlayer::InvalidMedia;
}

void MediaAlarmPlayer::play(const QString& path) {
    m_source = path;
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}

void MediaAlarmPlayer::stop() {
    m_player->stop();
}

} // namespace quoteria
