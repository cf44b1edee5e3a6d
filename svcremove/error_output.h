// Where svcremove's failure messages go: standard error, written as raw bytes.
#ifndef SVCREMOVE_ERROR_OUTPUT_H
#define SVCREMOVE_ERROR_OUTPUT_H

#include <cstddef>

namespace svcremove {

class ErrorOutput {
public:
    virtual ~ErrorOutput() = default;

    // Writes the bytes unchanged and unbuffered, so a line ended by CR LF arrives as CR LF
    // whatever the stream is connected to. Bytes that cannot be written (the stream is closed
    // or broken) are dropped without a trace.
    virtual void write(const char *bytes, std::size_t count) = 0;
};

// The process's standard error.
ErrorOutput &standard_error();

} // namespace svcremove

#endif
