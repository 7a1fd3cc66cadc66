#include "common/MessageMap.h"

namespace talverin {

void MessageMap::Set(plat::UINT message, Handler handler)
{
    if (handler)
        m_handlers[message] = std::move(handler);
    else
        m_handlers.erase(message);
}

bool MessageMap::Has(plat::UINT message) const
{
    return m_handlers.count(message) != 0;
}

bool MessageMap::Dispatch(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam,
                          plat::LRESULT& result) const
{
    const auto it = m_handlers.find(message);
    if (it == m_handlers.end())
        return false;
    const Handler handler = it->second; // a copy: the handler may replace itself
    result = handler(wParam, lParam);
    return true;
}

} // namespace talverin
