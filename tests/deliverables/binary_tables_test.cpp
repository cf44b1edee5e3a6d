// The export table is the library's interface and the import table its demands on a machine:
// both are checked on the built binaries, not on the sources.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string command_output(const std::string &command) {
    std::string text;
    if (std::FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, got);
        }
        pclose(pipe);
    }
    return text;
}

struct PeTables {
    std::set<std::string> exports;
    std::set<std::string> imports;
    bool read = false;
};

// Reads the tables as i686-w64-mingw32-objdump -p prints them.
PeTables pe_tables(const std::string &path) {
    PeTables tables;
    std::istringstream lines(command_output("i686-w64-mingw32-objdump -p '" + path + "' 2>/dev/null"));
    bool inNames = false;
    for (std::string line; std::getline(lines, line);) {
        tables.read = true;
        if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
            inNames = true;
            continue;
        }
        if (inNames) {
            std::size_t close = line.find(']');
            if (line.empty() || close == std::string::npos) {
                inNames = false;
                continue;
            }
            tables.exports.insert(line.substr(line.find_first_not_of(' ', close + 1)));
        }
        std::size_t dll = line.find("DLL Name: ");
        if (dll != std::string::npos) {
            // The loader matches DLL names without regard to case, and import libraries differ
            // in how they spell them (WSOCK32.DLL beside KERNEL32.dll), so only the name counts.
            std::string name = line.substr(dll + 10);
            for (char &c : name) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            tables.imports.insert(name);
        }
    }
    return tables;
}

const std::set<std::string> kExports = {"KZQCloseRegFile", "KZQGetHostIPList",
                                        "KZQGetNextRegFileLine", "KZQOpenRegFileRead"};

std::string win32_binary(const char *name) { return std::string(KZQ_WIN32_BIN_DIR) + "/" + name; }

TEST(Win32Library, ExportsExactlyTheFourNamesUndecorated) {
    PeTables tables = pe_tables(win32_binary("kzqtools.dll"));
    ASSERT_TRUE(tables.read) << "build the win32 preset first";
    EXPECT_EQ(tables.exports, kExports);
}

TEST(Win32Library, NeedsOnlyTheSystemsOwnDlls) {
    PeTables tables = pe_tables(win32_binary("kzqtools.dll"));
    ASSERT_TRUE(tables.read) << "build the win32 preset first";
    EXPECT_EQ(tables.imports, (std::set<std::string>{"KERNEL32.DLL", "MSVCRT.DLL", "WSOCK32.DLL"}));
}

TEST(Win32Kzqdump, NeedsOnlyTheSystemsOwnDlls) {
    PeTables tables = pe_tables(win32_binary("kzqdump.exe"));
    ASSERT_TRUE(tables.read) << "build the win32 preset first";
    EXPECT_EQ(tables.imports, (std::set<std::string>{"KERNEL32.DLL", "MSVCRT.DLL"}));
    EXPECT_TRUE(tables.exports.empty());
}

TEST(Win32Svcremove, NeedsOnlyTheSystemsOwnDlls) {
    PeTables tables = pe_tables(win32_binary("svcremove.exe"));
    ASSERT_TRUE(tables.read) << "build the win32 preset first";
    EXPECT_EQ(tables.imports, (std::set<std::string>{"ADVAPI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL"}));
    EXPECT_TRUE(tables.exports.empty());
}

TEST(LinuxLibrary, ExportsExactlyTheFourNames) {
    std::istringstream names(
        command_output("nm -D --defined-only --format=just-symbols '" KZQ_LINUX_LIBRARY "'"));
    std::set<std::string> exported;
    for (std::string name; std::getline(names, name);) {
        exported.insert(name);
    }
    EXPECT_EQ(exported, kExports);
}

} // namespace
