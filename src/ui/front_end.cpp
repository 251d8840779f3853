#include "ui/front_end.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "base/update_log.h"

namespace {

FrontEnd* current = nullptr;
bool visible = false;

void WriteLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

FrontEnd* CurrentFrontEnd() { return current; }
bool FrontEndVisible() { return visible; }

FrontEnd::FrontEnd() { current = this; }

FrontEnd::~FrontEnd() {
    if (current == this) current = nullptr;
}

bool FrontEnd::Init(int32_t, const String& language, const String& title, bool showButton,
                    bool askBeforeSkip) {
    UpdateLog("Application Initialization");
    language_ = language;
    showButton_ = showButton;
    askBeforeSkip_ = askBeforeSkip;
    if (!title.IsEmpty()) title_ = FromUtf8(title.View()) + u" Skerrilux";
    initialised_ = true;
    closing_ = false;
    return true;
}

void FrontEnd::Shutdown() {
    closing_ = true;
    initialised_ = false;
}

void FrontEnd::SetStatusText(const std::u16string& text) { WriteLine(ToUtf8(text)); }

void FrontEnd::SetInfoText(const std::u16string& text) { WriteLine(ToUtf8(text)); }

void FrontEnd::SetProgress(float fraction) { progress_ = std::max(std::min(fraction, 1.0f), 0.0f); }

void FrontEnd::Show(bool value) { visible = value; }

void FrontEnd::ShowMessage(const String& text, bool) { WriteLine(std::string(text.View())); }
