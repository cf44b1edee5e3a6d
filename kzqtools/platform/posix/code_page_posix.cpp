#include "platform/code_page.h"
#include "utf8.h"

namespace kzq {

std::size_t narrow_from_utf16(const char16_t *units, std::size_t count, char *out) {
    return utf8_from_utf16(units, count, out);
}

} // namespace kzq
