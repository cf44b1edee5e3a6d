#include "reg_values.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace kzq {
namespace {

struct DwordCase {
    const char *name;
    const char *text;
    std::int32_t value;
};

std::ostream &operator<<(std::ostream &os, const DwordCase &c) { return os << c.name; }

class DwordValues : public testing::TestWithParam<DwordCase> {};

TEST_P(DwordValues, FollowTheBase16RuleWithTheir32BitPattern) {
    const DwordCase &c = GetParam();
    EXPECT_EQ(dword_value(c.text, std::strlen(c.text)), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DwordValues,
    testing::Values(DwordCase{"Count", "0000001a", 26}, DwordCase{"Zero", "00000000", 0},
                    DwordCase{"Max", "7fffffff", 2147483647},
                    DwordCase{"Mask", "80000000", -2147483647 - 1},
                    DwordCase{"All", "ffffffff", -1}, DwordCase{"AllUpper", "FFFFFFFF", -1},
                    DwordCase{"Long", "100000000", 2147483647},
                    DwordCase{"VeryLong", "123456789abcdef0123", 2147483647},
                    DwordCase{"Neg", "-10", -16}, DwordCase{"NegMax", "-80000000", -2147483647 - 1},
                    DwordCase{"NegPastMin", "-80000001", -2147483647 - 1},
                    DwordCase{"NegHuge", "-ffffffffff", -2147483647 - 1},
                    DwordCase{"Plus", "+1f", 31}, DwordCase{"Pre", "0x20", 32},
                    DwordCase{"PreUpper", "0X20", 32}, DwordCase{"PreAlone", "0x", 0},
                    DwordCase{"PreNoDigit", "0xg", 0}, DwordCase{"Lead", " 12", 18},
                    DwordCase{"LeadTab", "\t12", 18}, DwordCase{"Junk", "xyz", 0},
                    DwordCase{"Empty", "", 0}, DwordCase{"SplitGroup", "00 01", 0},
                    DwordCase{"StopsAtOther", "1g2", 1}, DwordCase{"SignAlone", "-", 0}),
    case_name<DwordCase>);

TEST(DecimalText, CoversTheWholeSignedRange) {
    char out[12];
    struct {
        std::int32_t value;
        const char *text;
    } cases[] = {{0, "0"}, {7, "7"}, {-16, "-16"}, {2147483647, "2147483647"},
                 {-2147483647 - 1, "-2147483648"}};
    for (const auto &c : cases) {
        std::size_t length = format_decimal(c.value, out);
        EXPECT_EQ(std::string(out, length), c.text);
    }
}

struct HexCase {
    const char *name;
    const char *text;
    std::string bytes;
};

std::ostream &operator<<(std::ostream &os, const HexCase &c) { return os << c.name; }

class HexText : public testing::TestWithParam<HexCase> {};

TEST_P(HexText, GivesItsPairsAsBytes) {
    const HexCase &c = GetParam();
    unsigned char out[kHexByteLimit];
    HexDecoder decoder(out);
    decoder.feed(c.text, std::strlen(c.text));
    std::size_t count = decoder.finish();
    EXPECT_EQ(std::string(reinterpret_cast<char *>(out), count), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HexText,
    testing::Values(HexCase{"Bin", "01,ab,FF", std::string("\x01\xab\xff", 3)},
                    HexCase{"Exp", "41,00", std::string("\x41\x00", 2)},
                    HexCase{"None", "", ""}, HexCase{"Short", "1,02", std::string("\x01\x02", 2)},
                    HexCase{"Run", "abc", std::string("\xab\x0c", 2)},
                    HexCase{"Minus", "-1", std::string("\xff", 1)},
                    HexCase{"MinusLetter", "-a", std::string("\xf6", 1)},
                    HexCase{"Bad", "zz,10", std::string("\x00\x10", 2)},
                    HexCase{"PairWithSeparator", "1 2", std::string("\x01\x02", 2)},
                    HexCase{"TabStartsAPair", "\t1,02", std::string("\x01\x02", 2)},
                    HexCase{"CarriageReturnStartsAPair", "01\r", std::string("\x01\x00", 2)},
                    HexCase{"ContinuationMarks", "01,\\\n  02,\\\n  03\n",
                            std::string("\x01\x02\x03", 3)},
                    HexCase{"LoneDigitBeforeLineFeed", "  5\n", std::string("\x05", 1)},
                    HexCase{"PrefixPair", "0x", std::string("\x00", 1)}),
    case_name<HexCase>);

TEST(HexDecoding, APairSplitBetweenTwoFeedsIsOnePair) {
    unsigned char out[kHexByteLimit];
    HexDecoder decoder(out);
    decoder.feed("01,a", 4);
    decoder.feed("b,02", 4);
    ASSERT_EQ(decoder.finish(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(out), 3), "\x01\xab\x02");
}

TEST(HexDecoding, StopsStoringAtTheByteLimitButReadsOn) {
    unsigned char out[kHexByteLimit + 16];
    std::memset(out, 0x5A, sizeof out);
    HexDecoder decoder(out);
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "7f,";
    }
    decoder.feed(text.data(), text.size());
    EXPECT_EQ(decoder.finish(), kHexByteLimit);
    EXPECT_EQ(out[kHexByteLimit - 1], 0x7F);
    EXPECT_EQ(out[kHexByteLimit], 0x5A) << "nothing is stored past the limit";
}

// The decoder's stepping, straight from the rule: a separator moves on by one, any other
// character pairs with the next one (or the terminating zero) and moves on by two.
std::string decoded_by_the_rule(const std::string &text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == ' ' || c == '\\' || c == ',' || c == '\n') {
            ++i;
            continue;
        }
        std::size_t length = i + 1 < text.size() ? 2 : 1;
        HexNumber n = parse_hex_number(text.data() + i, length);
        bytes += static_cast<char>((n.negative ? 0u - n.magnitude : n.magnitude) & 0xFF);
        i += 2;
    }
    return bytes.substr(0, kHexByteLimit);
}

TEST(HexDecoding, MatchesThePlainRuleHoweverTheTextIsSplit) {
    // Mostly what the registry editor writes, with everything that breaks its pattern mixed in.
    const std::string alphabet = "0123456789abcdefABCDEF,,,,, \\\n\t\r-+xXgz";
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % n;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        std::size_t length = next(round < 2900 ? 40 : 9000);
        for (std::size_t i = 0; i < length; ++i) {
            text += next(4) == 0 ? alphabet[next(static_cast<std::uint32_t>(alphabet.size()))]
                                 : "0a,"[i % 3];
        }
        std::size_t split = text.empty() ? 0 : next(static_cast<std::uint32_t>(text.size()));
        std::vector<unsigned char> out(kHexByteLimit);
        HexDecoder decoder(out.data());
        decoder.feed(text.data(), split);
        decoder.feed(text.data() + split, text.size() - split);
        std::size_t count = decoder.finish();
        ASSERT_EQ(std::string(reinterpret_cast<char *>(out.data()), count),
                  decoded_by_the_rule(text))
            << testing::PrintToString(text) << " split at " << split;
    }
}

} // namespace
} // namespace kzq
