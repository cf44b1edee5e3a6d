// The library's one piece of state between calls: the registry export file that is open for
// reading, and every stream it opened and has not closed.
#ifndef KZQ_READING_SLOT_H
#define KZQ_READING_SLOT_H

#include "kzqtools.h"
#include "platform/file_api.h"
#include "platform/memory.h"
#include "reg_reader.h"

namespace kzq {

struct ReadStream;

class ReadingSlot {
public:
    ReadingSlot(FileApi &files, Memory &memory) : files_(files), memory_(memory) {}
    // Closes every stream still open: the slot's own and those a later open pushed out.
    ~ReadingSlot();
    ReadingSlot(const ReadingSlot &) = delete;
    ReadingSlot &operator=(const ReadingSlot &) = delete;

    kzq_result_t open(const char *fileName);
    // Reads the next entry and writes it into the caller's storage, only on KZQ_SUCCESS.
    kzq_result_t next(int32_t *isKey, char *keyOrName, char *data, char *type,
                      uint32_t *byteCount);
    kzq_result_t close();

    // Streams opened and not yet closed, the slot's own included.
    std::size_t open_streams() const;

private:
    enum class State { Empty, Open, Closed };

    void release(ReadStream *stream);

    FileApi &files_;
    Memory &memory_;
    State state_ = State::Empty;
    ReadStream *current_ = nullptr; // the slot's stream while the state is Open
    ReadStream *streams_ = nullptr; // every open stream, newest first
};

} // namespace kzq

#endif
