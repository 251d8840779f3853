// A fresh, empty folder for one test, removed with everything in it when the test ends.
#ifndef TESTS_SUPPORT_SCRATCH_DIR_H
#define TESTS_SUPPORT_SCRATCH_DIR_H

#include <filesystem>
#include <string>

namespace testing_support {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // UTF-8 path of a file inside the folder, with forward slashes.
    std::string File(const std::string& relative) const;
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// Changes the working directory for the lifetime of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::filesystem::path& path);
    ~CurrentDirectory();

private:
    std::filesystem::path previous_;
};

}  // namespace testing_support

#endif
