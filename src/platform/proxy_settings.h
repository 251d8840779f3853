// The user's proxy configuration as the system stores it: the Internet Settings in the
// Windows registry, the http_proxy environment variable elsewhere.
#ifndef SRC_PLATFORM_PROXY_SETTINGS_H
#define SRC_PLATFORM_PROXY_SETTINGS_H

#include <string>

namespace platform {

struct SystemProxy {
    bool enabled = false;
    // The server setting as stored ("host:port", "http=host:port;...", "http://host:port/");
    // empty when none could be read.
    std::string server;
};

SystemProxy ReadSystemProxy();

}  // namespace platform

#endif
