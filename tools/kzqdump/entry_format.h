// How kzqdump prints what the library delivers: for people (tab-separated fields) or, with
// --json, one JSON object a line for scripts.
#ifndef KZQDUMP_ENTRY_FORMAT_H
#define KZQDUMP_ENTRY_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kzqdump {

struct DumpedEntry {
    bool isKey;
    const char *keyOrName;
    const char *type;
    const char *data;
    bool hasBytes;       // the library wrote byteCount for a value: data holds bytes
    std::uint32_t byteCount;
};

// Text form, one line each:
//   key    PATH
//   value  NAME  TYPE  text   DATA
//   value  NAME  TYPE  bytes  COUNT  HEX
// with the bytes of texts below 0x20, from 0x7F, and '%' written as %hh.
std::string format_entry(const DumpedEntry &entry);
// {"key":"PATH"} or {"name":..,"type":..,"data":..} or {"name":..,"type":..,"bytes":"01ab"}
std::string format_entry_json(const DumpedEntry &entry);

std::string format_end(const char *resultName);      // end  NAME
std::string format_end_json(const char *resultName); // {"end":"NAME"}

} // namespace kzqdump

#endif
