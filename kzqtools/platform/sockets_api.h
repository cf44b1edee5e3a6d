// The sockets operations that the host address list needs, behind one narrow interface so that
// tests can choose each step's answer. Each method stands for one call of the sockets layer and
// has its meaning.
#ifndef KZQ_PLATFORM_SOCKETS_API_H
#define KZQ_PLATFORM_SOCKETS_API_H

#include <cstdint>

namespace kzq {

class SocketsApi {
public:
    // Starts the sockets layer for this caller, asking for `version` (major version in the low
    // byte, minor in the high byte). Returns 0 when it started, and then sets reportedVersion to
    // the version the layer will use, in the same byte order; any other value is a failure.
    virtual int startup(std::uint16_t version, std::uint16_t &reportedVersion) = 0;

    // Writes the local host's name, zero-terminated, into `name`, which holds `length` bytes.
    // Returns 0 on success.
    virtual int host_name(char *name, int length) = 0;

    // Resolves a host name to its IPv4 addresses: a list of pointers, each to the four bytes of
    // one address in network byte order, ended by a null pointer. The list belongs to the
    // sockets layer and stays valid on the calling thread until its next lookup or clean-up.
    // Returns nullptr when the name does not resolve.
    virtual const char *const *lookup(const char *name) = 0;

    // The dotted-decimal text of the four bytes at `address`, or nullptr when there is none. The
    // text belongs to the sockets layer and is valid on the calling thread until its next call.
    virtual const char *address_to_text(const char *address) = 0;

    // Ends this caller's use of the sockets layer begun by a successful startup.
    virtual void cleanup() = 0;

protected:
    // Never deleted through this interface; see FileApi.
    ~SocketsApi() = default;
};

// The sockets layer of the platform the library was built for.
SocketsApi &system_sockets_api();

} // namespace kzq

#endif
