// The reading slot's states and what every call does in each, the streams it leaves open, and
// the failures of the file system and the heap.
#include "case_name.h"
#include "slot_reader.h"

#include <gtest/gtest.h>

namespace kzq_test {
namespace {

const std::string kTwoValues = "\"A\"=\"1\"\n\"B\"=\"2\"\n";

TEST(EmptySlot, RefusesReadsAndCloses) {
    SlotReader reader;
    EXPECT_EQ(reader.next().result, KZQ_ERR_FILE_READ);
    EXPECT_EQ(reader.slot.close(), KZQ_ERR_FILE_CLOSE);
    EXPECT_TRUE(reader.files.closed.empty());
}

TEST(Opening, RefusesANullOrEmptyNameAndKeepsTheOpenFile) {
    SlotReader reader;
    ASSERT_EQ(reader.open(kTwoValues), KZQ_SUCCESS);
    EXPECT_EQ(reader.next().name, "A");
    EXPECT_EQ(reader.slot.open(nullptr), KZQ_ERR_NO_FILE_NAME);
    EXPECT_EQ(reader.slot.open(""), KZQ_ERR_NO_FILE_NAME);
    EXPECT_EQ(reader.next().name, "B") << "the open file reads on";
}

TEST(Opening, AMissingFileEmptiesTheSlot) {
    SlotReader reader;
    ASSERT_EQ(reader.open(kTwoValues), KZQ_SUCCESS);
    EXPECT_EQ(reader.slot.open("missing.reg"), KZQ_ERR_FILE_OPEN);
    EXPECT_EQ(reader.next().result, KZQ_ERR_FILE_READ);
    EXPECT_EQ(reader.slot.close(), KZQ_ERR_FILE_CLOSE);
    EXPECT_EQ(reader.slot.open_streams(), 1u) << "the first file stays open until the end";
}

TEST(Opening, WithoutRoomForTheStreamFailsLikeAnyOpen) {
    SlotReader reader;
    reader.files.files["a.reg"] = kTwoValues;
    struct RefuseAll final : kzq::Memory {
        void *allocate(std::size_t) override { return nullptr; }
        void release(void *) override {}
    } refuse;
    kzq::ReadingSlot slot(reader.files, refuse);
    EXPECT_EQ(slot.open("a.reg"), KZQ_ERR_FILE_OPEN);
    EXPECT_TRUE(reader.files.open.empty()) << "no handle is left behind";
}

TEST(Opening, ASecondFileReplacesTheFirstWhichStaysOpen) {
    SlotReader reader;
    ASSERT_EQ(reader.open(kTwoValues, "first.reg"), KZQ_SUCCESS);
    EXPECT_EQ(reader.next().name, "A");
    ASSERT_EQ(reader.open("\"Second\"=\"x\"\n", "second.reg"), KZQ_SUCCESS);
    EXPECT_EQ(reader.next().name, "Second");
    EXPECT_EQ(reader.next().result, KZQ_END_OF_FILE);
    EXPECT_EQ(reader.slot.close(), KZQ_SUCCESS);
    EXPECT_EQ(reader.files.open.size(), 1u) << "the first file is out of reach but open";
}

TEST(Closing, ClosesOnceAndThenRefuses) {
    SlotReader reader;
    ASSERT_EQ(reader.open(kTwoValues), KZQ_SUCCESS);
    EXPECT_EQ(reader.slot.close(), KZQ_SUCCESS);
    EXPECT_EQ(reader.next().result, KZQ_ERR_FILE_READ);
    EXPECT_EQ(reader.slot.close(), KZQ_ERR_FILE_CLOSE);
    EXPECT_EQ(reader.files.closed.size(), 1u) << "no handle is closed twice";
    EXPECT_TRUE(reader.memory.outstanding.empty());
}

TEST(Closing, AFailedCloseIsReportedAndTheStreamIsGone) {
    SlotReader reader;
    ASSERT_EQ(reader.open(kTwoValues), KZQ_SUCCESS);
    reader.files.failCloses = true;
    EXPECT_EQ(reader.slot.close(), KZQ_ERR_FILE_CLOSE);
    EXPECT_EQ(reader.next().result, KZQ_ERR_FILE_READ);
    EXPECT_EQ(reader.slot.open_streams(), 0u);
    EXPECT_TRUE(reader.memory.outstanding.empty());
}

TEST(Closing, OpeningAgainAfterACloseReadsTheNewFile) {
    SlotReader reader;
    ASSERT_EQ(reader.open(kTwoValues), KZQ_SUCCESS);
    ASSERT_EQ(reader.slot.close(), KZQ_SUCCESS);
    ASSERT_EQ(reader.open("\"C\"=\"3\"\n", "other.reg"), KZQ_SUCCESS);
    EXPECT_EQ(reader.next().name, "C");
}

TEST(Ending, EveryCallAfterTheEndReportsTheEnd) {
    SlotReader reader;
    ASSERT_EQ(reader.open("REGEDIT4\n\n; nothing here\n"), KZQ_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.next().result, KZQ_END_OF_FILE);
    }
}

TEST(Ending, AFailedReadIsNoEnd) {
    SlotReader reader;
    reader.files.chunk = 1 << 20;
    ASSERT_EQ(reader.open(kTwoValues), KZQ_SUCCESS);
    reader.files.failReadNumber = reader.files.reads + 1;
    EXPECT_EQ(reader.next().result, KZQ_ERR_FILE_READ);
}

TEST(Unloading, ClosesEveryStreamStillOpenOnce) {
    FakeFileApi files;
    FakeMemory memory;
    files.files["a.reg"] = kTwoValues;
    files.files["b.reg"] = kTwoValues;
    files.files["c.reg"] = kTwoValues;
    {
        kzq::ReadingSlot slot(files, memory);
        ASSERT_EQ(slot.open("a.reg"), KZQ_SUCCESS);
        ASSERT_EQ(slot.open("b.reg"), KZQ_SUCCESS); // pushes a.reg out of the slot
        ASSERT_EQ(slot.open("c.reg"), KZQ_SUCCESS);
        ASSERT_EQ(slot.close(), KZQ_SUCCESS);       // c.reg closed by the host
        EXPECT_EQ(files.open.size(), 2u);
    }
    EXPECT_TRUE(files.open.empty());
    EXPECT_EQ(files.closed.size(), 3u);
    for (kzq::FileHandle h : files.closed) {
        EXPECT_EQ(files.closed.count(h), 1u) << "handle " << h << " closed twice";
    }
    EXPECT_TRUE(memory.outstanding.empty());
}

TEST(NoMemory, LosesTheHexValueAndGoesOnAtTheNextEntry) {
    SlotReader reader;
    ASSERT_EQ(reader.open("\"Big\"=hex:01,02,\\\n  03,04,\\\n  05\n\"After\"=\"x\"\n"
                          "\"Small\"=hex:0a\n"),
              KZQ_SUCCESS);
    reader.memory.refuseSize = kzq::kHexBlockSize;
    EXPECT_EQ(reader.next().result, KZQ_ERR_NO_MEMORY); // checks that nothing was written
    Delivered after = reader.next();
    EXPECT_EQ(after.name, "After") << "the lost value's indented lines are skipped";
    reader.memory.refuseSize = 0;
    Delivered small = reader.next();
    EXPECT_EQ(small.data, "\x0a");
    EXPECT_EQ(reader.memory.allocations[kzq::kHexBlockSize], 2) << "one block per hex value";
}

// A hex value over several lines: which lines it takes, and where the next entry starts.
struct HexCase {
    const char *name;
    std::string text;
    std::string bytes;
    std::string nextName; // the entry after the value, "" for the end of the file
};

std::ostream &operator<<(std::ostream &os, const HexCase &c) { return os << c.name; }

class HexContinuation : public testing::TestWithParam<HexCase> {};

TEST_P(HexContinuation, TakesItsLinesAndLeavesTheNextEntry) {
    const HexCase &c = GetParam();
    SlotReader reader;
    ASSERT_EQ(reader.open(c.text), KZQ_SUCCESS);
    Delivered value = reader.next();
    ASSERT_EQ(value.result, KZQ_SUCCESS);
    EXPECT_EQ(value.data, c.bytes);
    EXPECT_EQ(value.byteCount, c.bytes.size());
    Delivered next = reader.next();
    if (c.nextName.empty()) {
        EXPECT_EQ(next.result, KZQ_END_OF_FILE);
    } else {
        EXPECT_EQ(next.name, c.nextName);
    }
}

std::string wrapped(std::size_t count, std::size_t perLine) {
    std::string text = "\"V\"=hex:";
    for (std::size_t i = 0; i < count; ++i) {
        text += "7e";
        if (i + 1 < count) {
            text += (i + 1) % perLine == 0 ? ",\\\r\n  " : ",";
        }
    }
    return text + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Values, HexContinuation,
    testing::Values(
        HexCase{"ThreeLines", "\"Big\"=hex:01,02,\\\n  03,04,\\\n  05\n\"N\"=\"x\"\n",
                "\x01\x02\x03\x04\x05", "N"},
        HexCase{"BackslashThenSpaceDoesNotContinue", "\"Big\"=hex:01,02,\\ \n  03\n\"N\"=\"x\"\n",
                "\x01\x02", "N"},
        HexCase{"BackslashInsideALineDoesNotContinue",
                "\"Big\"=hex:01,\\\n  02,\\03\n[HKEY_LOCAL_MACHINE\\K]\n\"N\"=\"x\"\n",
                "\x01\x02\x03", "\\K"},
        HexCase{"DanglingBackslashTakesTheNextLineWhateverItIs",
                "\"Big\"=hex:01,\\\n[HKEY_LOCAL_MACHINE\\K]\n\"N\"=\"x\"\n",
                std::string("\x01\0\0\0\0\xca\0\0\x0c\0\x0e\0", 12), "N"},
        HexCase{"DanglingBackslashAtTheEnd", "\"Big\"=hex:01,02,\\\n", "\x01\x02", ""},
        HexCase{"DanglingBackslashWithoutLineFeedAtTheEnd", "\"Big\"=hex:01,02,\\", "\x01\x02",
                ""},
        HexCase{"ContinuationWithoutLineFeedAtTheEnd", "\"Big\"=hex:01,\\\n  02", "\x01\x02", ""},
        HexCase{"CrLfLines", "\"Big\"=hex:01,\\\r\n  02\r\n\"N\"=\"x\"\r\n", "\x01\x02", "N"},
        HexCase{"Wrapped3000", wrapped(3000, 25) + "\"N\"=\"x\"\r\n", std::string(3000, '\x7e'),
                "N"},
        HexCase{"Wrapped6000KeepsTheFirst4096", wrapped(6000, 25) + "\"N\"=\"x\"\r\n",
                std::string(4096, '\x7e'), "N"},
        HexCase{"OneLongLineIsOneValue", wrapped(3000, 100000) + "\"N\"=\"x\"\r\n",
                std::string(3000, '\x7e'), "N"},
        HexCase{"CutContinuationLineIsOneLine",
                "\"V\"=hex:01,\\\n" + std::string(5000, ' ') + "02,\\\n  03\n\"N\"=\"x\"\n",
                "\x01\x02\x03", "N"}),
    case_name<HexCase>);

} // namespace
} // namespace kzq_test
