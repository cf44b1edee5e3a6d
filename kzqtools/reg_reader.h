// Reads the next key or value of a registry export and splits it into what a host receives.
#ifndef KZQ_REG_READER_H
#define KZQ_REG_READER_H

#include "kzqtools.h"
#include "line_source.h"
#include "platform/memory.h"
#include "reg_values.h"

#include <cstddef>
#include <cstdint>

namespace kzq {

// Everything one entry delivers, built in full before any of it reaches the caller.
struct Entry {
    static constexpr std::size_t kTextSize = kLineLimit + 1;
    static constexpr std::size_t kDataSize = kHexByteLimit + 1;

    bool isKey = false;
    bool writesByteCount = false; // only keys and hex values set byteCount
    std::uint32_t byteCount = 0;
    std::size_t nameLength = 0; // the texts below are not zero-terminated
    std::size_t typeLength = 0;
    std::size_t dataLength = 0;
    char name[kTextSize];
    char type[kTextSize];
    char data[kDataSize];
};

// Reads lines until one holds an entry and fills `entry` from it. Returns KZQ_SUCCESS,
// KZQ_END_OF_FILE, KZQ_ERR_FILE_READ, or KZQ_ERR_NO_MEMORY when `memory` refuses the block a
// hex value is assembled in (the lines of that value after its first stay unread).
kzq_result_t read_entry(LineSource &lines, Memory &memory, Entry &entry);

} // namespace kzq

#endif
