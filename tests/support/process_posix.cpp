#include "process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern char **environ;

namespace kzq_test {
namespace {

std::string read_all(int fd) {
    std::string text;
    char buffer[4096];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

int temporary_file() {
    char name[] = "/tmp/kzq-test-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) {
        unlink(name);
    }
    return fd;
}

} // namespace

ProcessResult run_process(const std::vector<std::string> &args, const ProcessOptions &options) {
    ProcessResult result;
    int out = temporary_file();
    int err = temporary_file();
    std::vector<char *> argv;
    for (const std::string &a : args) {
        argv.push_back(const_cast<char *>(a.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    if (options.closeStandardError) {
        posix_spawn_file_actions_addclose(&actions, 2);
    } else {
        posix_spawn_file_actions_adddup2(&actions, err, 2);
    }
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.started = true;
        result.exitCode = WIFEXITED(status) ? static_cast<std::uint32_t>(WEXITSTATUS(status)) : 0xDEADu;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = read_all(out);
    result.err = read_all(err);
    close(out);
    close(err);
    return result;
}

std::string program_directory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string exe(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return exe.substr(0, exe.rfind('/'));
}

std::string program_path(const std::string &name) { return program_directory() + "/" + name; }

std::string temporary_path(const std::string &name) {
    const char *directory = std::getenv("TMPDIR");
    return std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") + "/" + name;
}

std::string data_file(const std::string &name) { return std::string(KZQ_TEST_DATA_DIR) + "/" + name; }

} // namespace kzq_test
