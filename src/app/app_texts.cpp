#include "app/app_texts.h"

#include <string_view>

std::u16string AppText(const char* key, const char*) {
    static constexpr std::pair<std::string_view, std::u16string_view> kEnglish[] = {
        {"error", u"Error"},
        {"checking version...", u"Checking Version"},
        {"new updater", u"New Updater"},
        {"play", u"Play"},
        {"packets", u"Please wait, the update is in progress...\nPackets"},
        {"skip", u"Skip"},
        {"remain", u"Remaining"},
        {"failed temp file", u"A temporary file could not be created."},
        {"failed updater", u"Updating the Updater failed."},
        {"zorv check", u"Checking for scene update"},
        {"zorv download", u"Downloading scene update"},
        {"extracting", u"Extracting files ..."},
        {"cancel", u"Cancel"},
    };
    for (const auto& [name, text] : kEnglish) {
        if (name == key) return std::u16string(text);
    }
    return std::u16string(key, key + std::char_traits<char>::length(key));
}
