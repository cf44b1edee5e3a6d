#include "error_output.h"

#include <windows.h>

namespace svcremove {
namespace {

// The run-time's standard error is in text mode and would turn CR LF into CR CR LF, so the
// bytes go straight to the process's standard error handle.
class Win32StandardError final : public ErrorOutput {
public:
    void write(const char *bytes, std::size_t count) override {
        HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
            return;
        }
        DWORD written = 0;
        WriteFile(handle, bytes, static_cast<DWORD>(count), &written, nullptr);
    }
};

} // namespace

ErrorOutput &standard_error() {
    static Win32StandardError output;
    return output;
}

} // namespace svcremove
