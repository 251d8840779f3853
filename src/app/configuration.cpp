#include "app/configuration.h"

#include <cstdint>

#include "platform/clock.h"

std::string EffectiveOptionText(const std::string& exePath, const std::string& configText) {
    return "\"" + exePath + "\"\n" + configText;
}

void AppendAllowedOptions(std::string& effective, const OptionSet& config,
                          const OptionSet& commandLine) {
    std::string allowed;
    if (config.GetText("allowedgameflags", allowed) == 0) return;
    size_t start = 0;
    while (start < allowed.size()) {
        const size_t comma = allowed.find(',', start);
        const std::string name =
            allowed.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (name.empty()) break;
        std::string value;
        if (commandLine.GetText(name.c_str(), value) != 0) {
            effective += "\n-" + name + "\n" + value;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

namespace {

std::string Base64(const uint8_t* bytes, size_t length) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < length; i += 3) {
        const uint32_t group = (uint32_t{bytes[i]} << 16) |
                               (i + 1 < length ? uint32_t{bytes[i + 1]} << 8 : 0) |
                               (i + 2 < length ? uint32_t{bytes[i + 2]} : 0);
        text += kDigits[(group >> 18) & 63];
        text += kDigits[(group >> 12) & 63];
        text += i + 1 < length ? kDigits[(group >> 6) & 63] : '=';
        text += i + 2 < length ? kDigits[group & 63] : '=';
    }
    return text;
}

}  // namespace

std::string NewInstallationId() {
    const platform::UtcTime now = platform::CurrentUtcTime();
    const uint32_t milliseconds =
        ((now.hour * 3600 + now.minute * 60 + now.second) * 1000 + now.millisecond);
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(milliseconds >> (i % 4));
    // The scheduler's jitter over a short sleep differs between machines and starts.
    int64_t previous = platform::HighResolutionCounter();
    for (uint8_t& byte : bytes) {
        platform::SleepMilliseconds(13);
        const int64_t reading = platform::HighResolutionCounter();
        byte ^= static_cast<uint8_t>(reading - previous);
        previous = reading;
    }
    return Base64(bytes, sizeof(bytes));
}
