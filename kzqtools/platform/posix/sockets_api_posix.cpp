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

// What one thread's last lookup and conversion left behind. Keeping it per thread gives the
// same lifetimes as the Windows sockets layer, so calls on several threads stay independent.
struct ThreadResults {
    std::vector<std::array<char, 4>> addresses;
    std::vector<const char *> list; // points into `addresses`, ended by a null pointer
    char text[INET_ADDRSTRLEN];
};

thread_local ThreadResults results;

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
        // No exception may leave the library, so a lookup without room for its result fails.
        try {
            results.addresses.clear();
            for (const addrinfo *item = found; item != nullptr; item = item->ai_next) {
                sockaddr_in address;
                std::memcpy(&address, item->ai_addr, sizeof address);
                std::array<char, 4> bytes;
                std::memcpy(bytes.data(), &address.sin_addr, bytes.size());
                results.addresses.push_back(bytes);
            }
            results.list.clear();
            for (const std::array<char, 4> &bytes : results.addresses) {
                results.list.push_back(bytes.data());
            }
            results.list.push_back(nullptr);
        } catch (const std::bad_alloc &) {
            freeaddrinfo(found);
            return nullptr;
        }
        freeaddrinfo(found);
        return results.list.data();
    }

    const char *address_to_text(const char *address) override {
        in_addr value;
        std::memcpy(&value, address, sizeof value);
        return inet_ntop(AF_INET, &value, results.text, sizeof results.text);
    }

    void cleanup() override {
        std::vector<std::array<char, 4>>().swap(results.addresses);
        std::vector<const char *>().swap(results.list);
    }
};

} // namespace

SocketsApi &system_sockets_api() {
    static PosixSocketsApi api;
    return api;
}

} // namespace kzq
