#include "platform/code_page.h"

#include <windows.h>

namespace kzq {

std::size_t narrow_from_utf16(const char16_t *units, std::size_t count, char *out) {
    if (count == 0) {
        return 0;
    }
    // No best-fit mapping: a look-alike such as a full-width quotation mark must not turn into
    // a character that the reader gives a meaning. Such characters become the default '?'.
    // The UTF-8 code pages take no flags and need no default character.
    UINT codePage = GetACP();
    bool utf8 = codePage == CP_UTF8 || codePage == CP_UTF7;
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int written = WideCharToMultiByte(codePage, flags, reinterpret_cast<const wchar_t *>(units),
                                      static_cast<int>(count), out,
                                      static_cast<int>(count * kMaxBytesPerUtf16Unit), nullptr,
                                      nullptr);
    return written > 0 ? static_cast<std::size_t>(written) : 0;
}

} // namespace kzq
