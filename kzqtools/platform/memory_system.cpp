#include "platform/memory.h"

#include <cstdlib>

namespace kzq {
namespace {

class SystemMemory final : public Memory {
public:
    void *allocate(std::size_t size) override { return std::malloc(size); }
    void release(void *block) override { std::free(block); }
};

SystemMemory memory;

} // namespace

Memory &system_memory() { return memory; }

} // namespace kzq
