#include "result_names.h"

namespace kzq {
namespace {

struct NamedCode {
    kzq_result_t code;
    const char *name;
};

constexpr NamedCode kCodes[] = {
    {KZQ_SUCCESS, "KZQ_SUCCESS"},
    {KZQ_ERR_FILE_OPEN, "KZQ_ERR_FILE_OPEN"},
    {KZQ_ERR_FILE_READ, "KZQ_ERR_FILE_READ"},
    {KZQ_ERR_WINSOCK_STARTUP, "KZQ_ERR_WINSOCK_STARTUP"},
    {KZQ_ERR_WINSOCK_VERSION, "KZQ_ERR_WINSOCK_VERSION"},
    {KZQ_ERR_HOST_NAME, "KZQ_ERR_HOST_NAME"},
    {KZQ_ERR_HOST_LOOKUP, "KZQ_ERR_HOST_LOOKUP"},
    {KZQ_ERR_NO_MEMORY, "KZQ_ERR_NO_MEMORY"},
    {KZQ_ERR_NO_FILE_NAME, "KZQ_ERR_NO_FILE_NAME"},
    {KZQ_ERR_FILE_CLOSE, "KZQ_ERR_FILE_CLOSE"},
    {KZQ_END_OF_FILE, "KZQ_END_OF_FILE"},
};

// A host that stops at any nonzero result stops at every failure and at the end alike.
constexpr bool every_other_code_has_the_failure_bit() {
    for (const NamedCode &c : kCodes) {
        if (c.code != KZQ_SUCCESS && (c.code & 0x10000000u) == 0) {
            return false;
        }
    }
    return true;
}
static_assert(every_other_code_has_the_failure_bit(), "result codes carry bit 0x10000000");

} // namespace

const char *result_name(kzq_result_t code) {
    for (const NamedCode &c : kCodes) {
        if (c.code == code) {
            return c.name;
        }
    }
    return "unknown result code";
}

} // namespace kzq
