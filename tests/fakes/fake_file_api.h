// Files held in memory, read in chunks of a chosen size, with reads and closes that fail on
// demand. Records which handles are open.
#ifndef KZQ_TESTS_FAKE_FILE_API_H
#define KZQ_TESTS_FAKE_FILE_API_H

#include "platform/file_api.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace kzq_test {

class FakeFileApi final : public kzq::FileApi {
public:
    std::map<std::string, std::string> files;
    std::size_t chunk = 7;        // the most bytes one read returns
    int failReadNumber = 0;       // the n-th read (counted from 1) fails; 0: none fails
    bool failCloses = false;

    kzq::FileHandle open_read(const char *path) override {
        auto it = files.find(path);
        if (it == files.end()) {
            return kzq::kNoFile;
        }
        kzq::FileHandle handle = nextHandle++;
        open[handle] = Open{&it->second, 0};
        return handle;
    }

    std::ptrdiff_t read(kzq::FileHandle file, void *buffer, std::size_t capacity) override {
        ++reads;
        if (reads == failReadNumber) {
            return -1;
        }
        Open &f = open.at(file);
        std::size_t n = std::min({capacity, chunk, f.content->size() - f.position});
        std::memcpy(buffer, f.content->data() + f.position, n);
        f.position += n;
        return static_cast<std::ptrdiff_t>(n);
    }

    bool close(kzq::FileHandle file) override {
        closed.insert(file);
        open.erase(file);
        return !failCloses;
    }

    struct Open {
        const std::string *content;
        std::size_t position;
    };
    std::map<kzq::FileHandle, Open> open;
    std::multiset<kzq::FileHandle> closed;
    int reads = 0;

private:
    kzq::FileHandle nextHandle = 100;
};

} // namespace kzq_test

#endif
