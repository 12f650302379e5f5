#include "data/appcontext.h"

#include "data/currencystore.h"
#include "data/newsstore.h"
#include "data/userstore.h"

#include <utility>

namespace quoteria {

AppContext::AppContext(Database& db, SettingsStore& settings, DataEvents& events, Session session,
                       QString dataFolder, QString appFolder, CurrencyStore& currencies,
                       NewsStore& news, UserStore& users)
    : db(db), settings(settings), events(events), session(std::move(session)),
      dataFolder(std::move(dataFolder)), appFolder(std::move(appFolder)), currencies(currencies),
      news(news), users(users), themes(db, &events), media(db, &events) {}

AppContext::AppContext(Database& db, SettingsStore& settings, DataEvents& events, Session session,
                       QString dataFolder, QString appFolder)
    : db(db), settings(settings), events(events), session(std::move(session)),
      dataFolder(std::move(dataFolder)), appFolder(std::move(appFolder)),
      m_ownCurrencies(std::make_unique<CurrencyStore>(db, &events)),
      m_ownNews(std::make_unique<NewsStore>(db, &events)),
      m_ownUsers(std::make_unique<UserStore>(db)), currencies(*m_ownCurrencies), news(*m_ownNews),
      users(*m_ownUsers), themes(db, &events), media(db, &events) {}

AppContext::~AppContext() = default;

} // namespace quoteria
