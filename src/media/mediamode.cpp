#include "media/mediamode.h"

#include "data/formats.h"
#include "data/settingkeys.h"
#include "data/settingsstore.h"
#include "data/themestore.h"

#include <QDir>
#include <QFileInfo>

namespace quoteria {

MediaMode chooseMediaMode(const QString& themeMedia, const QString& liveInputText,
                          const QString& htmlText) {
    if (liveInputText == QLatin1String("1"))
        return MediaMode::LiveInput;
    if (vbVal(htmlText) == 1.0)
        return MediaMode::WebPage;
    if (themeMedia == QLatin1String("Video"))
        return MediaMode::Video;
    if (themeMedia == QLatin1String("Picture"))
        return MediaMode::Picture;
    if (themeMedia == QLatin1String("Flash"))
        return MediaMode::Flash;
    return MediaMode::None;
}

MediaSetup readMediaSetup(const BoardTheme& theme, const SettingsStore& prefs) {
    // The switches as stored, so the choice reads them the way it was told to.
    const TextSetting liveText{settings::VideoInOn.at, "0"};
    const TextSetting htmlText{settings::HtmlOn.at, "0"};
    MediaSetup s;
    s.mode = chooseMediaMode(theme.media, prefs.get(liveText), prefs.get(htmlText));
    if (s.mode == MediaMode::WebPage)
        s.htmlPath = prefs.get(settings::HtmlSource);
    s.captureSource = prefs.get(settings::VideoInSource);
    s.volume = qBound(0, int(theme.volume), 10);
    s.pictureEffect = prefs.get(settings::PictureEffect);
    return s;
}

QUrl webPageUrl(const QString& source, const QString& dataFolder) {
    const QString text = source.trimmed();
    if (text.isEmpty())
        return QUrl();
    // Written on another system, a path may use the other slash.
    const QString path = QDir::fromNativeSeparators(text).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(path))
        return QUrl::fromLocalFile(path);
    const QFileInfo relative(QDir(dataFolder), path);
    if (relative.exists())
        return QUrl::fromLocalFile(relative.absoluteFilePath());
    return QUrl::fromUserInput(text);
}

QString mediaModeName(MediaMode mode) {
    switch (mode) {
    case MediaMode::LiveInput:
        return QStringLiteral("live input");
    case MediaMode::WebPage:
        return QStringLiteral("HTML page");
    case MediaMode::Video:
        return QStringLiteral("Video");
    case MediaMode::Picture:
        return QStringLiteral("Picture");
    case MediaMode::Flash:
        return QStringLiteral("Flash");
    case MediaMode::None:
        break;
    }
    return QStringLiteral("none");
}

} // namespace quoteria
