#include "reg_values.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

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

} // namespace
} // namespace kzq
