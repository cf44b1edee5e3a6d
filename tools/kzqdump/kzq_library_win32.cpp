#include "kzq_library.h"

#include <windows.h>

namespace kzqdump {
namespace {

template <typename Fn> bool resolve(HMODULE module, const char *name, Fn &fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    return fn != nullptr;
}

} // namespace

bool load_kzq_library(KzqLibrary &library, const char *&problem) {
    HMODULE module = LoadLibraryA("kzqtools.dll");
    if (module == nullptr) {
        problem = "kzqtools.dll could not be loaded";
        return false;
    }
    library.module = module;
    if (!resolve(module, "KZQOpenRegFileRead", library.open) ||
        !resolve(module, "KZQGetNextRegFileLine", library.next) ||
        !resolve(module, "KZQCloseRegFile", library.close) ||
        !resolve(module, "KZQGetHostIPList", library.hostList)) {
        problem = "kzqtools.dll lacks one of its four exports";
        unload_kzq_library(library);
        return false;
    }
    return true;
}

void unload_kzq_library(KzqLibrary &library) {
    if (library.module != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library.module));
    }
    library = KzqLibrary{};
}

} // namespace kzqdump
