// A service manager and a standard error for tests: every manager call is recorded as one line
// of text, with the time on a clock that only the fake's sleep moves, and any call can be made
// to fail.
#ifndef SVCREMOVE_TESTS_FAKE_SCM_API_H
#define SVCREMOVE_TESTS_FAKE_SCM_API_H

#include "error_output.h"
#include "scm_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace svcremove {

// What each call of the fake answers; every call succeeds unless told otherwise.
struct FakeScmBehaviour {
    bool managerOpens = true;
    bool serviceOpens = true;
    bool stopAccepted = true;
    bool deleteAccepted = true;
    bool serviceCloses = true;
    bool managerCloses = true;
    bool standardErrorOpen = true; // when false, written bytes are lost as on a closed stream
};

struct FakeCall {
    std::uint32_t atMilliseconds; // the fake clock when the call was made
    std::string text;             // e.g. OpenServiceA(manager, "Spooler", 0xF01FF) -> service
};

class FakeScm final : public ScmApi, public ErrorOutput {
public:
    explicit FakeScm(const FakeScmBehaviour &behaviour = {}) : behaviour_(behaviour) {}

    ScHandle open_sc_manager(const char *machineName, const char *databaseName,
                             std::uint32_t desiredAccess) override;
    ScHandle open_service(ScHandle manager, const char *serviceName,
                          std::uint32_t desiredAccess) override;
    bool control_service(ScHandle service, std::uint32_t control) override;
    void sleep(std::uint32_t milliseconds) override;
    bool delete_service(ScHandle service) override;
    bool close_service_handle(ScHandle handle) override;

    void write(const char *bytes, std::size_t count) override;

    // The manager calls in the order they were made.
    std::vector<std::string> call_texts() const;
    const std::vector<FakeCall> &calls() const { return calls_; }
    std::uint32_t clock_milliseconds() const { return clockMilliseconds_; }
    const std::string &standard_error_bytes() const { return standardError_; }

private:
    void record(const std::string &text);

    FakeScmBehaviour behaviour_;
    std::vector<FakeCall> calls_;
    std::uint32_t clockMilliseconds_ = 0;
    std::string standardError_;
};

} // namespace svcremove

#endif
