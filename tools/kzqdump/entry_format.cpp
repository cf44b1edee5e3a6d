#include "entry_format.h"

namespace kzqdump {
namespace {

const char kHex[] = "0123456789abcdef";

void append_hex_byte(std::string &out, unsigned char byte) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

std::string escaped(const char *text) {
    std::string out;
    for (const char *p = text; *p != '\0'; ++p) {
        auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x20 || byte >= 0x7F || byte == '%') {
            out += '%';
            append_hex_byte(out, byte);
        } else {
            out += *p;
        }
    }
    return out;
}

// Bytes above 0x7F are written as \u0080 to \u00ff, one per byte, so that any 8-bit text
// makes valid JSON.
std::string json_string(const char *text) {
    std::string out = "\"";
    for (const char *p = text; *p != '\0'; ++p) {
        auto byte = static_cast<unsigned char>(*p);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += *p;
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\u00";
            append_hex_byte(out, byte);
        } else {
            out += *p;
        }
    }
    return out + "\"";
}

std::string hex_bytes(const DumpedEntry &entry) {
    std::string out;
    for (std::uint32_t i = 0; i < entry.byteCount; ++i) {
        append_hex_byte(out, static_cast<unsigned char>(entry.data[i]));
    }
    return out;
}

} // namespace

std::string format_entry(const DumpedEntry &entry) {
    if (entry.isKey) {
        return "key\t" + escaped(entry.keyOrName);
    }
    std::string line = "value\t" + escaped(entry.keyOrName) + "\t" + escaped(entry.type);
    if (entry.hasBytes) {
        return line + "\tbytes\t" + std::to_string(entry.byteCount) + "\t" + hex_bytes(entry);
    }
    return line + "\ttext\t" + escaped(entry.data);
}

std::string format_entry_json(const DumpedEntry &entry) {
    if (entry.isKey) {
        return "{\"key\":" + json_string(entry.keyOrName) + "}";
    }
    std::string line =
        "{\"name\":" + json_string(entry.keyOrName) + ",\"type\":" + json_string(entry.type);
    if (entry.hasBytes) {
        return line + ",\"bytes\":\"" + hex_bytes(entry) + "\"}";
    }
    return line + ",\"data\":" + json_string(entry.data) + "}";
}

std::string format_end(const char *resultName) { return std::string("end\t") + resultName; }

std::string format_end_json(const char *resultName) {
    return std::string("{\"end\":\"") + resultName + "\"}";
}

} // namespace kzqdump
