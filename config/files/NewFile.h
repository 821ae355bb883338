#pragma once
// A file written only under a name nobody has taken: the check and the creation are one step of the
// system, so two programs choosing names in the same folder at once can never both take the same one.
#include <filesystem>
#include <string>
#include <string_view>

namespace k54 {

struct NewFile {
    enum class Outcome { written, nameTaken, failed };
    Outcome outcome = Outcome::failed;
    std::string error;  // the system's reason, when failed
};

// Creates the file and writes the text into it; nothing is touched when the name is taken. A file that
// could not be written whole is removed again.
NewFile writeNewFile(const std::filesystem::path& path, std::string_view text);

}  // namespace k54
