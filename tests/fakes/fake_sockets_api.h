// A sockets layer whose every answer a test chooses. It records each call in order, so a test can
// check the sequence, the arguments and how often the layer was started and cleaned up.
#ifndef KZQ_TESTS_FAKE_SOCKETS_API_H
#define KZQ_TESTS_FAKE_SOCKETS_API_H

#include "platform/sockets_api.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace kzq {

struct FakeAddress {
    std::array<unsigned char, 4> bytes;
    bool givesText = true; // false: address_to_text answers nullptr for these bytes
};

class FakeSocketsApi final : public SocketsApi {
public:
    enum class Call { Startup, HostName, Lookup, AddressToText, Cleanup };

    // The answers, chosen by the test before the call.
    int startupResult = 0;
    std::uint16_t reportedVersion = 0x0101;
    int hostNameResult = 0;
    std::string hostName = "fakehost";
    bool lookupFails = false;
    std::vector<FakeAddress> addresses;

    // What the calls passed and in which order.
    std::vector<Call> calls;
    std::uint16_t requestedVersion = 0;
    int hostNameLength = 0;
    std::string lookedUpName;

    int startup(std::uint16_t version, std::uint16_t &reported) override {
        calls.push_back(Call::Startup);
        requestedVersion = version;
        if (startupResult == 0) {
            reported = reportedVersion;
        }
        return startupResult;
    }

    int host_name(char *name, int length) override {
        calls.push_back(Call::HostName);
        hostNameLength = length;
        if (hostNameResult == 0) {
            std::memcpy(name, hostName.c_str(), hostName.size() + 1);
        }
        return hostNameResult;
    }

    const char *const *lookup(const char *name) override {
        calls.push_back(Call::Lookup);
        lookedUpName = name;
        if (lookupFails) {
            return nullptr;
        }
        // The entry is copied, as the sockets layer owns its own, so the list stays valid even
        // if the test changes `addresses` between calls.
        entry_ = addresses;
        list_.clear();
        for (const FakeAddress &address : entry_) {
            list_.push_back(reinterpret_cast<const char *>(address.bytes.data()));
        }
        list_.push_back(nullptr);
        return list_.data();
    }

    // Like the real layer, one text buffer is reused for every conversion, so a caller that
    // keeps the pointer past the next call sees its text change.
    const char *address_to_text(const char *address) override {
        calls.push_back(Call::AddressToText);
        std::array<unsigned char, 4> bytes;
        std::memcpy(bytes.data(), address, bytes.size());
        auto known = std::find_if(entry_.begin(), entry_.end(),
                                  [&](const FakeAddress &a) { return a.bytes == bytes; });
        if (known != entry_.end() && !known->givesText) {
            return nullptr;
        }
        std::snprintf(text_, sizeof text_, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
        return text_;
    }

    void cleanup() override { calls.push_back(Call::Cleanup); }

    // The calls in order, by the names of the methods, separated by blanks.
    std::string trace() const {
        static const char *const kNames[] = {"startup", "host_name", "lookup", "address_to_text",
                                             "cleanup"};
        std::string text;
        for (Call call : calls) {
            text += text.empty() ? "" : " ";
            text += kNames[static_cast<int>(call)];
        }
        return text;
    }

    std::size_t count(Call call) const {
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
    }

private:
    std::vector<FakeAddress> entry_;
    std::vector<const char *> list_;
    char text_[16] = {};
};

} // namespace kzq

#endif
