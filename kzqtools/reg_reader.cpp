#include "reg_reader.h"

#include <cstring>

namespace kzq {
namespace {

struct Text {
    const char *p;
    std::size_t n;
};

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE";
constexpr std::size_t kRootLength = sizeof kRoot - 1;

bool starts_with(Text t, const char *prefix, std::size_t length) {
    return t.n >= length && std::memcmp(t.p, prefix, length) == 0;
}

// The text of a line ends at its first zero byte.
Text line_text(const Line &line, bool *hadZero) {
    *hadZero = line.textLength < line.length;
    return {line.text, line.textLength};
}

Text without_line_feed(Text t) {
    if (t.n > 0 && t.p[t.n - 1] == '\n') {
        --t.n;
    }
    return t;
}

// Names and string data: a backslash before a backslash or a quotation mark stands for that
// second character; every other quotation mark is dropped; all else passes unchanged.
std::size_t unescape(Text t, char *out) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < t.n; ++i) {
        char c = t.p[i];
        if (c == '\\' && i + 1 < t.n && (t.p[i + 1] == '\\' || t.p[i + 1] == '"')) {
            out[length++] = t.p[++i];
        } else if (c != '"') {
            out[length++] = c;
        }
    }
    return length;
}

// Type words keep their text, without quotation marks.
std::size_t drop_quotes(Text t, char *out) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < t.n; ++i) {
        if (t.p[i] != '"') {
            out[length++] = t.p[i];
        }
    }
    return length;
}

// A dword's data text without quotation marks and with each run of backslashes cut to one.
std::size_t prepare_dword(Text t, char *out) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < t.n; ++i) {
        char c = t.p[i];
        if (c == '"' || (c == '\\' && i + 1 < t.n && t.p[i + 1] == '\\')) {
            continue;
        }
        out[length++] = c;
    }
    return length;
}

void read_key(Text line, Entry &entry) {
    // Only the leading '[' and the last ']' (with anything after it) frame the path; brackets
    // inside the path belong to it.
    Text path{line.p + 1, line.n - 1};
    for (std::size_t i = path.n; i > 0; --i) {
        if (path.p[i - 1] == ']') {
            path.n = i - 1;
            break;
        }
    }
    std::size_t length = 0;
    if (path.n > 0 && path.p[0] == '-') {
        entry.name[length++] = '-';
        ++path.p;
        --path.n;
    }
    // A root name deeper in a path, or one that merely begins another word, is part of the
    // path; only a whole leading one is cut.
    if (starts_with(path, kRoot, kRootLength) &&
        (path.n == kRootLength || path.p[kRootLength] == '\\')) {
        path.p += kRootLength;
        path.n -= kRootLength;
    }
    std::memcpy(entry.name + length, path.p, path.n);
    entry.nameLength = length + path.n;
    entry.isKey = true;
    entry.writesByteCount = true;
    entry.byteCount = 0;
}

// Splits a value line after its name's closing quotation mark: the first '"=' after the opening
// quotation mark whose quotation mark is not escaped. Returns the offset of that '"', or 0.
std::size_t find_name_end(Text line) {
    for (std::size_t i = 1; i + 1 < line.n; ++i) {
        char c = line.p[i];
        if (c == '\\' && (line.p[i + 1] == '\\' || line.p[i + 1] == '"')) {
            ++i;
        } else if (c == '"' && line.p[i + 1] == '=') {
            return i;
        }
    }
    return 0;
}

// Reads the rest of a physical line into the decoder after a piece that the line limit cut,
// or a whole continuation line. `last` receives the line's last character before its line
// feed, and `any` whether it has one.
struct LineEnd {
    char last = 0;
    bool any = false;
    bool zero = false; // the text ended at a zero byte; the rest of the line is lost
};

void feed_piece(HexDecoder &decoder, const Line &piece, LineEnd &end) {
    if (end.zero) {
        return;
    }
    bool hadZero = false;
    Text t = line_text(piece, &hadZero);
    end.zero = hadZero;
    decoder.feed(t.p, t.n);
    Text visible = without_line_feed(t);
    if (visible.n > 0) {
        end.last = visible.p[visible.n - 1];
        end.any = true;
    }
}

// Follows a hex value over the rest of its first line, if the line limit cut it, and over its
// continuation lines: a line continues the value only when its last character before the line
// feed is a backslash. Every line is consumed; the decoder drops bytes past its limit.
void gather_hex(LineSource &lines, HexDecoder &decoder, bool firstLineCut, LineEnd end) {
    Line piece;
    bool cut = firstLineCut;
    for (;;) {
        while (cut) {
            if (lines.read_line(piece) != LineStatus::Line) {
                return;
            }
            feed_piece(decoder, piece, end);
            cut = piece.cut;
        }
        if (!end.any || end.last != '\\') {
            return;
        }
        end = LineEnd{};
        cut = true;
    }
}

kzq_result_t read_value(Text line, bool firstLineCut, bool hadZero, LineSource &lines,
                        Memory &memory, Entry &entry) {
    Text namePart{nullptr, 0};
    Text right{nullptr, 0};
    if (line.p[0] == '@') {
        right = {line.p + 2, line.n - 2};
    } else if (std::size_t q = find_name_end(line); q != 0) {
        namePart = {line.p, q + 1};
        right = {line.p + q + 2, line.n - q - 2};
    } else {
        namePart = line;
    }

    Text type = right;
    Text data{nullptr, 0};
    bool isString = right.n > 0 && right.p[0] == '"';
    bool isDword = starts_with(right, "dword", 5);
    bool isHex = starts_with(right, "hex", 3);
    if (isDword || isHex) {
        if (const void *colon = std::memchr(right.p, ':', right.n)) {
            type.n = static_cast<std::size_t>(static_cast<const char *>(colon) - right.p);
            data = {right.p + type.n + 1, right.n - type.n - 1};
        }
    }

    entry.writesByteCount = false;
    if (isHex) {
        void *block = memory.allocate(kHexBlockSize);
        if (block == nullptr) {
            return KZQ_ERR_NO_MEMORY;
        }
        auto *bytes = static_cast<unsigned char *>(block);
        HexDecoder decoder(bytes);
        decoder.feed(data.p, data.n);
        LineEnd end;
        end.zero = hadZero;
        if (data.n > 0) {
            end.last = data.p[data.n - 1];
            end.any = true;
        }
        gather_hex(lines, decoder, firstLineCut, end);
        std::size_t count = decoder.finish();
        std::memcpy(entry.data, bytes, count);
        memory.release(block);
        entry.dataLength = count;
        entry.byteCount = static_cast<std::uint32_t>(count);
        entry.writesByteCount = true;
    } else if (isString) {
        entry.dataLength = unescape(right, entry.data);
        type.n = 0;
    } else if (isDword) {
        char prepared[Entry::kTextSize];
        std::size_t length = prepare_dword(data, prepared);
        entry.dataLength = format_decimal(dword_value(prepared, length), entry.data);
    } else {
        entry.dataLength = 0;
    }

    entry.nameLength = unescape(namePart, entry.name);
    entry.typeLength = drop_quotes(type, entry.type);
    entry.isKey = false;
    return KZQ_SUCCESS;
}

} // namespace

kzq_result_t read_entry(LineSource &lines, Memory &memory, Entry &entry) {
    Line line;
    for (;;) {
        switch (lines.read_line(line)) {
        case LineStatus::End:
            return KZQ_END_OF_FILE;
        case LineStatus::Failure:
            return KZQ_ERR_FILE_READ;
        case LineStatus::Line:
            break;
        }
        bool hadZero = false;
        Text text = without_line_feed(line_text(line, &hadZero));
        if (text.n == 0) {
            continue;
        }
        char first = text.p[0];
        if (first == '[') {
            entry.typeLength = 0;
            entry.dataLength = 0;
            read_key(text, entry);
            return KZQ_SUCCESS;
        }
        if (first == '"' || (first == '@' && text.n >= 2 && text.p[1] == '=')) {
            return read_value(text, line.cut, hadZero, lines, memory, entry);
        }
    }
}

} // namespace kzq
