#include "platform/file_api.h"

#include <windows.h>

namespace kzq {
namespace {

class Win32FileApi final : public FileApi {
public:
    FileHandle open_read(const char *path) override {
        // Shares reading and writing but not deletion, as the C run-time's own open does.
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                  nullptr);
        return file == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(file);
    }

    std::ptrdiff_t read(FileHandle file, void *buffer, std::size_t capacity) override {
        DWORD want = capacity > 0x40000000u ? 0x40000000u : static_cast<DWORD>(capacity);
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(file), buffer, want, &got, nullptr)) {
            // A pipe whose writer has gone ends like a file.
            return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
        }
        return static_cast<std::ptrdiff_t>(got);
    }

    bool close(FileHandle file) override {
        return CloseHandle(reinterpret_cast<HANDLE>(file)) != 0;
    }
};

Win32FileApi api;

} // namespace

FileApi &system_file_api() { return api; }

} // namespace kzq
