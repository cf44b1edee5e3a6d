#include "process.h"

#include <windows.h>

#include <cstdio>

namespace kzq_test {
namespace {

// Quotes one argument so that the C run-time's splitting gives it back unchanged.
std::string quote_argument(const std::string &arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

HANDLE inheritable_temporary_file() {
    char directory[MAX_PATH];
    char name[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "kzq", 0, name);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                       nullptr);
}

std::string read_all(HANDLE file) {
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

} // namespace

ProcessResult run_command_line(const std::string &program, const std::string &commandLine,
                               const ProcessOptions &options) {
    ProcessResult result;
    HANDLE out = inheritable_temporary_file();
    HANDLE err = options.closeStandardError ? nullptr : inheritable_temporary_file();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.started = true;
        result.exitCode = code;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.out = read_all(out);
    CloseHandle(out);
    if (err != nullptr) {
        result.err = read_all(err);
        CloseHandle(err);
    }
    return result;
}

ProcessResult run_process(const std::vector<std::string> &args, const ProcessOptions &options) {
    std::string line;
    for (const std::string &a : args) {
        if (!line.empty()) {
            line += ' ';
        }
        line += quote_argument(a);
    }
    return run_command_line(args[0], line, options);
}

std::string program_directory() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, length);
    return exe.substr(0, exe.find_last_of("\\/"));
}

std::string program_path(const std::string &name) {
    return program_directory() + "\\" + name + ".exe";
}

std::string temporary_path(const std::string &name) {
    char directory[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, directory);
    return std::string(directory, length > 0 && length < MAX_PATH ? length : 0) + name;
}

std::string data_file(const std::string &name) {
    std::string path = std::string("Z:") + KZQ_TEST_DATA_DIR + "/" + name;
    for (char &c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

} // namespace kzq_test
