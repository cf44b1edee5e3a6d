#include "reg_values.h"

namespace kzq {
namespace {

constexpr std::uint64_t kSaturated = 0x100000000ull;

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_separator(char c) { return c == ' ' || c == '\\' || c == ',' || c == '\n'; }

} // namespace

HexNumber parse_hex_number(const char *text, std::size_t length) {
    std::size_t i = 0;
    while (i < length && is_space(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // "0x" counts as a prefix only when a digit follows; otherwise the 0 is the number.
    if (i + 2 < length && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        hex_digit(text[i + 2]) >= 0) {
        i += 2;
    }
    std::uint64_t magnitude = 0;
    for (; i < length; ++i) {
        int d = hex_digit(text[i]);
        if (d < 0) {
            break;
        }
        magnitude = magnitude * 16 + static_cast<unsigned>(d);
        if (magnitude > kSaturated) {
            magnitude = kSaturated;
        }
    }
    return {magnitude, negative};
}

std::int32_t dword_value(const char *text, std::size_t length) {
    HexNumber n = parse_hex_number(text, length);
    if (!n.negative) {
        if (n.magnitude > 0xFFFFFFFFull) {
            return INT32_MAX;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(n.magnitude));
    }
    if (n.magnitude >= 0x80000000ull) {
        return INT32_MIN;
    }
    return -static_cast<std::int32_t>(n.magnitude);
}

std::size_t format_decimal(std::int32_t value, char *out) {
    char digits[10];
    std::size_t count = 0;
    // Work on the magnitude as unsigned so that INT32_MIN needs no special case.
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value)
                                        : static_cast<std::uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::size_t length = 0;
    if (value < 0) {
        out[length++] = '-';
    }
    while (count > 0) {
        out[length++] = digits[--count];
    }
    return length;
}

void HexDecoder::feed(const char *text, std::size_t length) {
    std::size_t i = 0;
    if (open_ && length > 0) {
        store(first_, text[0]);
        open_ = false;
        i = 1;
    }
    while (i < length) {
        char c = text[i];
        if (is_separator(c)) {
            ++i;
        } else if (i + 1 < length) {
            store(c, text[i + 1]);
            i += 2;
        } else {
            first_ = c;
            open_ = true;
            ++i;
        }
    }
}

std::size_t HexDecoder::finish() {
    if (open_) {
        store(first_, '\0');
        open_ = false;
    }
    return count_;
}

void HexDecoder::store(char first, char second) {
    if (count_ >= kHexByteLimit) {
        return;
    }
    int hi = hex_digit(first);
    int lo = hex_digit(second);
    unsigned value;
    if (hi >= 0 && lo >= 0) {
        value = static_cast<unsigned>(hi * 16 + lo);
    } else {
        char pair[2] = {first, second};
        HexNumber n = parse_hex_number(pair, second == '\0' ? 1 : 2);
        value = static_cast<unsigned>(n.negative ? 0u - n.magnitude : n.magnitude);
    }
    out_[count_++] = static_cast<unsigned char>(value & 0xFF);
}

} // namespace kzq
