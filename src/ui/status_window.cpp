#include "ui/status_window.h"

#include "base/text.h"
#include "base/update_log.h"
#include "platform/system_error.h"

bool StatusWindow::Init(int32_t showMode, const String& language, const String& title,
                        bool showButton, bool askBeforeSkip) {
    if (initialised_) return true;
    return FrontEnd::Init(showMode, language, title, showButton, askBeforeSkip);
}

void StatusWindow::SetStatusText(const std::u16string& text) {
    if (FrontEndVisible() && text != statusText_) FrontEnd::SetStatusText(text);
    statusText_ = text;
}

void StatusWindow::SetInfoText(const std::u16string& text) {
    if (FrontEndVisible() && text != infoText_) FrontEnd::SetInfoText(text);
    infoText_ = text;
}

int32_t StatusWindow::Printf(const std::u16string& text) {
    if (text.empty()) return 0;
    UpdateLogWide(text);
    if (FrontEndVisible()) FrontEnd::SetStatusText(text);
    return static_cast<int32_t>(text.size());
}

void StatusWindow::AppendLastError(std::u16string& text) {
    text += FromUtf8(platform::LastErrorText());
}

void StatusWindow::LastErrorMessage(const std::u16string& context) {
    UpdateLog("LastErrorMessage()");
    std::u16string text;
    AppendLastError(text);
    text += u"\n" + context;
    if (FrontEndVisible() && CurrentFrontEnd() != nullptr) {
        CurrentFrontEnd()->ShowMessage(String(ToUtf8(text)), true);
    } else {
        UpdateLogWide(text);
    }
}
