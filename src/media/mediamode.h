#pragma once
// What the board's media zone shows, chosen once when the board starts and kept
// until it stops.
#include <QString>
#include <QUrl>

namespace quoteria {

struct BoardTheme;
class SettingsStore;

enum class MediaMode { None, LiveInput, WebPage, Video, Picture, Flash };

// First match wins: the live input, then the HTML page, then the theme's media
// ("Video", "Picture" or "Flash", exactly so spelt); anything else shows nothing.
// The two switches are the stored texts: the live input is on only as "1", the page
// whenever the text reads as the number 1.
MediaMode chooseMediaMode(const QString& themeMedia, const QString& liveInputText,
                          const QString& htmlText);

// Everything the zone reads when the board starts.
struct MediaSetup {
    MediaMode mode = MediaMode::None;
    QString htmlPath; // empty unless the page is on
    int captureSource = -1;
    int volume = 0; // the theme's, 0 to 10
    QString pictureEffect;
};

MediaSetup readMediaSetup(const BoardTheme& theme, const SettingsStore& prefs);

// The page setting as the browser opens it: a file on this machine (absolute, or
// relative to dataFolder when such a file is there) or an address; empty stays empty.
QUrl webPageUrl(const QString& source, const QString& dataFolder);

// For the log.
QString mediaModeName(MediaMode mode);

} // namespace quoteria
