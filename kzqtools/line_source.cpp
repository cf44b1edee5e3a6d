#include "line_source.h"

#include "platform/code_page.h"

#include <cstring>

namespace kzq {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char16_t kReplacement = 0xFFFD;

// The text is refilled only when less than one line is left in it, so one full batch of
// converted units, with a replacement for an odd last byte, always fits behind that line.
static_assert(LineSource::kTextCapacity - kLineLimit >=
                  (LineSource::kRawCapacity / 2 + 1) * kMaxBytesPerUtf16Unit,
              "the text buffer must hold a line and a converted batch");

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low_surrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

LineSource::LineSource(ByteSource &bytes, void *storage)
    : bytes_(bytes),
      text_(static_cast<char *>(storage)),
      raw_(static_cast<unsigned char *>(storage) + kTextCapacity),
      units_(reinterpret_cast<char16_t *>(static_cast<unsigned char *>(storage) + kTextCapacity +
                                          kRawCapacity)) {}

LineStatus LineSource::read_line(Line &line) {
    for (;;) {
        std::size_t available = end_ - pos_;
        char *p = text_ + pos_;
        std::size_t window = available < kLineLimit + 1 ? available : kLineLimit + 1;
        if (auto *lf = static_cast<char *>(std::memchr(p, '\n', window))) {
            std::size_t k = static_cast<std::size_t>(lf - p);
            if (k > 0 && p[k - 1] == '\r') {
                // CR LF arrives as one line feed.
                p[k - 1] = '\n';
                deliver(line, k, false, k + 1);
            } else if (k < kLineLimit) {
                deliver(line, k + 1, false, k + 1);
            } else {
                // 4094 characters and no room left for the line feed: it starts the next piece.
                deliver(line, kLineLimit, true, kLineLimit);
            }
            return LineStatus::Line;
        }
        if (available > kLineLimit) {
            deliver(line, kLineLimit, true, kLineLimit);
            return LineStatus::Line;
        }
        if (finished_) {
            if (available == 0) {
                return failed_ ? LineStatus::Failure : LineStatus::End;
            }
            deliver(line, available, false, available);
            return LineStatus::Line;
        }
        fill();
    }
}

// Hands out the next `length` characters as a line and moves on by `consumed`, which skips the
// line feed of a CR LF pair.
void LineSource::deliver(Line &line, std::size_t length, bool cut, std::size_t consumed) {
    std::size_t start = pos_;
    line.text = text_ + start;
    line.length = length;
    line.textLength = (zero_ < start + length ? zero_ : start + length) - start;
    line.cut = cut;
    pos_ += consumed;
    if (zero_ < pos_) {
        find_zero(pos_);
    }
}

// Zero bytes are rare, so the text is searched for them once as it arrives rather than once
// for every line.
void LineSource::find_zero(std::size_t from) {
    const void *z = std::memchr(text_ + from, '\0', end_ - from);
    zero_ = z != nullptr ? static_cast<std::size_t>(static_cast<const char *>(z) - text_) : end_;
}

void LineSource::fill() {
    if (pos_ > 0) {
        std::memmove(text_, text_ + pos_, end_ - pos_);
        end_ -= pos_;
        zero_ -= pos_;
        pos_ = 0;
    }
    switch (encoding_) {
    case Encoding::Unknown:
        detect_encoding();
        break;
    case Encoding::Bytes:
        read_bytes();
        break;
    case Encoding::Utf16:
        read_utf16();
        break;
    }
}

// Reads the first three bytes, enough to tell a byte order mark.
void LineSource::detect_encoding() {
    while (end_ < 3) {
        std::ptrdiff_t got = bytes_.read(text_ + end_, 3 - end_);
        if (got <= 0) {
            failed_ = got < 0;
            finished_ = true;
            break;
        }
        end_ += static_cast<std::size_t>(got);
    }
    auto *b = reinterpret_cast<unsigned char *>(text_);
    if (end_ >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        encoding_ = Encoding::Utf16;
        rawLength_ = end_ - 2;
        std::memcpy(raw_, b + 2, rawLength_);
        end_ = 0;
        take(convert_utf16(finished_));
        return;
    }
    encoding_ = Encoding::Bytes;
    if (end_ == 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        end_ = 0;
        return;
    }
    std::size_t got = end_;
    end_ = 0;
    take(got);
}

void LineSource::read_bytes() {
    std::ptrdiff_t got = bytes_.read(text_ + end_, kTextCapacity - end_);
    if (got <= 0) {
        failed_ = got < 0;
        finished_ = true;
        return;
    }
    take(static_cast<std::size_t>(got));
}

void LineSource::read_utf16() {
    std::ptrdiff_t got = bytes_.read(raw_ + rawLength_, kRawCapacity - rawLength_);
    if (got <= 0) {
        failed_ = got < 0;
        finished_ = true;
    } else {
        rawLength_ += static_cast<std::size_t>(got);
    }
    take(convert_utf16(finished_));
}

// Converts the whole code units in raw_ into the text after end_ and returns the bytes made.
// A high surrogate at the end of the batch and an odd last byte wait for the next read unless
// the file has ended; at the end, like any surrogate without its partner, they become the
// replacement character.
std::size_t LineSource::convert_utf16(bool atEnd) {
    std::size_t unitCount = rawLength_ / 2;
    std::size_t checked = 0;
    std::size_t i = 0;
    for (; i < unitCount; ++i) {
        auto u = static_cast<char16_t>(raw_[2 * i] | (raw_[2 * i + 1] << 8));
        if (is_high_surrogate(u)) {
            if (i + 1 == unitCount && !atEnd) {
                break;
            }
            if (i + 1 < unitCount) {
                auto next = static_cast<char16_t>(raw_[2 * i + 2] | (raw_[2 * i + 3] << 8));
                if (is_low_surrogate(next)) {
                    units_[checked++] = u;
                    units_[checked++] = next;
                    ++i;
                    continue;
                }
            }
            u = kReplacement;
        } else if (is_low_surrogate(u)) {
            u = kReplacement;
        }
        units_[checked++] = u;
    }
    std::size_t consumed = 2 * i;
    if (atEnd && rawLength_ - consumed == 1) {
        units_[checked++] = kReplacement;
        consumed = rawLength_;
    }
    std::memmove(raw_, raw_ + consumed, rawLength_ - consumed);
    rawLength_ -= consumed;
    return narrow_from_utf16(units_, checked, text_ + end_);
}

// Adds newly decoded bytes to the text; the first Ctrl-Z in them ends the file there.
void LineSource::take(std::size_t newBytes) {
    std::size_t from = end_;
    if (auto *z = static_cast<char *>(std::memchr(text_ + end_, kCtrlZ, newBytes))) {
        end_ = static_cast<std::size_t>(z - text_);
        finished_ = true;
    } else {
        end_ += newBytes;
    }
    if (zero_ == from) {
        find_zero(from);
    }
}

} // namespace kzq
