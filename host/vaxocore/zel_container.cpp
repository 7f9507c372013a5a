#include "zel_container.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "zel_block.h"

namespace {

struct Counts {
    int variables = 0;
    int equations = 0;
    int nonzeros = 0;
};

// The first numbers of each block and the system's totals: each block's
// numbers start right after the totals of the blocks before it.
struct Layout {
    std::vector<Counts> starts;
    Counts totals;
};

std::string quoted_name(const ZELEOBlock& block) {
    const char* name = block.name();
    return "'" + std::string(name == nullptr ? "" : name) + "'";
}

void check_not_negative(const ZELEOBlock& block, const Counts& counts) {
    if (counts.variables < 0 || counts.equations < 0 || counts.nonzeros < 0) {
        throw std::invalid_argument("block " + quoted_name(block) + " reports a negative count: " +
                                    std::to_string(counts.variables) + " variables, " +
                                    std::to_string(counts.equations) + " equations, " +
                                    std::to_string(counts.nonzeros) + " nonzeros");
    }
}

// `total` + `count`, kept below the largest int so the next start still fits.
int grown(int total, int count) {
    const long long sum = static_cast<long long>(total) + count;
    if (sum >= std::numeric_limits<int>::max()) {
        throw std::length_error("the equation system outgrows the host's numbering");
    }
    return static_cast<int>(sum);
}

Counts next_starts(const Counts& totals) {
    return {totals.variables + 1, totals.equations + 1, totals.nonzeros + 1};
}

// Asks every block its dimensions; answers the first non-zero status of dim.
std::int64_t lay_out(const ZELEOCntr& container, Layout& layout) {
    for (int index = 0; index < container.block_count(); ++index) {
        ZELEOBlock& block = *container.block(index);
        Counts counts;
        std::int64_t status = 0;
        block.dim(counts.variables, counts.equations, counts.nonzeros, status);
        if (status != 0) {
            return status;
        }
        check_not_negative(block, counts);
        layout.starts.push_back(next_starts(layout.totals));
        layout.totals = {grown(layout.totals.variables, counts.variables),
                         grown(layout.totals.equations, counts.equations),
                         grown(layout.totals.nonzeros, counts.nonzeros)};
    }
    return 0;
}

// Has each block register and declare its pattern; stops at a non-zero status.
std::int64_t register_blocks(const ZELEOCntr& container, const std::vector<Counts>& starts) {
    for (int index = 0; index < container.block_count(); ++index) {
        ZELEOBlock& block = *container.block(index);
        const Counts& first = starts[static_cast<std::size_t>(index)];
        std::int64_t status = 0;
        block.ini(first.variables, first.equations, first.nonzeros, status);
        if (status == 0) {
            block.pat(container.jacobian(), status);
        }
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

// Calls `operation` on every block with a fresh status; answers the first
// non-zero one.
template <typename Operation>
std::int64_t on_every_block(const ZELEOCntr& container, Operation operation) {
    std::int64_t first_failure = 0;
    for (int index = 0; index < container.block_count(); ++index) {
        std::int64_t status = 0;
        operation(*container.block(index), status);
        if (first_failure == 0) {
            first_failure = status;
        }
    }
    return first_failure;
}

void require_lists(const ZELEOCntr& container, const char* call) {
    if (container.variables() == nullptr) {
        throw std::logic_error(std::string(call) + " called before build_structure()");
    }
}

}  // namespace

void ZELEOCntr::BlockEnder::operator()(ZELEOBlock* block) const {
    block->destroy();
}

ZELEOCntr::ZELEOCntr() = default;

// Blocks end before the lists they may still point into.
ZELEOCntr::~ZELEOCntr() {
    blocks_.clear();
}

void ZELEOCntr::add_block(ZELEOBlock* block) {
    const auto held = [block](const auto& owned) { return owned.get() == block; };
    if (block == nullptr || std::any_of(blocks_.begin(), blocks_.end(), held)) {
        return;
    }
    // Owned before the vector grows, so a failed growth still ends the block.
    std::unique_ptr<ZELEOBlock, BlockEnder> owned(block);
    blocks_.push_back(std::move(owned));
    block->attach_container(this);
}

ZELEOBlock* ZELEOCntr::block(int index) const {
    if (index < 0 || index >= block_count()) {
        return nullptr;
    }
    return blocks_[static_cast<std::size_t>(index)].get();
}

int ZELEOCntr::block_count() const {
    return static_cast<int>(blocks_.size());
}

ZELFrame* ZELEOCntr::container_frame() {
    return &frame_;
}

std::int64_t ZELEOCntr::build_structure() {
    variables_.reset();
    equations_.reset();
    jacobian_.reset();
    Layout layout;
    const std::int64_t status = lay_out(*this, layout);
    if (status != 0) {
        return status;
    }
    const Counts& totals = layout.totals;
    variables_ = std::make_unique<rtvarlst_t>(totals.variables);
    equations_ = std::make_unique<rtattrdict_t>(totals.equations);
    jacobian_ = std::make_unique<rt_jac_t>(totals.nonzeros, totals.equations, totals.variables);
    return register_blocks(*this, layout.starts);
}

std::int64_t ZELEOCntr::evaluate_residuals() {
    require_lists(*this, "evaluate_residuals");
    return on_every_block(*this,
                          [](ZELEOBlock& block, std::int64_t& status) { block.res(status); });
}

std::int64_t ZELEOCntr::evaluate_jacobian() {
    require_lists(*this, "evaluate_jacobian");
    return on_every_block(*this,
                          [](ZELEOBlock& block, std::int64_t& status) { block.jac(status); });
}

std::int64_t ZELEOCntr::report_solve(int verdict) {
    rtocvgsum_set_int_item(frame_.get_convergence_summary(), "STATUS", verdict);
    return on_every_block(
        *this, [](ZELEOBlock& block, std::int64_t& status) { block.post_solve(status); });
}
