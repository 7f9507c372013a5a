#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "process_jobs.h"

// Work shared out over forked processes: what each child returns comes back
// in order, whatever its size, and a child that fails is reported, not lost.
namespace {

// Larger than a pipe's buffer, so that a parent reading one child to its
// end before the next would leave the others blocked on their writes.
std::string big_result(int index) {
    return std::string(1 << 20, static_cast<char>('a' + index));
}

TEST(process_jobs, results_come_back_in_order_whatever_their_size) {
    for (const int count : {1, 2, 5}) {
        const std::vector<std::string> results = run_in_processes(count, big_result);
        ASSERT_EQ(results.size(), static_cast<std::size_t>(count));
        for (int index = 0; index < count; ++index) {
            EXPECT_EQ(results[static_cast<std::size_t>(index)], big_result(index)) << index;
        }
    }
    EXPECT_TRUE(run_in_processes(0, big_result).empty());
}

TEST(process_jobs, a_child_that_fails_is_reported_once_all_have_ended) {
    const struct {
        const char* failure;
        std::function<std::string(int)> work;  // job 1 fails, jobs 0 and 2 do their work
        std::string message;
    } cases[] = {
        {"throws",
         [](int index) -> std::string {
             if (index == 1) {
                 throw std::invalid_argument("value 7 has no solution");
             }
             return big_result(index);
         },
         "value 7 has no solution"},
        {"is killed",
         [](int index) {
             if (index == 1) {
                 std::raise(SIGKILL);
             }
             return big_result(index);
         },
         "a job was ended by signal 9 (Killed)"},
        {"exits on its own",
         [](int index) {
             if (index == 1) {
                 std::_Exit(3);
             }
             return big_result(index);
         },
         "a job ended with exit code 3"},
    };
    for (const auto& c : cases) {
        try {
            run_in_processes(3, c.work);
            ADD_FAILURE() << "a child that " << c.failure << " went unreported";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), c.message) << c.failure;
        }
    }
}

}  // namespace
