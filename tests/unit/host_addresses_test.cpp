#include "host_addresses.h"

#include "case_name.h"
#include "fake_sockets_api.h"
#include "result_names.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kzq {
namespace {

// The bytes of a literal, embedded zero bytes included; "\0" ends a text and a final "\0" the
// list. Each text is its own literal so that a zero byte never merges with the digit after it.
template <std::size_t N> std::string bytes(const char (&text)[N]) { return std::string(text, N - 1); }

constexpr char kPattern = '\x5a';

struct HostListCase {
    const char *name;
    int startupResult;
    std::uint16_t reportedVersion;
    int hostNameResult;
    bool lookupFails;
    std::vector<FakeAddress> addresses;
    kzq_result_t result;
    std::string written; // every byte the call writes, from the buffer's start
    const char *trace;
};

void set_up(FakeSocketsApi &sockets, const HostListCase &c) {
    sockets.startupResult = c.startupResult;
    sockets.reportedVersion = c.reportedVersion;
    sockets.hostNameResult = c.hostNameResult;
    sockets.lookupFails = c.lookupFails;
    sockets.addresses = c.addresses;
}

class HostList : public testing::TestWithParam<HostListCase> {};

TEST_P(HostList, WritesExactlyTheListOrNothingAndCleansUpOncePastStartUp) {
    const HostListCase &c = GetParam();
    FakeSocketsApi sockets;
    set_up(sockets, c);
    std::array<char, 96> buffer;
    buffer.fill(kPattern);

    kzq_result_t result = build_host_list(sockets, buffer.data());

    EXPECT_EQ(result, c.result) << result_name(result);
    EXPECT_EQ(std::string(buffer.data(), c.written.size()), c.written);
    EXPECT_EQ(std::string(buffer.begin() + static_cast<std::ptrdiff_t>(c.written.size()),
                          buffer.end()),
              std::string(buffer.size() - c.written.size(), kPattern))
        << "bytes after the list were written";
    EXPECT_EQ(sockets.trace(), c.trace);
}

TEST_P(HostList, NullBufferRunsTheSameStepsToTheSameResult) {
    const HostListCase &c = GetParam();
    FakeSocketsApi sockets;
    set_up(sockets, c);

    kzq_result_t result = build_host_list(sockets, nullptr);

    EXPECT_EQ(result, c.result) << result_name(result);
    EXPECT_EQ(sockets.trace(), c.trace);
}

const char kConvertNone[] = "startup host_name lookup cleanup";
const char kConvertOne[] = "startup host_name lookup address_to_text cleanup";
const char kConvertTwo[] = "startup host_name lookup address_to_text address_to_text cleanup";
const char kConvertThree[] =
    "startup host_name lookup address_to_text address_to_text address_to_text cleanup";
const char kConvertFour[] = "startup host_name lookup address_to_text address_to_text "
                            "address_to_text address_to_text cleanup";

// 10091 is the sockets layer's "network subsystem is unavailable".
INSTANTIATE_TEST_SUITE_P(
    Cases, HostList,
    testing::Values(
        HostListCase{"StartUpFails", 10091, 0x0101, 0, false, {{{192, 0, 2, 1}}},
                     KZQ_ERR_WINSOCK_STARTUP, "", "startup"},
        HostListCase{"Version1_0", 0, 0x0001, 0, false, {{{192, 0, 2, 1}}},
                     KZQ_ERR_WINSOCK_VERSION, "", "startup cleanup"},
        HostListCase{"Version1_2", 0, 0x0201, 0, false, {{{192, 0, 2, 1}}},
                     KZQ_ERR_WINSOCK_VERSION, "", "startup cleanup"},
        HostListCase{"Version2_1", 0, 0x0102, 0, false, {{{192, 0, 2, 1}}},
                     KZQ_ERR_WINSOCK_VERSION, "", "startup cleanup"},
        HostListCase{"Version2_2", 0, 0x0202, 0, false, {{{192, 0, 2, 1}}},
                     KZQ_ERR_WINSOCK_VERSION, "", "startup cleanup"},
        HostListCase{"HostNameFails", 0, 0x0101, -1, false, {{{192, 0, 2, 1}}},
                     KZQ_ERR_HOST_NAME, "", "startup host_name cleanup"},
        HostListCase{"LookupFails", 0, 0x0101, 0, true, {}, KZQ_ERR_HOST_LOOKUP, "",
                     kConvertNone},
        HostListCase{"NoAddresses", 0, 0x0101, 0, false, {}, KZQ_SUCCESS, bytes("\0"),
                     kConvertNone},
        HostListCase{"OneAddress", 0, 0x0101, 0, false, {{{10, 0, 0, 1}}}, KZQ_SUCCESS,
                     bytes("10.0.0.1\0" "\0"), kConvertOne},
        HostListCase{"TwoAddresses", 0, 0x0101, 0, false,
                     {{{192, 0, 2, 1}}, {{198, 51, 100, 23}}}, KZQ_SUCCESS,
                     bytes("192.0.2.1\0" "198.51.100.23\0" "\0"), kConvertTwo},
        HostListCase{"LongestAddress", 0, 0x0101, 0, false, {{{255, 255, 255, 255}}},
                     KZQ_SUCCESS, bytes("255.255.255.255\0" "\0"), kConvertOne},
        HostListCase{"ShortestAddress", 0, 0x0101, 0, false, {{{0, 0, 0, 0}}}, KZQ_SUCCESS,
                     bytes("0.0.0.0\0" "\0"), kConvertOne},
        HostListCase{"SameAddressTwice", 0, 0x0101, 0, false,
                     {{{192, 0, 2, 1}}, {{192, 0, 2, 1}}}, KZQ_SUCCESS,
                     bytes("192.0.2.1\0" "192.0.2.1\0" "\0"), kConvertTwo},
        HostListCase{"EntryOrderKept", 0, 0x0101, 0, false,
                     {{{198, 51, 100, 23}}, {{10, 0, 0, 1}}, {{192, 0, 2, 1}}, {{127, 0, 1, 1}}},
                     KZQ_SUCCESS,
                     bytes("198.51.100.23\0" "10.0.0.1\0" "192.0.2.1\0" "127.0.1.1\0" "\0"),
                     kConvertFour},
        HostListCase{"FirstGivesNoText", 0, 0x0101, 0, false,
                     {{{203, 0, 113, 7}, false}, {{192, 0, 2, 1}}, {{198, 51, 100, 23}}},
                     KZQ_SUCCESS, bytes("192.0.2.1\0" "198.51.100.23\0" "\0"), kConvertThree},
        HostListCase{"MiddleGivesNoText", 0, 0x0101, 0, false,
                     {{{192, 0, 2, 1}}, {{203, 0, 113, 7}, false}, {{198, 51, 100, 23}}},
                     KZQ_SUCCESS, bytes("192.0.2.1\0" "198.51.100.23\0" "\0"), kConvertThree},
        HostListCase{"NoneGivesText", 0, 0x0101, 0, false,
                     {{{203, 0, 113, 7}, false}, {{203, 0, 113, 8}, false}}, KZQ_SUCCESS,
                     bytes("\0"), kConvertTwo}),
    case_name<HostListCase>);

TEST(HostListCalls, AskForVersion1_1AndLookUpTheNameThatTheLayerGave) {
    FakeSocketsApi sockets;
    sockets.hostName = "build-host.example";
    sockets.addresses = {{{192, 0, 2, 1}}};
    char buffer[32];

    ASSERT_EQ(build_host_list(sockets, buffer), KZQ_SUCCESS);
    EXPECT_EQ(sockets.requestedVersion, 0x0101);
    EXPECT_EQ(sockets.hostNameLength, 256);
    EXPECT_EQ(sockets.lookedUpName, "build-host.example");
}

TEST(HostListCalls, EachCallLooksUpAfreshAndBalancesItsStartUp) {
    FakeSocketsApi sockets;
    sockets.addresses = {{{192, 0, 2, 1}}};
    std::array<char, 32> first;
    first.fill(kPattern);
    ASSERT_EQ(build_host_list(sockets, first.data()), KZQ_SUCCESS);

    sockets.addresses = {{{198, 51, 100, 23}}, {{10, 0, 0, 1}}};
    std::array<char, 32> second;
    second.fill(kPattern);
    ASSERT_EQ(build_host_list(sockets, second.data()), KZQ_SUCCESS);

    EXPECT_EQ(std::string(first.data(), 11), bytes("192.0.2.1\0" "\0"));
    EXPECT_EQ(std::string(second.data(), 24), bytes("198.51.100.23\0" "10.0.0.1\0" "\0"));
    EXPECT_EQ(sockets.count(FakeSocketsApi::Call::Startup), 2u);
    EXPECT_EQ(sockets.count(FakeSocketsApi::Call::Cleanup), 2u);
}

} // namespace
} // namespace kzq
