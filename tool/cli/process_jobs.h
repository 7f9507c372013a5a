#pragma once

#include <functional>
#include <string>
#include <vector>

// Work shared out over processes: the plug-in and the stand-in host take one
// calling thread at a time, so the tool uses more cores with processes, each
// forked from this one with the model already loaded. Call it only while this
// process runs no other thread.

// Runs `work(0)` ... `work(count - 1)`, each in a child process of its own,
// all at once, and answers what each returned, in order. A child sees this
// process's state as it was at the call and changes none of it. A child's
// exception reaches the caller as a std::runtime_error with its text; a child
// that ends otherwise (a signal) as one that says how it ended. Every child
// is waited for before this returns or throws.
std::vector<std::string> run_in_processes(int count, const std::function<std::string(int)>& work);
