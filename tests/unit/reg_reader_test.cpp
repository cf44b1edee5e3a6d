// What one line of a registry export delivers: key paths, value names and escapes, the value
// kinds with their type and data, and which outputs each entry writes.
#include "case_name.h"
#include "slot_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kzq_test {
namespace {

constexpr std::uint32_t kKeep = kByteCountPattern; // byteCount not written

struct EntryCase {
    const char *name;
    std::string line;
    std::int32_t isKey;
    std::string keyOrName;
    std::string type;
    std::string data;
    std::uint32_t byteCount;
};

std::ostream &operator<<(std::ostream &os, const EntryCase &c) { return os << c.name; }

class OneLine : public testing::TestWithParam<EntryCase> {};

TEST_P(OneLine, DeliversItsEntry) {
    const EntryCase &c = GetParam();
    SlotReader reader;
    ASSERT_EQ(reader.open("REGEDIT4\r\n\r\n" + c.line + "\r\n"), KZQ_SUCCESS);
    Delivered d = reader.next();
    ASSERT_EQ(d.result, KZQ_SUCCESS) << kzq::result_name(d.result);
    EXPECT_EQ(d.isKey, c.isKey);
    EXPECT_EQ(d.name, c.keyOrName);
    EXPECT_EQ(d.type, c.type);
    EXPECT_EQ(d.data, c.data);
    EXPECT_EQ(d.byteCount, c.byteCount);
    EXPECT_EQ(reader.next().result, KZQ_END_OF_FILE);
    EXPECT_EQ(reader.slot.close(), KZQ_SUCCESS);
    EXPECT_TRUE(reader.memory.outstanding.empty()) << "every heap block goes back";
}

INSTANTIATE_TEST_SUITE_P(
    KeyPaths, OneLine,
    testing::Values(
        EntryCase{"LocalMachineRootIsCut", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Example]", 1,
                  "\\SOFTWARE\\Example", "", "", 0},
        EntryCase{"OtherRootsStay", "[HKEY_CURRENT_USER\\Software\\Example]", 1,
                  "HKEY_CURRENT_USER\\Software\\Example", "", "", 0},
        EntryCase{"RootAloneIsEmpty", "[HKEY_LOCAL_MACHINE]", 1, "", "", "", 0},
        EntryCase{"DeletionKeepsItsMarker", "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]", 1,
                  "-\\SOFTWARE\\Old", "", "", 0},
        EntryCase{"DeletionOfOtherRoot", "[-HKEY_CURRENT_USER\\X]", 1, "-HKEY_CURRENT_USER\\X",
                  "", "", 0},
        EntryCase{"BracketsInsideThePathStay", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A[1]]", 1,
                  "\\SOFTWARE\\A[1]", "", "", 0},
        EntryCase{"RootDeeperInThePathStays",
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\HKEY_LOCAL_MACHINE\\X]", 1,
                  "\\SOFTWARE\\HKEY_LOCAL_MACHINE\\X", "", "", 0},
        EntryCase{"RootMustEndAtABackslash", "[HKEY_LOCAL_MACHINEX\\Y]", 1,
                  "HKEY_LOCAL_MACHINEX\\Y", "", "", 0},
        EntryCase{"RootIsMatchedInExactCase", "[hkey_local_machine\\Y]", 1,
                  "hkey_local_machine\\Y", "", "", 0},
        EntryCase{"TextAfterTheLastBracketGoes", "[HKEY_LOCAL_MACHINE\\S] ; note", 1, "\\S", "",
                  "", 0},
        EntryCase{"NoClosingBracket", "[HKEY_LOCAL_MACHINE\\S", 1, "\\S", "", "", 0},
        EntryCase{"QuotesInAKeyStay", "[HKEY_LOCAL_MACHINE\\\"q\"]", 1, "\\\"q\"", "", "", 0},
        EntryCase{"EmptyBrackets", "[]", 1, "", "", "", 0}),
    case_name<EntryCase>);

INSTANTIATE_TEST_SUITE_P(
    NamesAndEscapes, OneLine,
    testing::Values(
        EntryCase{"Path", "\"Path\"=\"C:\\\\Tools\\\\Example\"", 0, "Path", "",
                  "C:\\Tools\\Example", kKeep},
        EntryCase{"Share", "\"Share\"=\"\\\\\\\\server\\\\files\"", 0, "Share", "",
                  "\\\\server\\files", kKeep},
        EntryCase{"Say", "\"Say\"=\"a \\\"b\\\" c\"", 0, "Say", "", "a \"b\" c", kKeep},
        EntryCase{"Cmd",
                  "\"Cmd\"=\"\\\"C:\\\\Program Files\\\\App\\\\app.exe\\\" \\\"%1\\\"\"", 0,
                  "Cmd", "", "\"C:\\Program Files\\App\\app.exe\" \"%1\"", kKeep},
        EntryCase{"Empty", "\"Empty\"=\"\"", 0, "Empty", "", "", kKeep},
        EntryCase{"EscapedBackslashInName", "\"Dir\\\\Sub\"=\"x\"", 0, "Dir\\Sub", "", "x",
                  kKeep},
        EntryCase{"EqualsInName", "\"=x\"=\"y\"", 0, "=x", "", "y", kKeep},
        EntryCase{"EscapedQuoteBeforeEqualsIsNoSplit", "\"a\\\"=b\"=\"c\"", 0, "a\"=b", "", "c",
                  kKeep},
        EntryCase{"BackslashBeforeClosingQuote", "\"a\\\\\"=\"b\"", 0, "a\\", "", "b", kKeep},
        EntryCase{"LoneBackslashStays", "\"a\\b\"=\"c\\d\"", 0, "a\\b", "", "c\\d", kKeep},
        EntryCase{"SpacedEqualsIsNoSplit", "\"Spaced\" = \"x\"", 0, "Spaced = x", "", "", kKeep},
        EntryCase{"NoEqualsAtAll", "\"Lonely\"", 0, "Lonely", "", "", kKeep},
        EntryCase{"QuoteAlone", "\"", 0, "", "", "", kKeep},
        EntryCase{"TextAfterTheString", "\"T\"=\"text\" ; note", 0, "T", "", "text ; note",
                  kKeep},
        EntryCase{"CarriageReturnAndTabPass", "\"T\"=\"a\tb\rc\"", 0, "T", "", "a\tb\rc", kKeep},
        EntryCase{"DefaultValue", "@=\"fallback\"", 0, "", "", "fallback", kKeep},
        EntryCase{"DefaultDword", "@=dword:00000010", 0, "", "dword", "16", kKeep}),
    case_name<EntryCase>);

INSTANTIATE_TEST_SUITE_P(
    ValueKinds, OneLine,
    testing::Values(
        EntryCase{"UpperCaseDwordIsOther", "\"Size\"=DWORD:00000010", 0, "Size",
                  "DWORD:00000010", "", kKeep},
        EntryCase{"Odd", "\"Odd\"=text:more", 0, "Odd", "text:more", "", kKeep},
        EntryCase{"Gone", "\"Gone\"=-", 0, "Gone", "-", "", kKeep},
        EntryCase{"EmptyRightSide", "\"Blank\"=", 0, "Blank", "", "", kKeep},
        EntryCase{"OtherLosesItsQuotes", "\"Q\"=x\"y\"z", 0, "Q", "xyz", "", kKeep},
        EntryCase{"Count", "\"Count\"=dword:0000001a", 0, "Count", "dword", "26", kKeep},
        EntryCase{"Mask", "\"Mask\"=dword:80000000", 0, "Mask", "dword", "-2147483648", kKeep},
        EntryCase{"All", "\"All\"=dword:ffffffff", 0, "All", "dword", "-1", kKeep},
        EntryCase{"Long", "\"Long\"=dword:100000000", 0, "Long", "dword", "2147483647", kKeep},
        EntryCase{"Neg", "\"Neg\"=dword:-10", 0, "Neg", "dword", "-16", kKeep},
        EntryCase{"Pre", "\"Pre\"=dword:0x20", 0, "Pre", "dword", "32", kKeep},
        EntryCase{"Lead", "\"Lead\"=dword: 12", 0, "Lead", "dword", "18", kKeep},
        EntryCase{"QuotedDword", "\"Quoted\"=dword:\"0000000a\"", 0, "Quoted", "dword", "10",
                  kKeep},
        EntryCase{"Junk", "\"Junk\"=dword:xyz", 0, "Junk", "dword", "0", kKeep},
        EntryCase{"Bare", "\"Bare\"=dword", 0, "Bare", "dword", "0", kKeep},
        EntryCase{"DwordWordGoesOn", "\"W\"=dwordx:1", 0, "W", "dwordx", "1", kKeep},
        EntryCase{"Bin", "\"Bin\"=hex:01,ab,FF", 0, "Bin", "hex", "\x01\xab\xff", 3},
        EntryCase{"Exp", "\"Exp\"=hex(2):41,00", 0, "Exp", "hex(2)", std::string("\x41\x00", 2),
                  2},
        EntryCase{"None", "\"None\"=hex:", 0, "None", "hex", "", 0},
        EntryCase{"NoColon", "\"NoColon\"=hex", 0, "NoColon", "hex", "", 0},
        EntryCase{"Short", "\"Short\"=hex:1,02", 0, "Short", "hex", "\x01\x02", 2},
        EntryCase{"Run", "\"Run\"=hex:abc", 0, "Run", "hex", "\xab\x0c", 2},
        EntryCase{"Minus", "\"Minus\"=hex:-1", 0, "Minus", "hex", "\xff", 1},
        EntryCase{"Bad", "\"Bad\"=hex:zz,10", 0, "Bad", "hex", std::string("\x00\x10", 2), 2},
        EntryCase{"QuotedHexType", "\"H\"=hex\"(2)\":01", 0, "H", "hex(2)", "\x01", 1}),
    case_name<EntryCase>);

struct SkipCase {
    const char *name;
    std::string line;
};

std::ostream &operator<<(std::ostream &os, const SkipCase &c) { return os << c.name; }

class NotAnEntry : public testing::TestWithParam<SkipCase> {};

TEST_P(NotAnEntry, IsSkippedWithoutATrace) {
    SlotReader reader;
    ASSERT_EQ(reader.open(GetParam().line + "\n\"After\"=\"x\"\n"), KZQ_SUCCESS);
    Delivered d = reader.next();
    ASSERT_EQ(d.result, KZQ_SUCCESS);
    EXPECT_EQ(d.name, "After");
}

INSTANTIATE_TEST_SUITE_P(Lines, NotAnEntry,
                         testing::Values(SkipCase{"Header", "Windows Registry Editor Version 5.00"},
                                         SkipCase{"Blank", ""}, SkipCase{"Comment", "; note"},
                                         SkipCase{"AtWithoutEquals", "@\"x\""},
                                         SkipCase{"IndentedKey", " [HKEY_LOCAL_MACHINE\\X]"},
                                         SkipCase{"TabbedValue", "\t\"x\"=\"y\""},
                                         SkipCase{"ZeroByteFirst", std::string("\0\"x\"=\"y\"", 8)},
                                         SkipCase{"LoneCarriageReturn", "\r"}),
                         case_name<SkipCase>);

TEST(EntryOutputs, ByteCountIsWrittenOnlyByKeysAndHexValues) {
    SlotReader reader;
    ASSERT_EQ(reader.open("\"Bin\"=hex:01,02,03\n\"S\"=\"x\"\n\"D\"=dword:1\n[HKEY_LOCAL_MACHINE\\K]\n"),
              KZQ_SUCCESS);
    std::vector<char> name(kTextMost), type(kTextMost), data(kDataMost);
    std::int32_t isKey = 0;
    std::uint32_t byteCount = 77;
    auto next = [&] { return reader.slot.next(&isKey, name.data(), data.data(), type.data(), &byteCount); };
    ASSERT_EQ(next(), KZQ_SUCCESS);
    EXPECT_EQ(byteCount, 3u);
    ASSERT_EQ(next(), KZQ_SUCCESS);
    EXPECT_EQ(byteCount, 3u) << "a string value leaves byteCount alone";
    ASSERT_EQ(next(), KZQ_SUCCESS);
    EXPECT_EQ(byteCount, 3u) << "a dword value leaves byteCount alone";
    ASSERT_EQ(next(), KZQ_SUCCESS);
    EXPECT_EQ(byteCount, 0u) << "a key sets byteCount to 0";
}

TEST(EntryOutputs, AKeyWritesOneZeroByteIntoDataAndType) {
    SlotReader reader;
    ASSERT_EQ(reader.open("[HKEY_LOCAL_MACHINE\\K]\n"), KZQ_SUCCESS);
    Delivered d = reader.next(); // checks the pattern after each zero byte
    ASSERT_EQ(d.result, KZQ_SUCCESS);
    EXPECT_EQ(d.data, "");
    EXPECT_EQ(d.type, "");
}

} // namespace
} // namespace kzq_test
