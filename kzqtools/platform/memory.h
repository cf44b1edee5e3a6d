// Heap blocks that the reader takes, behind an interface so that tests can refuse them.
#ifndef KZQ_PLATFORM_MEMORY_H
#define KZQ_PLATFORM_MEMORY_H

#include <cstddef>

namespace kzq {

class Memory {
public:
    // Returns nullptr when there is no room.
    virtual void *allocate(std::size_t size) = 0;
    virtual void release(void *block) = 0;

protected:
    // Never deleted through this interface; see FileApi.
    ~Memory() = default;
};

Memory &system_memory();

} // namespace kzq

#endif
