// Runs a program of the build and captures what it does, for tests that check a whole program
// from outside: its exit status and the exact bytes of its standard output and error.
#ifndef KZQ_TESTS_PROCESS_H
#define KZQ_TESTS_PROCESS_H

#include <cstdint>
#include <string>
#include <vector>

namespace kzq_test {

struct ProcessResult {
    bool started = false;
    std::uint32_t exitCode = 0; // the full 32-bit status (on Windows, as GetExitCodeProcess gives it)
    std::string out;
    std::string err;
};

struct ProcessOptions {
    bool closeStandardError = false; // start the program with no standard error at all
};

// args[0] is the program's path. On Windows each argument is quoted so that the run-time's
// splitting gives it back unchanged; use run_command_line for a command line as typed.
ProcessResult run_process(const std::vector<std::string> &args, const ProcessOptions &options = {});

#ifdef _WIN32
ProcessResult run_command_line(const std::string &program, const std::string &commandLine,
                               const ProcessOptions &options = {});
#endif

// The directory of the running test program, where the build puts its programs and libraries.
std::string program_directory();

// The path of a program of the build, which lies beside the running test program
// ("kzqdump" is kzqdump.exe on Windows).
std::string program_path(const std::string &name);

// The path of a fixture under tests/data, as this platform's programs spell it (under Wine the
// source tree is reached through drive Z:).
std::string data_file(const std::string &name);

// The whole content of a file, read as bytes; empty when it cannot be read.
std::string read_file(const std::string &path);

// A path for `name` in the system's directory for temporary files.
std::string temporary_path(const std::string &name);

} // namespace kzq_test

#endif
