#include "data/appcontext.h"

#include "data/newsstore.h"
#include "data/userstore.h"

#include <utility>

namespace quoteria {

AppContext::AppContext(Database& db, SettingsStore& settings, DataEvents& events, Session session,
                       QString dataFolder, QString appFolder, NewsStore& news, UserStore& users)
    : db(db), settings(settings), events(events), session(std::move(session)),
      dataFolder(std::move(dataFolder)), appFolder(std::move(appFolder)), news(news), users(users) {
}

AppContext::AppContext(Database& db, SettingsStore& settings, DataEvents& events, Session session,
                       QString dataFolder, QString appFolder)
    : db(db), settings(settings), events(events), session(std::move(session)),
      dataFolder(std::move(dataFolder)), appFolder(std::move(appFolder)),
      m_ownNews(std::make_unique<NewsStore>(db, &events)),
      m_ownUsers(std::make_unique<UserStore>(db)), news(*m_ownNews), users(*m_ownUsers) {}

AppContext::~AppContext() = default;

} // namespace quoteria
