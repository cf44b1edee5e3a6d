// The exported host address list over the platform's real sockets layer, called as a host calls
// it, natively and under Wine. Machines differ in their addresses, so these tests check the
// list's shape and its agreement with other views of the same host, not particular addresses.
#include "kzqtools.h"
#include "process.h"
#include "result_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// Room for 4096 addresses of 16 bytes and the ending zero: more than any host here has.
constexpr std::size_t kListBytes = 16 * 4096 + 1;
constexpr char kPattern = '\x5a';

// 1 to 3 digits without a leading zero, at most 255, four times, joined by dots.
bool is_dotted_quad(const std::string &text) {
    std::istringstream parts(text + ".");
    int count = 0;
    for (std::string part; std::getline(parts, part, '.');) {
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0') ||
            part.find_first_not_of("0123456789") != std::string::npos || std::stoi(part) > 255) {
            return false;
        }
        ++count;
    }
    return count == 4;
}

struct HostList {
    kzq_result_t result = KZQ_SUCCESS;
    std::vector<std::string> texts;
    std::size_t end = 0;         // offset of the list's ending zero byte
    bool restUntouched = false; // every byte after the ending zero still holds the pattern
};

// Calls the export with a buffer filled with a nonzero pattern and reads the list back.
HostList host_list() {
    std::vector<char> buffer(kListBytes, kPattern);
    HostList list;
    list.result = KZQGetHostIPList(buffer.data());
    if (list.result != KZQ_SUCCESS) {
        return list;
    }
    while (buffer[list.end] != '\0') {
        std::string text(buffer.data() + list.end);
        list.end += text.size() + 1;
        list.texts.push_back(text);
    }
    list.restUntouched = std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(list.end) + 1,
                                     buffer.end(), [](char c) { return c == kPattern; });
    return list;
}

std::string lines(const std::vector<std::string> &texts) {
    std::string text;
    for (const std::string &t : texts) {
        text += t + "\n";
    }
    return text;
}

TEST(HostListExport, GivesDottedQuadsEndedByAZeroAndLeavesTheRestUntouched) {
    HostList list = host_list();
    ASSERT_EQ(list.result, KZQ_SUCCESS) << kzq::result_name(list.result);
    for (const std::string &text : list.texts) {
        EXPECT_TRUE(is_dotted_quad(text)) << '"' << text << '"';
    }
    EXPECT_TRUE(list.restUntouched);
    std::cout << "host address list:\n" << lines(list.texts);
}

TEST(HostListExport, TwoThreadsAtOnceEachGetTheSameList) {
    constexpr int kCallsPerThread = 25;
    std::atomic<int> ready{0};
    std::vector<HostList> lists[2];
    auto caller = [&](std::vector<HostList> &out) {
        // Both threads start calling only once both are running, so their calls overlap.
        ready.fetch_add(1);
        while (ready.load() < 2) {
            std::this_thread::yield();
        }
        for (int i = 0; i < kCallsPerThread; ++i) {
            out.push_back(host_list());
        }
    };
    std::thread first(caller, std::ref(lists[0]));
    std::thread second(caller, std::ref(lists[1]));
    first.join();
    second.join();

    const HostList &reference = lists[0].front();
    ASSERT_EQ(reference.result, KZQ_SUCCESS) << kzq::result_name(reference.result);
    for (const std::vector<HostList> &thread : lists) {
        for (const HostList &list : thread) {
            EXPECT_EQ(list.result, KZQ_SUCCESS) << kzq::result_name(list.result);
            EXPECT_EQ(list.texts, reference.texts);
            EXPECT_TRUE(list.restUntouched);
        }
    }
}

TEST(HostListExport, KzqdumpPrintsTheSameListOneAddressALine) {
    HostList list = host_list();
    ASSERT_EQ(list.result, KZQ_SUCCESS) << kzq::result_name(list.result);

    kzq_test::ProcessResult run = kzq_test::run_process(
        {kzq_test::program_path("kzqdump"), "--ip"});
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, lines(list.texts));
    EXPECT_EQ(run.exitCode, 0u);
}

#ifndef _WIN32
// getent asks the system's resolver for the host's own name, in the resolver's order; it prints
// each address once for each kind of socket, so only the stream lines are taken.
TEST(HostListExport, MatchesTheSystemResolverForTheHostsOwnName) {
    char name[256] = {};
    ASSERT_EQ(gethostname(name, sizeof name - 1), 0);
    kzq_test::ProcessResult run = kzq_test::run_process({"/usr/bin/getent", "ahostsv4", name});
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.exitCode, 0u) << "the resolver does not know " << name;
    std::vector<std::string> expected;
    std::istringstream output(run.out);
    for (std::string line; std::getline(output, line);) {
        std::istringstream fields(line);
        std::string address, kind;
        fields >> address >> kind;
        if (kind == "STREAM") {
            expected.push_back(address);
        }
    }

    HostList list = host_list();
    ASSERT_EQ(list.result, KZQ_SUCCESS) << kzq::result_name(list.result);
    EXPECT_FALSE(list.texts.empty());
    EXPECT_EQ(list.texts, expected);
}
#endif

} // namespace
