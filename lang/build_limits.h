#pragma once

#include <cstdint>
#include <exception>

namespace lang {

// How much a build may make. A few bytes of text can ask for more than any
// machine holds (`var x[i] for i in 1..1000000000`, sums nested a dozen
// deep, the square of a long sum, whose derivatives grow with the square of
// its length), so each is counted before or while it is made, and a build
// that goes beyond one stops with the limit's name. The defaults lie far
// above real models (the heat rod example at 10^5 cells makes 2*10^5
// instances and 2.4*10^6 nodes) and keep a build of any text below about a
// gigabyte of memory until it stops.
struct BuildLimits {
    // Instances of statements in the model, counted before a statement's
    // ranges are expanded.
    std::int64_t instances = 10'000'000;
    // Terms that the sums of one expression give, counted before a sum is
    // expanded.
    std::int64_t terms = 1'000'000;
    // Nodes that one equation's residual and derivatives take while built.
    std::int64_t equation_nodes = 10'000'000;
    // Nodes of the model file, residuals and derivatives of all equations.
    std::int64_t nodes = 100'000'000;
};

// Raised by NodeBudget::charge beyond its limit; whoever knows the place
// reports it.
struct NodeLimitReached : std::exception {
    const char* what() const noexcept override { return "node limit reached"; }
};

// Counts nodes as they are made.
class NodeBudget {
  public:
    explicit NodeBudget(std::int64_t limit) : limit_(limit) {}

    // Raises NodeLimitReached once more than the limit are counted.
    void charge(std::int64_t nodes) {
        used_ += nodes;
        if (used_ > limit_) {
            throw NodeLimitReached();
        }
    }

    // How many more may be counted before the limit is passed.
    std::int64_t left() const { return limit_ - used_; }

  private:
    std::int64_t limit_;
    std::int64_t used_ = 0;
};

}  // namespace lang
