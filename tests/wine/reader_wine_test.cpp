// The library against a real registry editor and a real file system, under Wine: exports that
// the registry editor writes, imports that it makes from our fixtures, and the sharing of files
// the library holds open.
#include "kzq_library.h"
#include "process.h"
#include "result_names.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const char kReg[] = "C:\\windows\\system32\\reg.exe";
const char kRegedit[] = "C:\\windows\\regedit.exe";

struct Value {
    std::string type;
    std::string data; // the text, or the bytes of a hex value
    bool bytes = false;
};

struct Export {
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, Value>> values;
    kzq_result_t end = 0;
};

class Library {
public:
    Library() {
        const char *problem = nullptr;
        loaded_ = kzqdump::load_kzq_library(library_, problem);
    }
    ~Library() { unload(); }
    bool loaded() const { return loaded_; }
    const kzqdump::KzqLibrary &operator*() const { return library_; }
    void unload() {
        if (loaded_) {
            kzqdump::unload_kzq_library(library_);
            loaded_ = false;
        }
    }

    Export read(const std::string &path) {
        Export e;
        EXPECT_EQ(library_.open(path.c_str()), KZQ_SUCCESS) << path;
        std::vector<char> name(4095), type(4095), data(4097);
        for (;;) {
            int32_t isKey = 0;
            uint32_t byteCount = 0xFFFFFFFFu;
            e.end = library_.next(&isKey, name.data(), data.data(), type.data(), &byteCount);
            if (e.end != KZQ_SUCCESS) {
                break;
            }
            if (isKey != 0) {
                e.keys.push_back(name.data());
                continue;
            }
            Value v{type.data(), data.data(), false};
            if (byteCount != 0xFFFFFFFFu) {
                v.data.assign(data.data(), byteCount);
                v.bytes = true;
            }
            e.values.emplace_back(name.data(), v);
        }
        EXPECT_EQ(library_.close(), KZQ_SUCCESS);
        return e;
    }

private:
    kzqdump::KzqLibrary library_;
    bool loaded_ = false;
};

std::string unique(const std::string &stem) {
    return stem + std::to_string(GetCurrentProcessId());
}

void run_ok(const std::vector<std::string> &args) {
    kzq_test::ProcessResult r = kzq_test::run_process(args);
    ASSERT_TRUE(r.started) << args[0];
    ASSERT_EQ(r.exitCode, 0u) << args[0] << " " << args[1] << ": " << r.out << r.err;
}

TEST(RegistryEditorExport, IsReadBackWithItsKeysNamesAndStrings) {
    std::string sub = unique("Software\\KzqExport");
    std::string key = "HKEY_LOCAL_MACHINE\\" + sub;
    run_ok({kReg, "add", key + "\\Child", "/f"});
    run_ok({kReg, "add", key, "/v", "Plain", "/d", "hello world", "/f"});
    run_ok({kReg, "add", key, "/v", "Path", "/d", "C:\\Program Files\\App\\app.exe", "/f"});
    run_ok({kReg, "add", key, "/v", "Quote", "/d", "say \"hi\"", "/f"});
    run_ok({kReg, "add", key, "/v", "Back\\Name", "/d", "\\\\server\\share", "/f"});
    run_ok({kReg, "add", key, "/ve", "/d", "the default", "/f"});
    run_ok({kReg, "add", key, "/v", "Number", "/t", "REG_DWORD", "/d", "4294967295", "/f"});
    std::string blob;
    for (int i = 0; i < 300; ++i) {
        static const char hex[] = "0123456789ABCDEF";
        blob += hex[(i % 256) >> 4];
        blob += hex[i % 16];
    }
    run_ok({kReg, "add", key, "/v", "Blob", "/t", "REG_BINARY", "/d", blob, "/f"});

    std::string file = kzq_test::temporary_path(unique("kzq-export") + ".reg");
    run_ok({kRegedit, "/e", file, key});
    std::string raw = kzq_test::read_file(file);
    ASSERT_GE(raw.size(), 2u);
    EXPECT_EQ(raw.substr(0, 2), "\xFF\xFE") << "the registry editor writes UTF-16LE";

    Library library;
    ASSERT_TRUE(library.loaded());
    Export e = library.read(file);
    EXPECT_EQ(e.end, KZQ_END_OF_FILE) << kzq::result_name(e.end);
    EXPECT_EQ(e.keys, (std::vector<std::string>{"\\" + sub, "\\" + sub + "\\Child"}));
    std::map<std::string, Value> values(e.values.begin(), e.values.end());
    EXPECT_EQ(values["Plain"].data, "hello world");
    EXPECT_EQ(values["Path"].data, "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(values["Quote"].data, "say \"hi\"");
    EXPECT_EQ(values["Back\\Name"].data, "\\\\server\\share");
    EXPECT_EQ(values[""].data, "the default");
    EXPECT_EQ(values["Number"].type, "dword");
    EXPECT_EQ(values["Number"].data, "-1");
    ASSERT_TRUE(values["Blob"].bytes);
    ASSERT_EQ(values["Blob"].data.size(), 300u);
    for (std::size_t i = 0; i < 300; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(values["Blob"].data[i]), i % 256) << "byte " << i;
    }
    EXPECT_EQ(values.size(), 7u);

    DeleteFileA(file.c_str());
    run_ok({kReg, "delete", key, "/f"});
}

// What the registry holds for one value, read with the wide call that returns stored bytes.
struct Stored {
    DWORD type = REG_NONE;
    std::string bytes;
    bool found = false;
};

Stored stored_value(HKEY key, const std::string &name) {
    Stored s;
    std::wstring wide(name.begin(), name.end());
    DWORD size = 0;
    if (RegQueryValueExW(key, wide.c_str(), nullptr, &s.type, nullptr, &size) != ERROR_SUCCESS) {
        return s;
    }
    s.bytes.resize(size);
    RegQueryValueExW(key, wide.c_str(), nullptr, &s.type,
                     reinterpret_cast<BYTE *>(&s.bytes[0]), &size);
    s.bytes.resize(size);
    s.found = true;
    return s;
}

std::string narrow_string_value(HKEY key, const std::string &name) {
    char buffer[4096];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer),
                         &size) != ERROR_SUCCESS) {
        return "<missing>";
    }
    return std::string(buffer, size > 0 ? size - 1 : 0);
}

DWORD registry_type_of(const std::string &typeWord) {
    if (typeWord == "hex") {
        return REG_BINARY;
    }
    // hex(N) names the registry type N.
    return static_cast<DWORD>(std::strtoul(typeWord.c_str() + 4, nullptr, 16));
}

DWORD value_count(HKEY key) {
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    return count;
}

// An 8-bit file's hex(1), hex(2) and hex(7) bytes are text in the code page, which the
// registry editor widens to UTF-16LE when it stores them; our fixtures keep to ASCII there.
std::string widened(const std::string &bytes) {
    std::string wide;
    for (char c : bytes) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

class RegistryEditorImport : public testing::TestWithParam<const char *> {};

TEST_P(RegistryEditorImport, AgreesWithTheRegistryValueForValue) {
    std::string name = GetParam();
    std::string file = kzq_test::data_file(name + ".reg");
    bool eightBit = kzq_test::read_file(file).substr(0, 2) != "\xFF\xFE";

    Library library;
    ASSERT_TRUE(library.loaded());
    Export e = library.read(file);
    ASSERT_EQ(e.end, KZQ_END_OF_FILE);
    ASSERT_EQ(e.keys.size(), 1u);

    run_ok({kRegedit, "/s", file});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, e.keys[0].c_str() + 1, 0, KEY_READ, &key),
              ERROR_SUCCESS)
        << e.keys[0];
    for (const auto &[valueName, value] : e.values) {
        SCOPED_TRACE("value \"" + valueName + "\"");
        Stored s = stored_value(key, valueName);
        ASSERT_TRUE(s.found);
        if (value.type.empty()) {
            EXPECT_EQ(s.type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(narrow_string_value(key, valueName), value.data);
        } else if (value.type == "dword") {
            ASSERT_EQ(s.type, static_cast<DWORD>(REG_DWORD));
            DWORD storedDword = 0;
            std::memcpy(&storedDword, s.bytes.data(), sizeof storedDword);
            // A host's strtol (32-bit long) or strtoul gives back the stored pattern.
            EXPECT_EQ(static_cast<DWORD>(std::strtoll(value.data.c_str(), nullptr, 10)),
                      storedDword);
        } else {
            ASSERT_TRUE(value.bytes);
            DWORD type = registry_type_of(value.type);
            EXPECT_EQ(s.type, type);
            bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
            EXPECT_EQ(s.bytes, eightBit && text ? widened(value.data) : value.data);
        }
    }
    EXPECT_EQ(value_count(key), e.values.size()) << "every stored value was delivered";
    RegCloseKey(key);
    run_ok({kReg, "delete", "HKEY_LOCAL_MACHINE" + e.keys[0], "/f"});
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RegistryEditorImport,
                         testing::Values("import_values", "import_values_ansi"));

// The registry editor's UTF-16LE arrives in the ANSI code page. A character that the code page
// lacks, a lone surrogate, and a look-alike of a character with a meaning to the reader (a
// full-width quotation mark) all become '?'.
TEST(Utf16Files, ArriveInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 1252u) << "the tests run Wine with LC_ALL=C.UTF-8";
    std::u16string text = u"\"Caf\u00e9\"=\"\u4e2d\uff02x\uff02\"\r\n\"Lone\"=\"a";
    text += char16_t(0xD800);
    text += u"b\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    std::string path = kzq_test::temporary_path(unique("kzq-wide") + ".reg");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);

    Library library;
    ASSERT_TRUE(library.loaded());
    Export e = library.read(path);
    ASSERT_EQ(e.values.size(), 2u);
    EXPECT_EQ(e.values[0].first, "Caf\xE9");
    EXPECT_EQ(e.values[0].second.data, "??x?");
    EXPECT_EQ(e.values[1].second.data, "a?b");
    DeleteFileA(path.c_str());
}

std::string copy_of_fixture(const std::string &fixture, const std::string &name) {
    std::string path = kzq_test::temporary_path(unique(name));
    EXPECT_TRUE(CopyFileA(kzq_test::data_file(fixture).c_str(), path.c_str(), FALSE));
    return path;
}

TEST(FileSharing, AnOpenFileCannotBeDeletedUntilTheLibraryIsUnloaded) {
    std::string path = copy_of_fixture("example.reg", "kzq-held.reg");
    Library library;
    ASSERT_TRUE(library.loaded());
    ASSERT_EQ((*library).open(path.c_str()), KZQ_SUCCESS);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    library.unload();
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "the unload closed the file";
}

TEST(FileSharing, AFilePushedOutOfTheSlotIsClosedByTheUnload) {
    std::string first = copy_of_fixture("example.reg", "kzq-first.reg");
    std::string second = copy_of_fixture("escapes.reg", "kzq-second.reg");
    Library library;
    ASSERT_TRUE(library.loaded());
    ASSERT_EQ((*library).open(first.c_str()), KZQ_SUCCESS);
    ASSERT_EQ((*library).open(second.c_str()), KZQ_SUCCESS);
    EXPECT_FALSE(DeleteFileA(first.c_str()));
    EXPECT_FALSE(DeleteFileA(second.c_str()));
    library.unload();
    EXPECT_TRUE(DeleteFileA(first.c_str()));
    EXPECT_TRUE(DeleteFileA(second.c_str()));
}

TEST(FileSharing, AClosedFileCanBeDeletedAtOnce) {
    std::string path = copy_of_fixture("example.reg", "kzq-closed.reg");
    Library library;
    ASSERT_TRUE(library.loaded());
    ASSERT_EQ((*library).open(path.c_str()), KZQ_SUCCESS);
    ASSERT_EQ((*library).close(), KZQ_SUCCESS);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

} // namespace
