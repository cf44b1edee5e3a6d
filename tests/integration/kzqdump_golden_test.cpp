// kzqdump loads the library by name, reads a fixture through the four exports and prints every
// entry; its output must match the fixture's expected file byte for byte.
#include "process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class KzqdumpGolden : public testing::TestWithParam<const char *> {};

TEST_P(KzqdumpGolden, PrintsTheExpectedEntries) {
    std::string name = GetParam();
    std::string expected = kzq_test::read_file(kzq_test::data_file(name + ".expected"));
    ASSERT_FALSE(expected.empty()) << "missing " << name << ".expected";

    kzq_test::ProcessResult run = kzq_test::run_process(
        {kzq_test::program_path("kzqdump"),
         kzq_test::data_file(name + ".reg")});
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, expected);
    bool endedCleanly = expected.find("end\tKZQ_END_OF_FILE\n") != std::string::npos;
    EXPECT_EQ(run.exitCode, endedCleanly ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, KzqdumpGolden,
                         testing::Values("example", "crlf_line_ends", "lf_line_ends",
                                         "ctrl_z_ends_file", "no_final_line_feed",
                                         "long_line_5000", "zero_byte_in_line", "utf16le",
                                         "utf8_bom", "escapes", "key_paths", "other_values",
                                         "hex_continuation", "hex_wrapped_3000",
                                         "hex_6000_bytes", "import_values",
                                         "import_values_ansi"));

} // namespace
