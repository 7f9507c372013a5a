#pragma once

#include <exception>
#include <functional>

#include <pthread.h>

// Runs `work` on a thread with a 1 MiB stack, as a host may give the plug-in,
// and passes on what it throws. Deep recursion there ends the test program.
inline void run_on_small_stack(const std::function<void()>& work) {
    struct Job {
        const std::function<void()>* work;
        std::exception_ptr error;
    } job{&work, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 1 << 20);
    pthread_t thread;
    const auto body = [](void* argument) -> void* {
        auto* running = static_cast<Job*>(argument);
        try {
            (*running->work)();
        } catch (...) {
            running->error = std::current_exception();
        }
        return nullptr;
    };
    if (pthread_create(&thread, &attributes, body, &job) != 0) {
        pthread_attr_destroy(&attributes);
        throw std::runtime_error("cannot start a thread");
    }
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    if (job.error) {
        std::rethrow_exception(job.error);
    }
}
