#include "scm_api.h"

#include <windows.h>

namespace svcremove {
namespace {

static_assert(kScManagerAllAccess == SC_MANAGER_ALL_ACCESS);
static_assert(kServiceAllAccess == SERVICE_ALL_ACCESS);
static_assert(kServiceControlStop == SERVICE_CONTROL_STOP);

SC_HANDLE to_system(ScHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }

ScHandle from_system(SC_HANDLE handle) { return reinterpret_cast<ScHandle>(handle); }

class Win32ScmApi final : public ScmApi {
public:
    ScHandle open_sc_manager(const char *machineName, const char *databaseName,
                             std::uint32_t desiredAccess) override {
        return from_system(OpenSCManagerA(machineName, databaseName, desiredAccess));
    }

    ScHandle open_service(ScHandle manager, const char *serviceName,
                          std::uint32_t desiredAccess) override {
        return from_system(OpenServiceA(to_system(manager), serviceName, desiredAccess));
    }

    bool control_service(ScHandle service, std::uint32_t control) override {
        SERVICE_STATUS status{};
        return ControlService(to_system(service), control, &status) != 0;
    }

    void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }

    bool delete_service(ScHandle service) override {
        return DeleteService(to_system(service)) != 0;
    }

    bool close_service_handle(ScHandle handle) override {
        return CloseServiceHandle(to_system(handle)) != 0;
    }
};

} // namespace

ScmApi &system_scm_api() {
    static Win32ScmApi api;
    return api;
}

} // namespace svcremove
