// Conversion of UTF-16 text to the platform's 8-bit texts: the ANSI code page on Windows,
// UTF-8 elsewhere.
#ifndef KZQ_PLATFORM_CODE_PAGE_H
#define KZQ_PLATFORM_CODE_PAGE_H

#include <cstddef>

namespace kzq {

// The most bytes that one UTF-16 code unit can become.
constexpr std::size_t kMaxBytesPerUtf16Unit = 3;

// Converts `count` well-formed UTF-16 code units (every surrogate paired; a surrogate pair is
// never split) into `out`, which has room for kMaxBytesPerUtf16Unit bytes per unit. A character
// that the code page lacks becomes its replacement character. Returns the bytes written.
std::size_t narrow_from_utf16(const char16_t *units, std::size_t count, char *out);

} // namespace kzq

#endif
