// For tests: captures the framework log ("net" information lines included) in a file of a
// scratch folder and reads it back as UTF-8.
#ifndef SRC_NET_TEST_LOG_CAPTURE_H
#define SRC_NET_TEST_LOG_CAPTURE_H

#include <string>

#include "base/log.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "support/scratch_dir.h"

class TestLogCapture {
public:
    explicit TestLogCapture(const testing_support::ScratchDir& scratch)
        : file_(scratch.File("framework.log")), netLevel_(NetChannel().level) {
        OpenLog(file_.c_str());
        NetChannel().level = 2;
    }
    ~TestLogCapture() {
        NetChannel().level = netLevel_;
        CloseLog();
    }
    TestLogCapture(const TestLogCapture&) = delete;
    TestLogCapture& operator=(const TestLogCapture&) = delete;

    std::string Text() const {
        std::string bytes;
        platform::ReadWholeFile(file_, bytes);
        std::u16string wide;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return ToUtf8(wide);
    }

    int Count(const std::string& needle) const {
        const std::string text = Text();
        int count = 0;
        for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
            ++count;
        }
        return count;
    }

private:
    std::string file_;
    int netLevel_;
};

#endif  // SRC_NET_TEST_LOG_CAPTURE_H
