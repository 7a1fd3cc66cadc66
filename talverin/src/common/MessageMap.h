// Window messages -> handlers, for the main frame and the screens: each later part registers the
// messages it answers with one call, and a message nobody registered is ignored (result 0).
#pragma once

#include <platform/types.h>

#include <functional>
#include <unordered_map>

namespace talverin {

class MessageMap {
public:
    using Handler = std::function<plat::LRESULT(plat::WPARAM, plat::LPARAM)>;

    // Adds or replaces the handler of a message; an empty handler removes it.
    void Set(plat::UINT message, Handler handler);
    bool Has(plat::UINT message) const;
    // Runs the message's handler (which may replace or remove itself meanwhile): true with its
    // result, or false when the message has none.
    bool Dispatch(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam,
                  plat::LRESULT& result) const;

private:
    std::unordered_map<plat::UINT, Handler> m_handlers;
};

} // namespace talverin
