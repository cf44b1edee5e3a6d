// Decoding of dword and hex value data.
#ifndef KZQ_REG_VALUES_H
#define KZQ_REG_VALUES_H

#include <cstddef>
#include <cstdint>

namespace kzq {

// The most bytes that a hex value delivers, and the size of the block it is assembled in.
constexpr std::size_t kHexByteLimit = 4096;
constexpr std::size_t kHexBlockSize = 8192;

// A number read by the base-16 rule of strtol: leading white space, an optional sign, an
// optional 0x or 0X, then hexadecimal digits of either case up to the first other character.
// No digit gives 0.
struct HexNumber {
    std::uint64_t magnitude; // saturates just above 0xFFFFFFFF
    bool negative;
};
HexNumber parse_hex_number(const char *text, std::size_t length);

// The value of a dword's data text. Without a minus sign, a value up to FFFFFFFF is its 32-bit
// pattern read as signed (80000000 gives -2147483648), so a host turns the decimal text back
// into the stored DWORD; a larger value gives 2147483647. With a minus sign the value is
// negated, saturating at -2147483648.
std::int32_t dword_value(const char *text, std::size_t length);

// Writes `value` as decimal text without a zero byte; returns its length (at most 11).
std::size_t format_decimal(std::int32_t value, char *out);

// Turns hex text into bytes as it arrives, line after line. Separators are the space, the
// backslash, the comma and the line feed; any other character starts a pair with the character
// after it, whatever that is, and the pair's number by the base-16 rule gives the byte's low
// 8 bits. Bytes past kHexByteLimit are dropped.
class HexDecoder {
public:
    explicit HexDecoder(unsigned char *out) : out_(out) {}
    void feed(const char *text, std::size_t length);
    // Closes a pair left open by the end of the text (it pairs with the terminating zero) and
    // returns the number of bytes delivered.
    std::size_t finish();

private:
    void store(char first, char second);

    unsigned char *out_;
    std::size_t count_ = 0;
    char first_ = 0;
    bool open_ = false; // first_ waits for the second character of its pair
};

} // namespace kzq

#endif
