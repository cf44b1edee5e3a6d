// UTF-8 encoding of UTF-16 text, the 8-bit form of texts on platforms without an ANSI code page.
#ifndef KZQ_UTF8_H
#define KZQ_UTF8_H

#include <cstddef>

namespace kzq {

// Encodes well-formed UTF-16 (every surrogate paired) as UTF-8; returns the bytes written,
// at most three per code unit.
std::size_t utf8_from_utf16(const char16_t *units, std::size_t count, char *out);

} // namespace kzq

#endif
