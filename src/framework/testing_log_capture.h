// For tests: collects the lines of the "objectsystem" channel, information lines included and
// without time stamps, while an instance exists.
#ifndef SRC_FRAMEWORK_TESTING_LOG_CAPTURE_H
#define SRC_FRAMEWORK_TESTING_LOG_CAPTURE_H

#include <string>
#include <vector>

#include "base/log.h"
#include "base/text.h"

class ObjectLogCapture : public LogSink {
public:
    ObjectLogCapture() : channel_(ObjectSystemChannel()), saved_(channel_.sink), level_(channel_.level) {
        channel_.sink = this;
        channel_.level = 2;
        channel_.timestamps = false;
        channel_.debugOutput = false;
    }
    ~ObjectLogCapture() override {
        channel_.sink = saved_;
        channel_.level = level_;
        channel_.timestamps = true;
        channel_.debugOutput = true;
    }

    void WriteLine(const std::string& line) override { lines.push_back(line.substr(0, line.size() - 2)); }
    void WriteLine(const std::u16string& line) override { WriteLine(ToUtf8(line)); }
    LogSink* CreateSink(const String&, bool, bool) override { return nullptr; }
    const String& Name() const override { return name_; }

    bool Has(const std::string& line) const {
        for (const std::string& written : lines) {
            if (written == line) return true;
        }
        return false;
    }

    std::vector<std::string> lines;

private:
    LogChannel& channel_;
    LogSink* saved_;
    int32_t level_;
    String name_;
};

#endif  // SRC_FRAMEWORK_TESTING_LOG_CAPTURE_H
