// FrontEnd: what the rest of the system may show the user, with defaults that write to
// standard output, and the process-wide current front-end.
#ifndef UI_FRONT_END_H
#define UI_FRONT_END_H

#include <cstdint>
#include <string>

#include "base/string.h"

// The object that the front-end's button and modal boxes report to (the application).
class FrontEndOwner {
public:
    virtual void RequestSkip() = 0;
    // True while a modal box is up, so that the owner's periodic work waits.
    virtual void SetPaused(bool paused) = 0;

protected:
    ~FrontEndOwner() = default;
};

class FrontEnd {
public:
    FrontEnd();
    virtual ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // Stores the arguments; a non-empty title becomes title + " Skerrilux".
    virtual bool Init(int32_t showMode, const String& language, const String& title,
                      bool showButton, bool askBeforeSkip);
    virtual void Shutdown();
    virtual int32_t GetExitCode() const { return exitCode_; }
    // False once the front-end is closing.
    virtual bool Pump() { return !closing_; }
    virtual void SetStatusText(const std::u16string& text);
    virtual void SetButtonText(const std::u16string&) {}
    virtual void StopTimer() {}
    virtual void SetProgress(float fraction);
    virtual void SetInfoText(const std::u16string& text);
    // Shows a finished text (callers format it); returns its length in characters, or 0 when
    // the front-end does not show such texts.
    virtual int32_t Printf(const std::u16string&) { return 0; }
    // Appends the system's text for the calling thread's last error.
    virtual void AppendLastError(std::u16string&) {}
    virtual void Show(bool visible);
    virtual void ShowMessage(const String& text, bool isError);
    // Reports the last system error with `context` (usually a file name) on a second line.
    virtual void LastErrorMessage(const std::u16string&) {}

    float Progress() const { return progress_; }
    const std::u16string& Title() const { return title_; }
    const String& Language() const { return language_; }

protected:
    int32_t exitCode_ = 0;
    bool closing_ = false;
    bool initialised_ = false;
    bool showButton_ = true;
    bool askBeforeSkip_ = true;
    String language_;

private:
    float progress_ = 0;
    std::u16string title_ = u"Skerrilux";
};

// The one front-end while it exists, else null.
FrontEnd* CurrentFrontEnd();
// Whether the front-end was last asked to be visible.
bool FrontEndVisible();

#endif  // UI_FRONT_END_H
