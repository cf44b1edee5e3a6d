#include "reg_values.h"

namespace kzq {
namespace {

constexpr std::uint64_t kSaturated = 0x100000000ull;

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Indexed by a character's unsigned value: its digit value, or -1; and whether it separates
// two pairs.
struct CharTables {
    signed char digit[256];
    bool separator[256];
};

constexpr CharTables make_char_tables() {
    CharTables t{};
    for (int c = 0; c < 256; ++c) {
        t.digit[c] = -1;
        t.separator[c] = false;
    }
    for (int c = '0'; c <= '9'; ++c) {
        t.digit[c] = static_cast<signed char>(c - '0');
    }
    for (int c = 'a'; c <= 'f'; ++c) {
        t.digit[c] = static_cast<signed char>(c - 'a' + 10);
        t.digit[c - 'a' + 'A'] = static_cast<signed char>(c - 'a' + 10);
    }
    t.separator[static_cast<unsigned char>(' ')] = true;
    t.separator[static_cast<unsigned char>('\\')] = true;
    t.separator[static_cast<unsigned char>(',')] = true;
    t.separator[static_cast<unsigned char>('\n')] = true;
    return t;
}

constexpr CharTables kTables = make_char_tables();
constexpr const signed char *kDigit = kTables.digit;
constexpr const bool *kSeparator = kTables.separator;

int hex_digit(char c) { return kDigit[static_cast<unsigned char>(c)]; }

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
    const char *p = text;
    const char *end = text + length;
    if (open_ && p < end) {
        store(first_, *p++);
        open_ = false;
    }
    while (p < end) {
        // The registry editor writes two digits and a comma for every byte but the last of a
        // line; such runs go straight from the table to the output.
        while (end - p >= 3 && count_ < kHexByteLimit) {
            int hi = kDigit[static_cast<unsigned char>(p[0])];
            int lo = kDigit[static_cast<unsigned char>(p[1])];
            if ((hi | lo) < 0 || p[2] != ',') {
                break;
            }
            out_[count_++] = static_cast<unsigned char>(hi << 4 | lo);
            p += 3;
        }
        if (p == end) {
            return;
        }
        // Anything else moves on by one separator or one pair under the full rule.
        auto c = static_cast<unsigned char>(*p);
        if (kSeparator[c]) {
            ++p;
        } else if (p + 1 == end) {
            first_ = *p;
            open_ = true;
            return;
        } else {
            store(p[0], p[1]);
            p += 2;
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
