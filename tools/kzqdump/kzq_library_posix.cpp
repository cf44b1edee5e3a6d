#include "kzq_library.h"

#include <dlfcn.h>

namespace kzqdump {
namespace {

template <typename Fn> bool resolve(void *module, const char *name, Fn &fn) {
    fn = reinterpret_cast<Fn>(dlsym(module, name));
    return fn != nullptr;
}

} // namespace

bool load_kzq_library(KzqLibrary &library, const char *&problem) {
    // The program's run path ($ORIGIN) makes the library beside it the one found.
    void *module = dlopen("libkzqtools.so", RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        problem = "libkzqtools.so could not be loaded";
        return false;
    }
    library.module = module;
    if (!resolve(module, "KZQOpenRegFileRead", library.open) ||
        !resolve(module, "KZQGetNextRegFileLine", library.next) ||
        !resolve(module, "KZQCloseRegFile", library.close) ||
        !resolve(module, "KZQGetHostIPList", library.hostList)) {
        problem = "libkzqtools.so lacks one of its four exports";
        unload_kzq_library(library);
        return false;
    }
    return true;
}

void unload_kzq_library(KzqLibrary &library) {
    if (library.module != nullptr) {
        dlclose(library.module);
    }
    library = KzqLibrary{};
}

} // namespace kzqdump
