#include "platform/sockets_api.h"

#include <winsock.h>

#include <cstring>

namespace kzq {
namespace {

// Windows Sockets 1.1 from WSOCK32. The host entry and the address texts it hands out are kept
// per thread by the sockets layer itself, so one object serves every thread.
class Win32SocketsApi final : public SocketsApi {
public:
    int startup(std::uint16_t version, std::uint16_t &reportedVersion) override {
        WSADATA data;
        int result = WSAStartup(version, &data);
        if (result == 0) {
            reportedVersion = data.wVersion;
        }
        return result;
    }

    int host_name(char *name, int length) override { return gethostname(name, length); }

    const char *const *lookup(const char *name) override {
        hostent *entry = gethostbyname(name);
        return entry == nullptr ? nullptr : entry->h_addr_list;
    }

    const char *address_to_text(const char *address) override {
        in_addr value;
        std::memcpy(&value, address, sizeof value);
        return inet_ntoa(value);
    }

    void cleanup() override { WSACleanup(); }
};

Win32SocketsApi api;

} // namespace

SocketsApi &system_sockets_api() { return api; }

} // namespace kzq
