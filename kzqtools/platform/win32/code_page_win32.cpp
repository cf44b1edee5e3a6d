#include "platform/code_page.h"

#include <windows.h>

namespace kzq {

std::size_t narrow_from_utf16(const char16_t *units, std::size_t count, char *out) {
    if (count == 0) {
        return 0;
    }
    // No best-fit mapping: a look-alike such as a full-width quotation mark must not turn into
    // a character that the reader gives a meaning. Such characters become the default '?'.
    // Some code pages (the UTF ones among them) take no flags: they convert without.
    auto convert = [&](DWORD flags) {
        return WideCharToMultiByte(CP_ACP, flags, reinterpret_cast<const wchar_t *>(units),
                                   static_cast<int>(count), out,
                                   static_cast<int>(count * kMaxBytesPerUtf16Unit), nullptr,
                                   nullptr);
    };
    int written = convert(WC_NO_BEST_FIT_CHARS);
    if (written == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        written = convert(0);
    }
    return written > 0 ? static_cast<std::size_t>(written) : 0;
}

} // namespace kzq
