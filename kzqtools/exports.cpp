// The four exports: thin adapters that wire the platform's backends to the core. A registry
// entry is copied into the caller's storage here once it is complete; the host address list is
// written by its core, which finds every failure before it writes the first byte.
#include "kzqtools.h"

#include "host_addresses.h"
#include "platform/file_api.h"
#include "platform/memory.h"
#include "platform/sockets_api.h"
#include "reading_slot.h"

#include <cstring>

namespace {

// Made on first use, after the backends it refers to, so it is destroyed before them. Its
// destruction when the library is unloaded closes every stream still open.
kzq::ReadingSlot &reading_slot() {
    static kzq::ReadingSlot slot(kzq::system_file_api(), kzq::system_memory());
    return slot;
}

void put_text(char *out, const char *text, std::size_t length) {
    std::memcpy(out, text, length);
    out[length] = '\0';
}

} // namespace

extern "C" {

KZQ_API kzq_result_t KZQ_CALL KZQOpenRegFileRead(const char *fileName) {
    return reading_slot().open(fileName);
}

KZQ_API kzq_result_t KZQ_CALL KZQGetNextRegFileLine(int32_t *isKey, char *keyOrName, char *data,
                                                    char *type, uint32_t *byteCount) {
    kzq::Entry entry;
    kzq_result_t result = reading_slot().next(entry);
    if (result != KZQ_SUCCESS) {
        return result;
    }
    *isKey = entry.isKey ? 1 : 0;
    put_text(keyOrName, entry.name, entry.nameLength);
    put_text(data, entry.data, entry.dataLength);
    put_text(type, entry.type, entry.typeLength);
    if (entry.writesByteCount) {
        *byteCount = entry.byteCount;
    }
    return KZQ_SUCCESS;
}

KZQ_API kzq_result_t KZQ_CALL KZQCloseRegFile(void) { return reading_slot().close(); }

KZQ_API kzq_result_t KZQ_CALL KZQGetHostIPList(char *ipList) {
    return kzq::build_host_list(kzq::system_sockets_api(), ipList);
}

} // extern "C"
