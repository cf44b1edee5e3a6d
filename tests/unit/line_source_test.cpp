// The text-mode effects of reading a file line by line: CR LF, Ctrl-Z, the 4094-character
// limit, byte order marks and the UTF-16LE conversion, whatever sizes the file's reads have.
#include "line_source.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace kzq_test {
namespace {

// Bytes from a string, at most `chunk` per read; the read numbered `failAt` fails.
class StringBytes final : public kzq::ByteSource {
public:
    StringBytes(std::string bytes, std::size_t chunk, int failAt = 0)
        : bytes_(std::move(bytes)), chunk_(chunk), failAt_(failAt) {}

    std::ptrdiff_t read(void *buffer, std::size_t capacity) override {
        if (++reads_ == failAt_) {
            return -1;
        }
        std::size_t n = std::min({capacity, chunk_, bytes_.size() - position_});
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }

private:
    std::string bytes_;
    std::size_t chunk_;
    int failAt_;
    int reads_ = 0;
    std::size_t position_ = 0;
};

struct Piece {
    std::string text;
    bool cut;
    bool operator==(const Piece &o) const { return text == o.text && cut == o.cut; }
};

std::ostream &operator<<(std::ostream &os, const Piece &p) {
    return os << "{" << testing::PrintToString(p.text) << (p.cut ? ", cut}" : "}");
}

std::vector<Piece> read_all(const std::string &bytes, std::size_t chunk,
                            kzq::LineStatus *last = nullptr, int failAt = 0) {
    StringBytes source(bytes, chunk, failAt);
    auto storage = std::make_unique<unsigned char[]>(kzq::LineSource::kStorageSize);
    kzq::LineSource lines(source, storage.get());
    std::vector<Piece> pieces;
    kzq::Line line;
    kzq::LineStatus status;
    while ((status = lines.read_line(line)) == kzq::LineStatus::Line) {
        pieces.push_back({std::string(line.text, line.length), line.cut});
        if (pieces.size() > 10000) {
            break;
        }
    }
    if (last != nullptr) {
        *last = status;
    }
    return pieces;
}

std::string utf16(const std::u16string &text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

const std::string k4093(4093, 'x');
const std::string k4094(4094, 'x');

struct LinesCase {
    const char *name;
    std::string bytes;
    std::vector<Piece> pieces;
};

std::ostream &operator<<(std::ostream &os, const LinesCase &c) { return os << c.name; }

class TextMode : public testing::TestWithParam<LinesCase> {};

TEST_P(TextMode, SplitsTheSameWhateverTheReadSizes) {
    const LinesCase &c = GetParam();
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4095},
                              std::size_t{1} << 20}) {
        kzq::LineStatus last;
        EXPECT_EQ(read_all(c.bytes, chunk, &last), c.pieces) << "reads of " << chunk << " bytes";
        EXPECT_EQ(last, kzq::LineStatus::End);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, TextMode,
    testing::Values(
        LinesCase{"LineFeeds", "a\nb\n", {{"a\n", false}, {"b\n", false}}},
        LinesCase{"CrLfBecomesLf", "a\r\nb\r\n", {{"a\n", false}, {"b\n", false}}},
        LinesCase{"LoneCarriageReturnStays", "a\rb\n", {{"a\rb\n", false}}},
        LinesCase{"CrCrLfKeepsOne", "a\r\r\n", {{"a\r\n", false}}},
        LinesCase{"CarriageReturnAtTheEnd", "a\r", {{"a\r", false}}},
        LinesCase{"LastLineWithoutLineFeed", "a\nb", {{"a\n", false}, {"b", false}}},
        LinesCase{"EmptyFile", "", {}},
        LinesCase{"CtrlZEndsTheFile", "a\nb\x1a" "c\nd\n", {{"a\n", false}, {"b", false}}},
        LinesCase{"CtrlZFirst", "\x1a" "abc\n", {}},
        LinesCase{"ZeroBytesPass", std::string("a\0b\n", 4), {{std::string("a\0b\n", 4), false}}},
        LinesCase{"LineOf4093AndLineFeedIsWhole", k4093 + "\n", {{k4093 + "\n", false}}},
        LinesCase{"LineOf4094LeavesItsLineFeed", k4094 + "\nz\n",
                  {{k4094, true}, {"\n", false}, {"z\n", false}}},
        LinesCase{"LineOf4093AndCrLfIsWhole", k4093 + "\r\n", {{k4093 + "\n", false}}},
        LinesCase{"LineOf4094AndCrLf", k4094 + "\r\n", {{k4094, true}, {"\n", false}}},
        LinesCase{"LineOf4094AtTheEnd", k4094, {{k4094, false}}},
        LinesCase{"LineOf5000", std::string(5000, 'y') + "\n",
                  {{std::string(4094, 'y'), true}, {std::string(906, 'y') + "\n", false}}},
        LinesCase{"Utf8MarkIsSkipped", "\xEF\xBB\xBF" "a\n", {{"a\n", false}}},
        LinesCase{"Utf8MarkLaterStays", "a\xEF\xBB\xBF\n", {{"a\xEF\xBB\xBF\n", false}}},
        LinesCase{"ShortFileIsNoMark", "\xFF", {{"\xFF", false}}},
        LinesCase{"Utf16", utf16(u"[K]\r\n\"a\"=\"b\"\r\n"),
                  {{"[K]\n", false}, {"\"a\"=\"b\"\n", false}}},
        LinesCase{"Utf16MarkAlone", "\xFF\xFE", {}},
        LinesCase{"Utf16NonAscii", utf16(u"\u00e9\u20ac\n"), {{"\xC3\xA9\xE2\x82\xAC\n", false}}},
        LinesCase{"Utf16SurrogatePair", utf16(u"\U0001F600\n"), {{"\xF0\x9F\x98\x80\n", false}}},
        LinesCase{"Utf16LoneHighSurrogate", utf16(std::u16string{0xD800, u'a', u'\n'}),
                  {{"\xEF\xBF\xBD" "a\n", false}}},
        LinesCase{"Utf16LoneLowSurrogate", utf16(std::u16string{u'a', 0xDC00, u'\n'}),
                  {{"a\xEF\xBF\xBD\n", false}}},
        LinesCase{"Utf16HighSurrogateLast", utf16(std::u16string{u'a', 0xD83D}),
                  {{"a\xEF\xBF\xBD", false}}},
        LinesCase{"Utf16OddLastByte", utf16(u"a") + "b", {{"a\xEF\xBF\xBD", false}}},
        LinesCase{"Utf16CtrlZ", utf16(u"a\n\u001a\"b\"\n"), {{"a\n", false}}},
        LinesCase{"Utf16LimitCountsConvertedBytes", utf16(std::u16string(2048, u'\u00e9') + u"\n"),
                  {{[] {
                        std::string s;
                        for (int i = 0; i < 2047; ++i) s += "\xC3\xA9";
                        return s;
                    }(),
                    true},
                   {"\xC3\xA9\n", false}}}),
    case_name<LinesCase>);

struct ZeroCase {
    const char *name;
    std::string bytes;
    std::vector<std::size_t> textLengths; // one a line: the characters before a zero byte
};

std::ostream &operator<<(std::ostream &os, const ZeroCase &c) { return os << c.name; }

class ZeroBytes : public testing::TestWithParam<ZeroCase> {};

// The reader takes a line's text only up to its first zero byte, wherever reads and refills
// fall; the lines around it keep their whole text.
TEST_P(ZeroBytes, EndTheTextOfTheirOwnLineOnly) {
    const ZeroCase &c = GetParam();
    for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
        StringBytes source(c.bytes, chunk);
        auto storage = std::make_unique<unsigned char[]>(kzq::LineSource::kStorageSize);
        kzq::LineSource lines(source, storage.get());
        std::vector<std::size_t> textLengths;
        kzq::Line line;
        while (lines.read_line(line) == kzq::LineStatus::Line &&
               textLengths.size() <= c.textLengths.size()) {
            ASSERT_LE(line.textLength, line.length);
            textLengths.push_back(line.textLength);
        }
        EXPECT_EQ(textLengths, c.textLengths) << "reads of " << chunk << " bytes";
    }
}

std::string zero_at(std::size_t at, std::size_t length) {
    std::string s(length, 'z');
    s[at] = '\0';
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ZeroBytes,
    testing::Values(
        ZeroCase{"None", "ab\ncd", {3, 2}},
        ZeroCase{"First", std::string("\0a\nb\n", 5), {0, 2}},
        ZeroCase{"TwoInOneLine", std::string("a\0b\0\nc\n", 7), {1, 2}},
        ZeroCase{"InEveryLine", std::string("a\0\nb\0\n\0\n", 8), {1, 1, 0}},
        ZeroCase{"BeforeCrLf", std::string("ab\0\r\ncd\r\n", 9), {2, 3}},
        ZeroCase{"InTheLastLineWithoutLineFeed", std::string("a\nb\0c", 5), {2, 1}},
        ZeroCase{"InTheSecondPieceOfALongLine", zero_at(4100, 5000) + "\nx\n", {4094, 6, 2}},
        ZeroCase{"LastOfAPiece", zero_at(4093, 4094) + "x\n", {4093, 2}},
        ZeroCase{"AfterCtrlZIsGone", std::string("a\x1a\0\n", 4), {1}},
        ZeroCase{"FarIntoTheFile", std::string(70000, '\n') + std::string("a\0\n", 3),
                 [] {
                     std::vector<std::size_t> v(70000, 1);
                     v.push_back(1);
                     return v;
                 }()},
        ZeroCase{"Utf16", utf16(std::u16string{u'a', 0, u'b', u'\n', u'c', u'\n'}), {1, 2}}),
    case_name<ZeroCase>);

TEST(ReadFailure, DeliversWhatCameBeforeThenFails) {
    kzq::LineStatus last;
    // The first read returns "ab\ncd" in full, the second fails.
    std::vector<Piece> pieces = read_all("ab\ncd", 1 << 20, &last, 3);
    EXPECT_EQ(pieces, (std::vector<Piece>{{"ab\n", false}, {"cd", false}}));
    EXPECT_EQ(last, kzq::LineStatus::Failure);
}

TEST(ReadFailure, OnTheFirstReadIsAFailureNotTheEnd) {
    kzq::LineStatus last;
    EXPECT_TRUE(read_all("ab\n", 1 << 20, &last, 1).empty());
    EXPECT_EQ(last, kzq::LineStatus::Failure);
}

TEST(Ending, StaysEndedAfterCtrlZ) {
    StringBytes source("a\x1a" "b\n", 1);
    auto storage = std::make_unique<unsigned char[]>(kzq::LineSource::kStorageSize);
    kzq::LineSource lines(source, storage.get());
    kzq::Line line;
    ASSERT_EQ(lines.read_line(line), kzq::LineStatus::Line);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines.read_line(line), kzq::LineStatus::End);
    }
}

} // namespace
} // namespace kzq_test
