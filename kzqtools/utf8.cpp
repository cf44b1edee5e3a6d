#include "utf8.h"

namespace kzq {

std::size_t utf8_from_utf16(const char16_t *units, std::size_t count, char *out) {
    unsigned char *o = reinterpret_cast<unsigned char *>(out);
    for (std::size_t i = 0; i < count; ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        }
        if (c < 0x80) {
            *o++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
    return static_cast<std::size_t>(o - reinterpret_cast<unsigned char *>(out));
}

} // namespace kzq
