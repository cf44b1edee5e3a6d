#include "platform/sockets_api.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace kzq {
namespace {

// What one thread's last lookup left behind, from the lookup until the clean-up. Keeping it per
// thread gives the same lifetimes as the Windows sockets layer, so calls on several threads stay
// independent. Only plain pointers and arrays are thread-local: a thread-local object with a
// destructor would pin the library in memory after its unload until the thread ends, and the
// unload would then close no file.
struct LookupResults {
    std::vector<std::array<char, 4>> addresses;
    std::vector<const char *> list; // points into `addresses`, ended by a null pointer
};

thread_local LookupResults *results = nullptr;
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
        cleanup();
        results = new (std::nothrow) LookupResults;
        if (results == nullptr) {
            freeaddrinfo(found);
            return nullptr;
        }
        // No exception may leave the library, so a lookup without room for its result fails.
        try {
            for (const addrinfo *item = found; item != nullptr; item = item->ai_next) {
                sockaddr_in address;
                std::memcpy(&address, item->ai_addr, sizeof address);
                std::array<char, 4> bytes;
                std::memcpy(bytes.data(), &address.sin_addr, bytes.size());
                results->addresses.push_back(bytes);
            }
            for (const std::array<char, 4> &bytes : results->addresses) {
                results->list.push_back(bytes.data());
            }
            results->list.push_back(nullptr);
        } catch (const std::bad_alloc &) {
            freeaddrinfo(found);
            cleanup();
            return nullptr;
        }
        freeaddrinfo(found);
        return results->list.data();
    }

    const char *address_to_text(const char *address) override {
        in_addr value;
        std::memcpy(&value, address, sizeof value);
        return inet_ntop(AF_INET, &value, text, sizeof text);
    }

    void cleanup() override {
        delete results;
        results = nullptr;
    }
};

} // namespace

SocketsApi &system_sockets_api() {
    static PosixSocketsApi api;
    return api;
}

} // namespace kzq
