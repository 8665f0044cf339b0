#include "WLApplication.h"

namespace {
WLApplication::OpenURLHandler &handler()
{
    static WLApplication::OpenURLHandler stored;
    return stored;
}
} // namespace

void WLApplication::setOpenURLHandler(OpenURLHandler openURLHandler)
{
    handler() = std::move(openURLHandler);
}

bool WLApplication::openURL(const QUrl &url)
{
    return handler() && url.isValid() && handler()(url);
}
