// svcremove against Wine's real service manager, with services of our own test program created
// through sc.exe. Names carry this process's id, so runs sharing a prefix never collide.
#include "process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using kzq_test::ProcessResult;

const char kSc[] = "C:\\windows\\system32\\sc.exe";
constexpr std::uint32_t kFailure = 0xFFFFFFFFu;
const std::string kNoService =
    "Couldn't connect to Service in the Service Control Manager's list.\r\n";

std::string unique_name(const std::string &label) {
    return "kzq_" + label + "_" + std::to_string(GetCurrentProcessId());
}

ProcessResult sc(const std::vector<std::string> &arguments) {
    std::vector<std::string> line{kSc};
    line.insert(line.end(), arguments.begin(), arguments.end());
    return kzq_test::run_process(line);
}

struct TimedRun {
    ProcessResult result;
    long long milliseconds;
};

TimedRun timed(ProcessResult (*run)(const std::string &), const std::string &argument) {
    auto start = std::chrono::steady_clock::now();
    ProcessResult result = run(argument);
    auto elapsed = std::chrono::steady_clock::now() - start;
    return {result, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()};
}

// The command line exactly as typed after the program's name.
ProcessResult svcremove_typed(const std::string &arguments) {
    std::string line = "svcremove.exe";
    if (!arguments.empty()) {
        line += " " + arguments;
    }
    return kzq_test::run_command_line(kzq_test::program_path("svcremove"), line);
}

ProcessResult svcremove(const std::string &name) {
    return kzq_test::run_process({kzq_test::program_path("svcremove"), name});
}

struct TypedCase {
    const char *name;
    std::string arguments;
    std::string message;
};

class TypedCommandLines : public testing::TestWithParam<TypedCase> {};

TEST_P(TypedCommandLines, FailWithTheirMessageAndAllBitsSet) {
    const TypedCase &c = GetParam();
    ProcessResult run = svcremove_typed(c.arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, kFailure);
    EXPECT_EQ(run.err, c.message);
    EXPECT_EQ(run.out, "");
}

const TypedCase kTypedCases[] = {
    {"NoArgument", "", "Invalid command line.\r\n"},
    {"TwoArguments", "kzq_one kzq_two", "Invalid command line.\r\n"},
    {"UnquotedBlank", "kzq never there", "Invalid command line.\r\n"},
    {"UnknownName", unique_name("never_created"), kNoService},
    {"EmptyQuotedName", "\"\"", kNoService},
    {"SlashOption", "/?", kNoService},
    {"HyphenOption", "-h", kNoService},
    // The run-time expands no wildcards: a pattern that matches files stays one name.
    {"Wildcard", "C:\\windows\\*", kNoService},
};

INSTANTIATE_TEST_SUITE_P(Cases, TypedCommandLines, testing::ValuesIn(kTypedCases),
                         [](const testing::TestParamInfo<TypedCase> &row) {
                             return std::string(row.param.name);
                         });

TEST(ClosedStandardError, ChangesNeitherTheOutputNorTheStatus) {
    kzq_test::ProcessOptions closed;
    closed.closeStandardError = true;
    ProcessResult run =
        kzq_test::run_process({kzq_test::program_path("svcremove"), unique_name("never_created")}, closed);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, kFailure);
    EXPECT_EQ(run.out, "");
}

// Creates services of the test program and, whatever a test left behind, ends and deletes them.
class Services : public testing::Test {
protected:
    void TearDown() override {
        for (const std::string &name : created_) {
            end_process(name);
            sc({"delete", name});
        }
    }

    std::string create(const std::string &label, bool refuseStop = false) {
        std::string name = unique_name(label);
        std::string binPath = "\"" + kzq_test::program_path("kzq_test_service") + "\"";
        if (refuseStop) {
            binPath += " --refuse-stop";
        }
        created_.push_back(name);
        EXPECT_EQ(sc({"create", name, "binPath=", binPath}).exitCode, 0u) << name;
        return name;
    }

    std::string create_running(const std::string &label, bool refuseStop = false) {
        std::string name = create(label, refuseStop);
        sc({"start", name});
        EXPECT_TRUE(reaches(name, "RUNNING")) << name;
        return name;
    }

    static bool exists(const std::string &name) { return sc({"query", name}).exitCode == 0; }

    // Polls the manager until the service's state shows `state`, or, with an empty state,
    // until the service is gone.
    static bool reaches(const std::string &name, const std::string &state) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            ProcessResult query = sc({"query", name});
            bool there = query.exitCode == 0;
            if (state.empty() ? !there : query.out.find(state) != std::string::npos) {
                return true;
            }
            Sleep(100);
        }
        return false;
    }

    static bool gone(const std::string &name) { return reaches(name, ""); }

    static void end_process(const std::string &name) {
        HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE,
                                  ("Global\\kzq_test_service_end_" + name).c_str());
        if (event != nullptr) {
            SetEvent(event);
            CloseHandle(event);
        }
    }

private:
    std::vector<std::string> created_;
};

TEST_F(Services, NeverStartedOneIsDeletedSilently) {
    std::string name = create("never_started");
    ProcessResult run = svcremove(name);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(exists(name));
}

TEST_F(Services, RunningOneThatStopsIsDeletedAfterAOneSecondPause) {
    std::string idle = create("idle");
    std::string running = create_running("stops");
    TimedRun withoutStop = timed(svcremove, idle);
    TimedRun withStop = timed(svcremove, running);
    EXPECT_EQ(withoutStop.result.exitCode, 1u);
    EXPECT_EQ(withStop.result.exitCode, 1u);
    EXPECT_EQ(withStop.result.err, "");
    EXPECT_EQ(withStop.result.out, "");
    EXPECT_GE(withStop.milliseconds, 1000);
    EXPECT_GE(withStop.milliseconds - withoutStop.milliseconds, 800);
    EXPECT_TRUE(gone(running));
}

TEST_F(Services, RunningOneThatRefusesTheStopIsMarkedForDeletion) {
    std::string name = create_running("refuses", true);
    TimedRun run = timed(svcremove, name);
    EXPECT_EQ(run.result.exitCode, 1u);
    EXPECT_EQ(run.result.err, "");
    EXPECT_LT(run.milliseconds, 1000) << "no pause follows a refused stop";
    // Wine keeps a service marked for deletion open to callers but refuses to delete it again,
    // which is the one way to see a refused deletion with a real manager.
    ProcessResult again = svcremove(name);
    EXPECT_EQ(again.exitCode, kFailure);
    EXPECT_EQ(again.err, "Couldn't delete Service.\r\n");
    EXPECT_TRUE(exists(name));
    end_process(name);
    EXPECT_TRUE(gone(name));
}

TEST_F(Services, QuotedNameWithBlanksIsOneName) {
    std::string name = create("with blanks");
    ProcessResult run = svcremove_typed("\"" + name + "\"");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(exists(name));
}

TEST_F(Services, BatchIsRemovedInARowWithNoneLeftOver) {
    std::vector<std::string> names = {create("batch_idle_1"), create_running("batch_running_1"),
                                      create("batch_idle_2"), create_running("batch_running_2")};
    for (const std::string &name : names) {
        EXPECT_EQ(svcremove(name).exitCode, 1u) << name;
    }
    for (const std::string &name : names) {
        EXPECT_TRUE(gone(name)) << name;
    }
}

} // namespace
