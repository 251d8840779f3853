#include "platform/proxy_settings.h"

#include <cstdlib>

namespace platform {

SystemProxy ReadSystemProxy() {
    SystemProxy proxy;
    const char* value = std::getenv("http_proxy");
    if (value == nullptr || *value == '\0') value = std::getenv("HTTP_PROXY");
    if (value != nullptr && *value != '\0') {
        proxy.enabled = true;
        proxy.server = value;
    }
    return proxy;
}

}  // namespace platform
