// Splits a file's bytes into lines with the effects of a C text-mode stream read line by line
// with a 4095-byte limit: CR LF arrives as LF, the first Ctrl-Z ends the file, and a line longer
// than 4094 characters arrives in pieces. Files that start with a UTF-16LE byte order mark are
// converted to the 8-bit code page first; a UTF-8 byte order mark is skipped.
#ifndef KZQ_LINE_SOURCE_H
#define KZQ_LINE_SOURCE_H

#include <cstddef>

namespace kzq {

// The most characters that one read delivers.
constexpr std::size_t kLineLimit = 4094;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Returns the bytes read, 0 at the end, or -1 on failure.
    virtual std::ptrdiff_t read(void *buffer, std::size_t capacity) = 0;
};

struct Line {
    const char *text = nullptr; // valid until the next read; may hold zero bytes
    std::size_t length = 0;     // at most kLineLimit, a final line feed included
    std::size_t textLength = 0; // the characters before the first zero byte, if any
    bool cut = false;           // the limit ended this piece: the rest of the line follows
};

enum class LineStatus { Line, End, Failure };

class LineSource {
public:
    // The bytes of caller-owned storage that a LineSource works in.
    static constexpr std::size_t kTextCapacity = 64 * 1024;
    static constexpr std::size_t kRawCapacity = 16 * 1024;
    static constexpr std::size_t kStorageSize =
        kTextCapacity + kRawCapacity + (kRawCapacity / 2) * sizeof(char16_t);

    LineSource(ByteSource &bytes, void *storage);

    // Line: `line` holds the next piece. End: nothing is left. Failure: nothing could be read
    // before a read failed; a failure stays, like the end.
    LineStatus read_line(Line &line);

private:
    enum class Encoding { Unknown, Bytes, Utf16 };

    void fill();
    void detect_encoding();
    void read_bytes();
    void read_utf16();
    std::size_t convert_utf16(bool atEnd);
    void take(std::size_t newBytes);
    void deliver(Line &line, std::size_t length, bool cut, std::size_t consumed);
    void find_zero(std::size_t from);

    ByteSource &bytes_;
    char *text_;           // decoded text; [pos_, end_) is not yet delivered
    unsigned char *raw_;   // UTF-16LE bytes not yet converted
    char16_t *units_;      // one batch of checked code units on their way to the code page
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t zero_ = 0; // the first zero byte in [pos_, end_), or end_ if there is none
    std::size_t rawLength_ = 0;
    Encoding encoding_ = Encoding::Unknown;
    bool finished_ = false; // no more bytes will come: the end, a Ctrl-Z or a failure
    bool failed_ = false;
};

} // namespace kzq

#endif
