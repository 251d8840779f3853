#include "platform/proxy_settings.h"

#include <windows.h>

#include "platform/win_text.h"

namespace platform {

namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr DWORD kValueBufferSize = 4096;

bool OpenSettings(HKEY& key) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, KEY_READ, &key) == ERROR_SUCCESS;
}

}  // namespace

SystemProxy ReadSystemProxy() {
    SystemProxy proxy;
    HKEY key;
    if (!OpenSettings(key)) return proxy;
    BYTE enable[kValueBufferSize] = {};
    DWORD size = sizeof enable;
    const LONG read = RegQueryValueExW(key, L"ProxyEnable", nullptr, nullptr, enable, &size);
    RegCloseKey(key);
    // ProxyEnable is a DWORD; its low byte decides.
    if (read != ERROR_SUCCESS || enable[0] == 0) return proxy;
    proxy.enabled = true;

    if (!OpenSettings(key)) return proxy;
    wchar_t server[kValueBufferSize / sizeof(wchar_t) + 1] = {};
    size = kValueBufferSize;
    DWORD type = 0;
    const LONG got = RegQueryValueExW(key, L"ProxyServer", nullptr, &type,
                                      reinterpret_cast<BYTE*>(server), &size);
    RegCloseKey(key);
    if (got == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        server[size / sizeof(wchar_t) < kValueBufferSize / sizeof(wchar_t)
                   ? size / sizeof(wchar_t)
                   : kValueBufferSize / sizeof(wchar_t)] = L'\0';
        proxy.server = WinToUtf8(server);
    }
    return proxy;
}

}  // namespace platform
