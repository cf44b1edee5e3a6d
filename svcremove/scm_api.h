// The service manager operations that removing a service needs, behind one narrow interface so
// that the sequence can run against a fake that records every call and fails any of them.
#ifndef SVCREMOVE_SCM_API_H
#define SVCREMOVE_SCM_API_H

#include <cstdint>

namespace svcremove {

// A manager or service handle as the system gives it; kNoHandle stands for the null handle that
// an open returns on failure.
using ScHandle = std::uintptr_t;
constexpr ScHandle kNoHandle = 0;

// The system's values for the access rights and the control that the removal uses; the Windows
// backend checks them against the system's own definitions when it is compiled.
constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceControlStop = 1;

class ScmApi {
public:
    virtual ~ScmApi() = default;

    // OpenSCManagerA: a null machine name is the local machine, a null database name the
    // manager's default database. Returns kNoHandle on failure.
    virtual ScHandle open_sc_manager(const char *machineName, const char *databaseName,
                                     std::uint32_t desiredAccess) = 0;

    // OpenServiceA through an open manager handle. Returns kNoHandle on failure.
    virtual ScHandle open_service(ScHandle manager, const char *serviceName,
                                  std::uint32_t desiredAccess) = 0;

    // ControlService: true when the service accepted the control. The status record that the
    // system fills in stays inside the backend, since nobody reads it.
    virtual bool control_service(ScHandle service, std::uint32_t control) = 0;

    // Sleep: returns after the pause.
    virtual void sleep(std::uint32_t milliseconds) = 0;

    // DeleteService: true when the manager accepted the deletion.
    virtual bool delete_service(ScHandle service) = 0;

    // CloseServiceHandle: true when the handle closed. The handle is given up either way.
    virtual bool close_service_handle(ScHandle handle) = 0;
};

// The service manager of the platform the program was built for.
ScmApi &system_scm_api();

} // namespace svcremove

#endif
