// A service for the service removal tests. It registers with the service control dispatcher,
// reports itself running and stays so until it is stopped, or, when created with --refuse-stop
// in its binary path, accepts no stop request at all. Either way it also ends when the event
// "Global\kzq_test_service_end_NAME" is signalled, so that a test can end a service that refuses
// to stop.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

bool refuseStop = false;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE endEvent = nullptr;

void report(DWORD state) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    // A service that does not list the stop control among those it accepts has its stop
    // requests refused by the manager itself.
    status.dwControlsAccepted = state == SERVICE_RUNNING && !refuseStop ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(statusHandle, &status);
}

void WINAPI handle_control(DWORD control) {
    if (control == SERVICE_CONTROL_STOP) {
        report(SERVICE_STOP_PENDING);
        SetEvent(endEvent);
    }
}

void WINAPI service_main(DWORD argumentCount, char **arguments) {
    std::string name = argumentCount > 0 ? arguments[0] : "";
    statusHandle = RegisterServiceCtrlHandlerA(name.c_str(), handle_control);
    if (statusHandle == nullptr) {
        return;
    }
    endEvent = CreateEventA(nullptr, TRUE, FALSE, ("Global\\kzq_test_service_end_" + name).c_str());
    report(SERVICE_RUNNING);
    WaitForSingleObject(endEvent, INFINITE);
    report(SERVICE_STOPPED);
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--refuse-stop") == 0) {
            refuseStop = true;
        }
    }
    char ownProcess[] = "";
    SERVICE_TABLE_ENTRYA services[] = {{ownProcess, service_main}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(services) ? 0 : 1;
}
