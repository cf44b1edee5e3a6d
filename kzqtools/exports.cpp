// The four exports: thin adapters that wire the platform's backends to the core.
#include "kzqtools.h"

#include "host_addresses.h"
#include "platform/file_api.h"
#include "platform/memory.h"
#include "platform/sockets_api.h"
#include "reading_slot.h"

namespace {

// Made when the library is loaded and destroyed when it is unloaded, which closes every stream
// still open. The backends it refers to are never destroyed. Being no function-local static, it
// needs no guard from the C++ run-time.
kzq::ReadingSlot reading_slot(kzq::system_file_api(), kzq::system_memory());

} // namespace

extern "C" {

KZQ_API kzq_result_t KZQ_CALL KZQOpenRegFileRead(const char *fileName) {
    return reading_slot.open(fileName);
}

KZQ_API kzq_result_t KZQ_CALL KZQGetNextRegFileLine(int32_t *isKey, char *keyOrName, char *data,
                                                    char *type, uint32_t *byteCount) {
    return reading_slot.next(isKey, keyOrName, data, type, byteCount);
}

KZQ_API kzq_result_t KZQ_CALL KZQCloseRegFile(void) { return reading_slot.close(); }

KZQ_API kzq_result_t KZQ_CALL KZQGetHostIPList(char *ipList) {
    return kzq::build_host_list(kzq::system_sockets_api(), ipList);
}

} // extern "C"
