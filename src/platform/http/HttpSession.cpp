#include "HttpSession.h"

#include "CurlHttpSession.h"

namespace quorvane {

HttpSession& HttpSession::shared() {
    // Never destroyed: a request thread still running while the process exits
    // must not find the session gone under it.
    static auto* const session = new CurlHttpSession();
    return *session;
}

} // namespace quorvane
