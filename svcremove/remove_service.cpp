#include "remove_service.h"

#include <cstring>

namespace svcremove {
namespace {

enum class FailedStep { CommandLine, OpenManager, OpenService, DeleteService };

struct Message {
    FailedStep step;
    const char *text;
};

// Callers match these lines byte for byte, so each ends in CR LF whatever standard error is.
constexpr Message kMessages[] = {
    {FailedStep::CommandLine, "Invalid command line.\r\n"},
    {FailedStep::OpenManager, "Couldn't connect to the Service Control Manager.\r\n"},
    {FailedStep::OpenService, "Couldn't connect to Service in the Service Control Manager's list.\r\n"},
    {FailedStep::DeleteService, "Couldn't delete Service.\r\n"},
};

void report(FailedStep step, ErrorOutput &errors) {
    for (const Message &message : kMessages) {
        if (message.step == step) {
            errors.write(message.text, std::strlen(message.text));
        }
    }
}

constexpr unsigned kPauseAfterStopMilliseconds = 1000;

} // namespace

int remove_service(int argumentCount, const char *const *arguments, ScmApi &scm,
                   ErrorOutput &errors) {
    if (argumentCount != 2) {
        report(FailedStep::CommandLine, errors);
        return kFailureStatus;
    }
    ScHandle manager = scm.open_sc_manager(nullptr, nullptr, kScManagerAllAccess);
    if (manager == kNoHandle) {
        report(FailedStep::OpenManager, errors);
        return kFailureStatus;
    }
    ScHandle service = scm.open_service(manager, arguments[1], kServiceAllAccess);
    if (service == kNoHandle) {
        report(FailedStep::OpenService, errors);
        scm.close_service_handle(manager);
        return kFailureStatus;
    }
    // The stop is only a request: a service that is not running refuses it, and the deletion is
    // made either way. The pause gives an accepting service a moment to end before it goes.
    if (scm.control_service(service, kServiceControlStop)) {
        scm.sleep(kPauseAfterStopMilliseconds);
    }
    if (!scm.delete_service(service)) {
        report(FailedStep::DeleteService, errors);
        scm.close_service_handle(service);
        scm.close_service_handle(manager);
        return kFailureStatus;
    }
    scm.close_service_handle(service);
    // Scripts rely on a removal ending with status 1, the result of this last close.
    return scm.close_service_handle(manager) ? 1 : 0;
}

} // namespace svcremove
