#include "platform/sockets_api.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace kzq {
namespace {

// What one thread's last lookup left behind, from the lookup until the clean-up: one heap block
// with the list of pointers, ended by a null pointer, followed by the four bytes of each address.
// Keeping it per thread gives the same lifetimes as the Windows sockets layer, so calls on
// several threads stay independent. Only plain pointers and arrays are thread-local: a
// thread-local object with a destructor would pin the library in memory after its unload until
// the thread ends, and the unload would then close no file.
thread_local void *lookupBlock = nullptr;
thread_local char text[INET_ADDRSTRLEN];

// The POSIX calls need no start-up, so this layer starts as version 1.1 and its clean-up only
// gives back what the thread's lookup held.
class PosixSocketsApi final : public SocketsApi {
public:
    int startup(std::uint16_t, std::uint16_t &reportedVersion) override {
        reportedVersion = 0x0101;
        return 0;
    }

    int host_name(char *name, int length) override {
        return gethostname(name, static_cast<std::size_t>(length)) == 0 ? 0 : -1;
    }

    const char *const *lookup(const char *name) override {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        // One entry for each address rather than one for each kind of socket.
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *found = nullptr;
        if (getaddrinfo(name, nullptr, &hints, &found) != 0) {
            return nullptr;
        }
        std::size_t count = 0;
        for (const addrinfo *item = found; item != nullptr; item = item->ai_next) {
            ++count;
        }
        cleanup();
        // A lookup without room for its result fails like one that finds nothing.
        lookupBlock = std::malloc((count + 1) * sizeof(const char *) + count * 4);
        if (lookupBlock == nullptr) {
            freeaddrinfo(found);
            return nullptr;
        }
        auto **list = static_cast<const char **>(lookupBlock);
        auto *bytes = reinterpret_cast<char *>(list + count + 1);
        for (const addrinfo *item = found; item != nullptr; item = item->ai_next, bytes += 4) {
            sockaddr_in address;
            std::memcpy(&address, item->ai_addr, sizeof address);
            std::memcpy(bytes, &address.sin_addr, 4);
            *list++ = bytes;
        }
        *list = nullptr;
        freeaddrinfo(found);
        return static_cast<const char *const *>(lookupBlock);
    }

    const char *address_to_text(const char *address) override {
        in_addr value;
        std::memcpy(&value, address, sizeof value);
        return inet_ntop(AF_INET, &value, text, sizeof text);
    }

    void cleanup() override {
        std::free(lookupBlock);
        lookupBlock = nullptr;
    }
};

PosixSocketsApi api;

} // namespace

SocketsApi &system_sockets_api() { return api; }

} // namespace kzq
