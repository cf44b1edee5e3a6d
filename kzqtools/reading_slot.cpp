#include "reading_slot.h"

#include "line_source.h"

#include <cstring>
#include <new>

namespace kzq {

// One open file: its handle, its line splitting and the storage that works in, in one block.
struct ReadStream final : ByteSource {
    ReadStream(FileApi &api, FileHandle h, void *storage)
        : files(api), handle(h), lines(*this, storage) {}

    std::ptrdiff_t read(void *buffer, std::size_t capacity) override {
        return files.read(handle, buffer, capacity);
    }

    FileApi &files;
    FileHandle handle;
    LineSource lines;
    ReadStream *next = nullptr;
};

namespace {

void put_text(char *out, const char *text, std::size_t length) {
    std::memcpy(out, text, length);
    out[length] = '\0';
}

constexpr std::size_t kStreamSize =
    (sizeof(ReadStream) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
    alignof(std::max_align_t);

} // namespace

ReadingSlot::~ReadingSlot() {
    while (streams_ != nullptr) {
        files_.close(streams_->handle);
        release(streams_);
    }
}

kzq_result_t ReadingSlot::open(const char *fileName) {
    if (fileName == nullptr || fileName[0] == '\0') {
        return KZQ_ERR_NO_FILE_NAME;
    }
    // Whatever happens now, the slot lets go of the stream it held; that stream stays open.
    state_ = State::Empty;
    current_ = nullptr;

    void *block = memory_.allocate(kStreamSize + LineSource::kStorageSize);
    if (block == nullptr) {
        return KZQ_ERR_FILE_OPEN;
    }
    FileHandle handle = files_.open_read(fileName);
    if (handle == kNoFile) {
        memory_.release(block);
        return KZQ_ERR_FILE_OPEN;
    }
    auto *stream =
        new (block) ReadStream(files_, handle, static_cast<unsigned char *>(block) + kStreamSize);
    stream->next = streams_;
    streams_ = stream;
    current_ = stream;
    state_ = State::Open;
    return KZQ_SUCCESS;
}

kzq_result_t ReadingSlot::next(int32_t *isKey, char *keyOrName, char *data, char *type,
                               uint32_t *byteCount) {
    if (state_ != State::Open) {
        return KZQ_ERR_FILE_READ;
    }
    Entry entry;
    kzq_result_t result = read_entry(current_->lines, memory_, entry);
    if (result != KZQ_SUCCESS) {
        return result;
    }
    *isKey = entry.isKey ? 1 : 0;
    put_text(keyOrName, entry.name, entry.nameLength);
    put_text(data, entry.data, entry.dataLength);
    put_text(type, entry.type, entry.typeLength);
    if (entry.writesByteCount) {
        *byteCount = entry.byteCount;
    }
    return KZQ_SUCCESS;
}

kzq_result_t ReadingSlot::close() {
    if (state_ != State::Open) {
        return KZQ_ERR_FILE_CLOSE;
    }
    bool closed = files_.close(current_->handle);
    release(current_);
    current_ = nullptr;
    state_ = State::Closed;
    return closed ? KZQ_SUCCESS : KZQ_ERR_FILE_CLOSE;
}

std::size_t ReadingSlot::open_streams() const {
    std::size_t count = 0;
    for (ReadStream *s = streams_; s != nullptr; s = s->next) {
        ++count;
    }
    return count;
}

// Unlinks a stream whose handle is closed and gives back its block.
void ReadingSlot::release(ReadStream *stream) {
    ReadStream **link = &streams_;
    while (*link != stream) {
        link = &(*link)->next;
    }
    *link = stream->next;
    stream->~ReadStream();
    memory_.release(stream);
}

} // namespace kzq
