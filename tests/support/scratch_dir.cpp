#include "support/scratch_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream name;
    name << "updater-test-" << stamp << "-" << counter++;
    path_ = fs::temp_directory_path() / name.str();
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ScratchDir::File(const std::string& relative) const {
    const std::u8string text = (path_ / fs::u8path(relative)).generic_u8string();
    return std::string(text.begin(), text.end());
}

void ScratchDir::Write(const std::string& relative, const std::string& bytes) const {
    const fs::path target = path_ / fs::u8path(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchDir::Read(const std::string& relative) const {
    std::ifstream in(path_ / fs::u8path(relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

CurrentDirectory::CurrentDirectory(const fs::path& path) : previous_(fs::current_path()) {
    fs::current_path(path);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

}  // namespace testing_support
