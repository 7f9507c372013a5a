#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rt_eqnlist.h"
#include "rt_jacobian.h"
#include "rt_varlist.h"
#include "zel_frame.h"
#include "zel_interfaces.h"

class ZELEOBlock;

// What holds blocks.
class VAXO_API IZELBlockHolder {
  public:
    virtual int block_count() const = 0;

  protected:
    ~IZELBlockHolder() = default;
};

// What has a frame, the record of the solves run on it.
class VAXO_API IZELFrameOwner {
  public:
    virtual ZELFrame* container_frame() = 0;

  protected:
    ~IZELFrameOwner() = default;
};

// A flowsheet: the blocks of one equation system, with the variable list, the
// equation list and the Jacobian that the blocks fill and the solver works on.
//
// Life of the system: add the blocks, build_structure() once (dimensions,
// start numbers, registration, pattern), then evaluate_residuals() and
// evaluate_jacobian() as often as the solver needs, and report_solve() at the
// end. Exceptions from a block pass through to the caller unchanged. Every
// call hands each block a status preset to 0.
class VAXO_API ZELEOCntr : public IZELBlockHolder, public IZELFrameOwner {
  public:
    ZELEOCntr();
    ZELEOCntr(const ZELEOCntr&) = delete;
    ZELEOCntr& operator=(const ZELEOCntr&) = delete;
    // Ends every block through its destroy().
    virtual ~ZELEOCntr();

    // Takes `block` over and attaches it to this container; ignored when null
    // or already held.
    void add_block(ZELEOBlock* block);
    // The block at `index`, counted from 0 in the order added; null when none.
    ZELEOBlock* block(int index) const;
    int block_count() const override;
    ZELFrame* container_frame() override;

    // Asks each block for its dimensions, numbers the blocks one after the
    // other from 1 (the first block starts at variable, equation and nonzero
    // 1; each next one right after the last numbers of the blocks before it),
    // makes new lists sized to the totals, then has each block in turn
    // register (ini) and declare its pattern (pat). Stops at the first block
    // answering a non-zero status and answers it (the lists stay null when
    // that was dim); answers 0 otherwise. A block reporting a negative count
    // throws std::invalid_argument naming the block; totals beyond the range
    // of int throw std::length_error; in both cases the lists stay null.
    std::int64_t build_structure();
    // Runs res / jac on every block in order; answers 0 or the first non-zero
    // status. Throws std::logic_error before build_structure() has made the lists.
    std::int64_t evaluate_residuals();
    std::int64_t evaluate_jacobian();
    // Records the verdict (RT_CONVERGED or RT_NOT_CONVERGED) as the item
    // "STATUS" of the frame's convergence summary and tells every block
    // (post_solve); answers 0 or the first non-zero status of a block.
    std::int64_t report_solve(int verdict);

    // The lists; null until build_structure() has run.
    rtvarlst_t* variables() const { return variables_.get(); }
    rtattrdict_t* equations() const { return equations_.get(); }
    rt_jac_t* jacobian() const { return jacobian_.get(); }

  private:
    struct BlockEnder {
        void operator()(ZELEOBlock* block) const;
    };
    std::vector<std::unique_ptr<ZELEOBlock, BlockEnder>> blocks_;
    std::unique_ptr<rtvarlst_t> variables_;
    std::unique_ptr<rtattrdict_t> equations_;
    std::unique_ptr<rt_jac_t> jacobian_;
    ZELFrame frame_;
};
