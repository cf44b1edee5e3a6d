#include "remove_service.h"

#include "case_name.h"
#include "fake_scm_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svcremove {
namespace {

const std::string kOpenManager = "OpenSCManagerA(null, null, 0xF003F) -> manager";
const std::string kManagerRefused = "OpenSCManagerA(null, null, 0xF003F) -> null";
const std::string kOpenSpooler = "OpenServiceA(manager, \"Spooler\", 0xF01FF) -> service";
const std::string kSpoolerUnknown = "OpenServiceA(manager, \"Spooler\", 0xF01FF) -> null";
const std::string kStopAccepted = "ControlService(service, 1) -> 1";
const std::string kStopRefused = "ControlService(service, 1) -> 0";
const std::string kPause = "Sleep(1000)";
const std::string kDeleted = "DeleteService(service) -> 1";
const std::string kDeleteRefused = "DeleteService(service) -> 0";
const std::string kCloseService = "CloseServiceHandle(service) -> 1";
const std::string kCloseManager = "CloseServiceHandle(manager) -> 1";

const std::string kInvalidCommandLine = "Invalid command line.\r\n";
const std::string kNoManager = "Couldn't connect to the Service Control Manager.\r\n";
const std::string kNoService =
    "Couldn't connect to Service in the Service Control Manager's list.\r\n";
const std::string kNotDeleted = "Couldn't delete Service.\r\n";

struct RemovalCase {
    const char *name;
    std::vector<const char *> arguments; // as the run-time split them, the program's name first
    FakeScmBehaviour behaviour;
    std::vector<std::string> calls;
    std::string message;
    int status;
};

FakeScmBehaviour answers(void (*change)(FakeScmBehaviour &)) {
    FakeScmBehaviour behaviour;
    change(behaviour);
    return behaviour;
}

int run(const RemovalCase &c, FakeScm &fake) {
    return remove_service(static_cast<int>(c.arguments.size()), c.arguments.data(), fake, fake);
}

const RemovalCase kRemovalCases[] = {
    {"NoArgument", {"svcremove"}, {}, {}, kInvalidCommandLine, -1},
    {"TwoArguments", {"svcremove", "Print", "Spooler"}, {}, {}, kInvalidCommandLine, -1},
    {"ManagerRefused",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) { b.managerOpens = false; }),
     {kManagerRefused},
     kNoManager,
     -1},
    {"ServiceUnknown",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) { b.serviceOpens = false; }),
     {kOpenManager, kSpoolerUnknown, kCloseManager},
     kNoService,
     -1},
    {"RunningServiceStopsThenGoes",
     {"svcremove", "Spooler"},
     {},
     {kOpenManager, kOpenSpooler, kStopAccepted, kPause, kDeleted, kCloseService, kCloseManager},
     "",
     1},
    {"StopRefusedServiceStillGoes",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) { b.stopAccepted = false; }),
     {kOpenManager, kOpenSpooler, kStopRefused, kDeleted, kCloseService, kCloseManager},
     "",
     1},
    {"DeletionRefusedAfterStop",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) { b.deleteAccepted = false; }),
     {kOpenManager, kOpenSpooler, kStopAccepted, kPause, kDeleteRefused, kCloseService,
      kCloseManager},
     kNotDeleted,
     -1},
    {"DeletionRefusedWithoutStop",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) {
         b.stopAccepted = false;
         b.deleteAccepted = false;
     }),
     {kOpenManager, kOpenSpooler, kStopRefused, kDeleteRefused, kCloseService, kCloseManager},
     kNotDeleted,
     -1},
    {"ManagerCloseFailingAfterRemovalGivesZero",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) { b.managerCloses = false; }),
     {kOpenManager, kOpenSpooler, kStopAccepted, kPause, kDeleted, kCloseService,
      "CloseServiceHandle(manager) -> 0"},
     "",
     0},
    {"ServiceCloseFailingAfterRemovalIsIgnored",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) { b.serviceCloses = false; }),
     {kOpenManager, kOpenSpooler, kStopAccepted, kPause, kDeleted,
      "CloseServiceHandle(service) -> 0", kCloseManager},
     "",
     1},
    {"CloseFailingAfterUnknownServiceKeepsTheFailure",
     {"svcremove", "Spooler"},
     answers([](FakeScmBehaviour &b) {
         b.serviceOpens = false;
         b.managerCloses = false;
     }),
     {kOpenManager, kSpoolerUnknown, "CloseServiceHandle(manager) -> 0"},
     kNoService,
     -1},
    {"NameIsPassedUntrimmedAndUnfolded",
     {"svcremove", " My Service "},
     {},
     {kOpenManager, "OpenServiceA(manager, \" My Service \", 0xF01FF) -> service", kStopAccepted,
      kPause, kDeleted, kCloseService, kCloseManager},
     "",
     1},
    {"EmptyNameGoesToTheServiceOpen",
     {"svcremove", ""},
     answers([](FakeScmBehaviour &b) { b.serviceOpens = false; }),
     {kOpenManager, "OpenServiceA(manager, \"\", 0xF01FF) -> null", kCloseManager},
     kNoService,
     -1},
    {"OptionLikeNameIsAServiceName",
     {"svcremove", "/?"},
     answers([](FakeScmBehaviour &b) { b.serviceOpens = false; }),
     {kOpenManager, "OpenServiceA(manager, \"/?\", 0xF01FF) -> null", kCloseManager},
     kNoService,
     -1},
};

class RemovalPaths : public testing::TestWithParam<RemovalCase> {};

TEST_P(RemovalPaths, MakeExactlyTheirCallsMessageAndStatus) {
    const RemovalCase &c = GetParam();
    FakeScm fake(c.behaviour);
    EXPECT_EQ(run(c, fake), c.status);
    EXPECT_EQ(fake.call_texts(), c.calls);
    EXPECT_EQ(fake.standard_error_bytes(), c.message);
}

TEST_P(RemovalPaths, GoTheSameWayWithStandardErrorClosed) {
    const RemovalCase &c = GetParam();
    FakeScmBehaviour closed = c.behaviour;
    closed.standardErrorOpen = false;
    FakeScm fake(closed);
    EXPECT_EQ(run(c, fake), c.status);
    EXPECT_EQ(fake.call_texts(), c.calls);
    EXPECT_EQ(fake.standard_error_bytes(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, RemovalPaths, testing::ValuesIn(kRemovalCases),
                         case_name<RemovalCase>);

const char *const kSpooler[] = {"svcremove", "Spooler"};

TEST(StopPause, FollowsAnAcceptedStopOnceForOneSecondBeforeTheDeletion) {
    FakeScm fake;
    ASSERT_EQ(remove_service(2, kSpooler, fake, fake), 1);
    std::uint32_t stoppedAt = 0;
    std::uint32_t deletedAt = 0;
    for (const FakeCall &call : fake.calls()) {
        if (call.text == kStopAccepted) {
            stoppedAt = call.atMilliseconds;
        }
        if (call.text == kDeleted) {
            deletedAt = call.atMilliseconds;
        }
    }
    EXPECT_EQ(deletedAt - stoppedAt, 1000u);
    EXPECT_EQ(fake.clock_milliseconds(), 1000u);
}

TEST(StopPause, IsLeftOutWhenTheStopIsRefused) {
    FakeScmBehaviour behaviour;
    behaviour.stopAccepted = false;
    FakeScm fake(behaviour);
    ASSERT_EQ(remove_service(2, kSpooler, fake, fake), 1);
    EXPECT_EQ(fake.clock_milliseconds(), 0u);
    EXPECT_EQ(fake.call_texts().at(3), kDeleted);
}

} // namespace
} // namespace svcremove
