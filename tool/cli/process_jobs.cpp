#include "process_jobs.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "file_faults.h"

namespace {

// The exit codes of a child: its result follows, or its exception's text.
constexpr int CHILD_DONE = 0;
constexpr int CHILD_FAILED = 1;

[[noreturn]] void system_fault(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// In the child: the work, its result down the pipe, and an exit that runs
// none of the parent's exit handlers or destructors (they own the parent's
// files and the host).
[[noreturn]] void run_child(int index, const std::function<std::string(int)>& work, int pipe_end) {
    int code = CHILD_DONE;
    std::string text;
    try {
        text = work(index);
    } catch (const std::exception& error) {
        text = error.what();
        code = CHILD_FAILED;
    } catch (...) {
        text = "an unknown fault";
        code = CHILD_FAILED;
    }
    // A parent gone or no longer reading wants nothing more.
    write_all(pipe_end, text);
    ::close(pipe_end);
    ::_exit(code);
}

struct Child {
    pid_t pid = -1;
    int pipe = -1;  // read end; -1 once at its end
    std::string received;
};

// Reads every child's pipe to its end, whichever has something, so that no
// child waits on a full pipe while another is read.
void read_all(std::vector<Child>& children) {
    std::vector<pollfd> waiting;
    while (true) {
        waiting.clear();
        for (const Child& child : children) {
            if (child.pipe >= 0) {
                waiting.push_back({child.pipe, POLLIN, 0});
            }
        }
        if (waiting.empty()) {
            return;
        }
        if (::poll(waiting.data(), waiting.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            system_fault("cannot wait for the jobs");
        }
        for (Child& child : children) {
            for (const pollfd& ready : waiting) {
                if (ready.fd != child.pipe || ready.revents == 0) {
                    continue;
                }
                char buffer[65536];
                const ssize_t count = ::read(child.pipe, buffer, sizeof buffer);
                if (count > 0) {
                    child.received.append(buffer, static_cast<std::size_t>(count));
                } else if (count == 0 || errno != EINTR) {
                    ::close(child.pipe);
                    child.pipe = -1;
                }
            }
        }
    }
}

// How a child ended, as the first fault to report, or "" when it did its work.
std::string wait_for(const Child& child) {
    int status = 0;
    while (::waitpid(child.pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::string("a job could not be waited for: ") + std::strerror(errno);
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == CHILD_DONE) {
        return "";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == CHILD_FAILED) {
        return child.received;
    }
    if (WIFSIGNALED(status)) {
        return std::string("a job was ended by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    }
    return "a job ended with exit code " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

std::vector<std::string> run_in_processes(int count, const std::function<std::string(int)>& work) {
    std::vector<Child> children;
    std::string fault;
    for (int index = 0; index < count; ++index) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            fault = std::string("cannot start a job: ") + std::strerror(errno);
            break;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ends[0]);
            run_child(index, work, ends[1]);
        }
        ::close(ends[1]);
        if (pid < 0) {
            ::close(ends[0]);
            fault = std::string("cannot start a job: ") + std::strerror(errno);
            break;
        }
        children.push_back({pid, ends[0], {}});
    }
    // Children already started finish and are waited for, even after a fault.
    try {
        read_all(children);
    } catch (const std::exception& error) {
        fault = error.what();
        for (Child& child : children) {
            if (child.pipe >= 0) {
                ::close(child.pipe);
            }
        }
    }
    std::vector<std::string> results;
    for (const Child& child : children) {
        const std::string ended = wait_for(child);
        if (fault.empty()) {
            fault = ended;
        }
        results.push_back(child.received);
    }
    if (!fault.empty()) {
        throw std::runtime_error(fault);
    }
    return results;
}
