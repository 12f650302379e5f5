#pragma once
// The panel's alarm player `mp`: a real media player with an audio output.
#include "rates/ratemonitor.h"

#include <QObject>

class QMediaPlayer;
class QAudioOutput;

namespace quoteria {

class MediaAlarmPlayer : public QObject, public AlarmPlayer {
    Q_OBJECT
public:
    explicit MediaAlarmPlayer(QObject* parent = nullptr);
    ~MediaAlarmPlayer() override;

    bool isPlaying() const override;
    void play(const QString& path) override;
    void stop() override;

    QMediaPlayer* mediaPlayer() const { return m_player; }
    // The file last given as the source.
    QString source() const { return m_source; }

private:
    QMediaPlayer* m_player;
    QAudioOutput* m_output;
    QString m_source;
};

} // namespace quoteria
