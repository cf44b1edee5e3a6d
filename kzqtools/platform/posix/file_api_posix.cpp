#include "platform/file_api.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kzq {
namespace {

class PosixFileApi final : public FileApi {
public:
    FileHandle open_read(const char *path) override {
        int fd;
        do {
            fd = ::open(path, O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        return fd < 0 ? kNoFile : static_cast<FileHandle>(fd);
    }

    std::ptrdiff_t read(FileHandle file, void *buffer, std::size_t capacity) override {
        ssize_t got;
        do {
            got = ::read(static_cast<int>(file), buffer, capacity);
        } while (got < 0 && errno == EINTR);
        return got < 0 ? -1 : static_cast<std::ptrdiff_t>(got);
    }

    bool close(FileHandle file) override { return ::close(static_cast<int>(file)) == 0; }
};

PosixFileApi api;

} // namespace

FileApi &system_file_api() { return api; }

} // namespace kzq
