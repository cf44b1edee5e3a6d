// Loads kzqtools the way any host does: by file name, each export resolved by name.
#ifndef KZQDUMP_KZQ_LIBRARY_H
#define KZQDUMP_KZQ_LIBRARY_H

#include "kzqtools.h"

namespace kzqdump {

struct KzqLibrary {
    using OpenFn = kzq_result_t(KZQ_CALL *)(const char *);
    using NextFn = kzq_result_t(KZQ_CALL *)(int32_t *, char *, char *, char *, uint32_t *);
    using CloseFn = kzq_result_t(KZQ_CALL *)(void);
    using HostListFn = kzq_result_t(KZQ_CALL *)(char *);

    void *module = nullptr;
    OpenFn open = nullptr;
    NextFn next = nullptr;
    CloseFn close = nullptr;
    HostListFn hostList = nullptr;
};

// Loads the library that lies beside this program. On failure returns false and names what is
// missing in `problem`.
bool load_kzq_library(KzqLibrary &library, const char *&problem);
void unload_kzq_library(KzqLibrary &library);

} // namespace kzqdump

#endif
