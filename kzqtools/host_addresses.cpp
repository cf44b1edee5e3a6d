#include "host_addresses.h"

#include <cstring>

namespace kzq {
namespace {

// Version 1.1: the major version in the low byte, the minor version in the high byte.
constexpr std::uint16_t kSocketsVersion = 0x0101;

// The host name buffer's size, which is also the length passed to the sockets layer.
constexpr int kHostNameBytes = 256;

// Everything between a successful start-up and its clean-up, so that the caller can clean up
// once whichever way this ends.
kzq_result_t write_list(SocketsApi &sockets, std::uint16_t reportedVersion, char *ipList) {
    if (reportedVersion != kSocketsVersion) {
        return KZQ_ERR_WINSOCK_VERSION;
    }
    char hostName[kHostNameBytes];
    if (sockets.host_name(hostName, kHostNameBytes) != 0) {
        return KZQ_ERR_HOST_NAME;
    }
    const char *const *addresses = sockets.lookup(hostName);
    if (addresses == nullptr) {
        return KZQ_ERR_HOST_LOOKUP;
    }
    std::size_t next = 0;
    for (const char *const *address = addresses; *address != nullptr; ++address) {
        // The text lives in the sockets layer only until its next call, so it is copied now.
        const char *text = sockets.address_to_text(*address);
        if (text == nullptr) {
            continue;
        }
        std::size_t bytes = std::strlen(text) + 1;
        if (ipList != nullptr) {
            std::memcpy(ipList + next, text, bytes);
        }
        next += bytes;
    }
    if (ipList != nullptr) {
        ipList[next] = '\0';
    }
    return KZQ_SUCCESS;
}

} // namespace

kzq_result_t build_host_list(SocketsApi &sockets, char *ipList) {
    std::uint16_t reportedVersion = 0;
    if (sockets.startup(kSocketsVersion, reportedVersion) != 0) {
        return KZQ_ERR_WINSOCK_STARTUP;
    }
    kzq_result_t result = write_list(sockets, reportedVersion, ipList);
    sockets.cleanup();
    return result;
}

} // namespace kzq
