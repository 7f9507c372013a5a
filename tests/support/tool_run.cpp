#include "tool_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

// A temporary file a child writes one of its streams into; files rather than
// pipes, so a chatty child never blocks on a full pipe.
class CaptureFile {
  public:
    CaptureFile() {
        char name[] = "/tmp/quillon-tool-test-XXXXXX";
        fd_ = mkstemp(name);
        if (fd_ < 0) {
            throw std::runtime_error(std::string("mkstemp: ") + std::strerror(errno));
        }
        path_ = name;
    }
    ~CaptureFile() {
        close(fd_);
        unlink(path_.c_str());
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    int fd() const { return fd_; }
    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    int fd_ = -1;
    std::string path_;
};

int wait_for(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments) {
    CaptureFile out;
    CaptureFile err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.fd(), STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int failure =
        posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(failure));
    }
    ProgramRun run;
    run.exit_code = wait_for(child);
    run.out = out.text();
    run.err = err.text();
    return run;
}

ProgramRun run_quillon(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{"--plugin", QUILLON_PLUGIN_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return run_quillon_bare(all);
}

ProgramRun run_quillon_bare(const std::vector<std::string>& arguments) {
    return run_program(QUILLON_TOOL_PATH, arguments);
}

void PrintTo(const ProgramRun& run, std::ostream* out) {
    *out << "exit " << run.exit_code << "\n--- stdout\n" << run.out << "--- stderr\n" << run.err;
}
