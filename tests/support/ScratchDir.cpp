#include "tests/support/ScratchDir.h"

#include <random>
#include <stdexcept>
#include <system_error>

namespace k54::test {

namespace {

constexpr int kNameAttempts = 100;

}  // namespace

// As mkdtemp does it, but on every platform: a random name, taken only when creating it made it (a
// folder that is already there, another program's, is never shared).
ScratchDir::ScratchDir(const std::string& prefix) {
    const auto base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code error;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const auto candidate = base / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, error);
            path_ = candidate;
            return;
        }
        if (error) break;
    }
    throw std::runtime_error("cannot create a temporary folder in " + base.string() + ": " + error.message());
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) files.push_back(entry.path());
    return files;
}

}  // namespace k54::test
