// The file operations that the registry reader needs, behind one narrow interface so that
// tests can make any of them fail.
#ifndef KZQ_PLATFORM_FILE_API_H
#define KZQ_PLATFORM_FILE_API_H

#include <cstddef>
#include <cstdint>

namespace kzq {

using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

class FileApi {
public:
    // Opens an existing file for reading; other processes may read and write it meanwhile, but
    // not delete it. Returns kNoFile on failure.
    virtual FileHandle open_read(const char *path) = 0;

    // Reads up to `capacity` bytes. Returns the count read, 0 at the end of the file, or -1 on
    // failure.
    virtual std::ptrdiff_t read(FileHandle file, void *buffer, std::size_t capacity) = 0;

    // Returns false when the system reports a failure; the handle is gone either way.
    virtual bool close(FileHandle file) = 0;

protected:
    // Never deleted through this interface, so the system's backend needs no destructor and
    // lives until the library's last moment, after the reading slot has closed its streams.
    ~FileApi() = default;
};

// The real file system of the platform the library was built for.
FileApi &system_file_api();

} // namespace kzq

#endif
