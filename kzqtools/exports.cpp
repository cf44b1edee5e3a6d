// The four exports: thin adapters that wire the platform's backends to the core.
#include "kzqtools.h"

#include "host_addresses.h"
#include "platform/file_api.h"
#include "platform/memory.h"
#include "platform/sockets_api.h"
#include "reading_slot.h"

namespace {

// Made on first use, after the backends it refers to, so it is destroyed before them. Its
// destruction when the library is unloaded closes every stream still open.
kzq::ReadingSlot &reading_slot() {
    static kzq::ReadingSlot slot(kzq::system_file_api(), kzq::system_memory());
    return slot;
}

} // namespace

extern "C" {

KZQ_API kzq_result_t KZQ_CALL KZQOpenRegFileRead(const char *fileName) {
    return reading_slot().open(fileName);
}

KZQ_API kzq_result_t KZQ_CALL KZQGetNextRegFileLine(int32_t *isKey, char *keyOrName, char *data,
                                                    char *type, uint32_t *byteCount) {
    return reading_slot().next(isKey, keyOrName, data, type, byteCount);
}

KZQ_API kzq_result_t KZQ_CALL KZQCloseRegFile(void) { return reading_slot().close(); }

KZQ_API kzq_result_t KZQ_CALL KZQGetHostIPList(char *ipList) {
    return kzq::build_host_list(kzq::system_sockets_api(), ipList);
}

} // extern "C"
