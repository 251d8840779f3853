// The deactivation notice that the update server can publish for a game edition; in restricted
// mode it is checked before the window opens and, when present, shown instead of the update.
#ifndef UPDATE_DEACTIVATION_CHECK_H
#define UPDATE_DEACTIVATION_CHECK_H

#include <string>
#include <string_view>

#include "base/string.h"
#include "update/update_settings.h"

// host:port + the remote folder + "deactivated.txt.bin".
String DeactivationUrl(const UpdateSettings& settings);

// The text between the first "<div>" and the following "</div>"; a body without the markers
// is the notice as a whole.
std::string NoticeText(std::string_view body);

// Fetches the notice directly (never through a proxy). False when the server has none.
bool FetchDeactivationNotice(const UpdateSettings& settings, std::u16string& notice);

#endif  // UPDATE_DEACTIVATION_CHECK_H
