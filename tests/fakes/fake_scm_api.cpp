#include "fake_scm_api.h"

#include <cstdio>

namespace svcremove {
namespace {

// Distinct non-null values, so that a handle passed to the wrong call shows in the record.
constexpr ScHandle kManager = 0x5C10;
constexpr ScHandle kService = 0x5C20;

std::string handle_name(ScHandle handle) {
    if (handle == kManager) {
        return "manager";
    }
    if (handle == kService) {
        return "service";
    }
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(handle));
    return text;
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

std::string text_or_null(const char *text) {
    return text == nullptr ? "null" : "\"" + std::string(text) + "\"";
}

std::string result(bool succeeded) { return succeeded ? "1" : "0"; }

} // namespace

ScHandle FakeScm::open_sc_manager(const char *machineName, const char *databaseName,
                                  std::uint32_t desiredAccess) {
    ScHandle manager = behaviour_.managerOpens ? kManager : kNoHandle;
    record("OpenSCManagerA(" + text_or_null(machineName) + ", " + text_or_null(databaseName) +
           ", " + hex(desiredAccess) + ") -> " + (manager ? handle_name(manager) : "null"));
    return manager;
}

ScHandle FakeScm::open_service(ScHandle manager, const char *serviceName,
                               std::uint32_t desiredAccess) {
    ScHandle service = behaviour_.serviceOpens ? kService : kNoHandle;
    record("OpenServiceA(" + handle_name(manager) + ", " + text_or_null(serviceName) + ", " +
           hex(desiredAccess) + ") -> " + (service ? handle_name(service) : "null"));
    return service;
}

bool FakeScm::control_service(ScHandle service, std::uint32_t control) {
    record("ControlService(" + handle_name(service) + ", " + std::to_string(control) + ") -> " +
           result(behaviour_.stopAccepted));
    return behaviour_.stopAccepted;
}

void FakeScm::sleep(std::uint32_t milliseconds) {
    record("Sleep(" + std::to_string(milliseconds) + ")");
    clockMilliseconds_ += milliseconds;
}

bool FakeScm::delete_service(ScHandle service) {
    record("DeleteService(" + handle_name(service) + ") -> " + result(behaviour_.deleteAccepted));
    return behaviour_.deleteAccepted;
}

bool FakeScm::close_service_handle(ScHandle handle) {
    bool closes = handle == kManager ? behaviour_.managerCloses : behaviour_.serviceCloses;
    record("CloseServiceHandle(" + handle_name(handle) + ") -> " + result(closes));
    return closes;
}

void FakeScm::write(const char *bytes, std::size_t count) {
    if (behaviour_.standardErrorOpen) {
        standardError_.append(bytes, count);
    }
}

std::vector<std::string> FakeScm::call_texts() const {
    std::vector<std::string> texts;
    for (const FakeCall &call : calls_) {
        texts.push_back(call.text);
    }
    return texts;
}

void FakeScm::record(const std::string &text) { calls_.push_back({clockMilliseconds_, text}); }

} // namespace svcremove
