#include "config/files/NewFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <system_error>

namespace k54 {
namespace {

#ifdef _WIN32
int createExclusively(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long writeSome(int fd, std::string_view text) {
    return ::_write(fd, text.data(), static_cast<unsigned>(text.size()));
}
int closeFile(int fd) {
    return ::_close(fd);
}
#else
int createExclusively(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long writeSome(int fd, std::string_view text) {
    return ::write(fd, text.data(), text.size());
}
int closeFile(int fd) {
    return ::close(fd);
}
#endif

// Writes the whole text; the system's reason when it could not.
std::string writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const long written = writeSome(fd, text);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? std::strerror(errno) : "nothing could be written";
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

}  // namespace

NewFile writeNewFile(const std::filesystem::path& path, std::string_view text) {
    const int fd = createExclusively(path);
    if (fd < 0) {
        if (errno == EEXIST) return {NewFile::Outcome::nameTaken, {}};
        return {NewFile::Outcome::failed, std::strerror(errno)};
    }
    std::string error = writeAll(fd, text);
    if (closeFile(fd) != 0 && error.empty()) error = std::strerror(errno);
    if (error.empty()) return {NewFile::Outcome::written, {}};
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return {NewFile::Outcome::failed, error};
}

}  // namespace k54
