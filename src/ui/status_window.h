// StatusWindow: the front-end of an update run. This build shows it on the terminal: texts go
// to standard output while it is visible, and it closes only when the run shuts it down.
#ifndef UI_STATUS_WINDOW_H
#define UI_STATUS_WINDOW_H

#include "ui/front_end.h"

class StatusWindow : public FrontEnd {
public:
    explicit StatusWindow(FrontEndOwner& owner) : owner_(owner) {}

    // A second Init changes nothing.
    bool Init(int32_t showMode, const String& language, const String& title, bool showButton,
              bool askBeforeSkip) override;
    void SetStatusText(const std::u16string& text) override;
    void SetInfoText(const std::u16string& text) override;
    // Logged, and written to standard output while visible.
    int32_t Printf(const std::u16string& text) override;
    void AppendLastError(std::u16string& text) override;
    // Shown as an error message while visible, else only logged.
    void LastErrorMessage(const std::u16string& context) override;

    FrontEndOwner& Owner() const { return owner_; }

private:
    FrontEndOwner& owner_;
    // A terminal keeps what it printed: only changed texts are written again.
    std::u16string statusText_;
    std::u16string infoText_;
};

#endif  // UI_STATUS_WINDOW_H
