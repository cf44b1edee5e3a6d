// A heap that can refuse blocks on demand and knows which blocks are still out.
#ifndef KZQ_TESTS_FAKE_MEMORY_H
#define KZQ_TESTS_FAKE_MEMORY_H

#include "platform/memory.h"

#include <cstdlib>
#include <map>

namespace kzq_test {

class FakeMemory final : public kzq::Memory {
public:
    // Refuse every block of this size (0: refuse none).
    std::size_t refuseSize = 0;

    void *allocate(std::size_t size) override {
        ++allocations[size];
        if (size == refuseSize) {
            return nullptr;
        }
        void *block = std::malloc(size);
        outstanding[block] = size;
        return block;
    }

    void release(void *block) override {
        outstanding.erase(block);
        std::free(block);
    }

    std::map<std::size_t, int> allocations; // requests by size, refused ones included
    std::map<void *, std::size_t> outstanding;
};

} // namespace kzq_test

#endif
