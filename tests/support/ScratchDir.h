#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it on destruction.
// (Named apart from the serial tests' header-only TempDir so that both can meet in one program.)
#include <filesystem>
#include <string>
#include <vector>

namespace k54::test {

class ScratchDir {
public:
    // The folder's name starts with `prefix`; throws std::runtime_error when it cannot be made.
    explicit ScratchDir(const std::string& prefix);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The files in a folder, in no particular order; none when the folder is not there.
std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder);

}  // namespace k54::test
