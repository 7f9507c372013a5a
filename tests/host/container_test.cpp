#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "pair_block.h"
#include "zel_container.h"

namespace {

struct BlockFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A block that answers what its script says, to drive the container's paths.
struct Script {
    int variables = 0;
    int equations = 0;
    int nonzeros = 0;
    std::int64_t dim_status = 0;
    std::int64_t ini_status = 0;
    bool fail_in_res = false;
};

class ScriptedBlock : public ZELEOBlockImpl {
  public:
    ScriptedBlock(const char* name, const Script& script) : ZELEOBlockImpl(name), script_(script) {}

  protected:
    void user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) override {
        num_var = script_.variables;
        num_eqn = script_.equations;
        num_nz = script_.nonzeros;
        status = script_.dim_status;
    }
    void user_ini(std::int64_t& status) override { status = script_.ini_status; }
    void user_res(std::int64_t& /*status*/) override {
        if (script_.fail_in_res) {
            throw BlockFault("residual failed");
        }
    }

  private:
    Script script_;
};

TEST(host_container, numbers_blocks_one_after_the_other) {
    ZELEOCntr container;
    auto* first = new PairBlock("A", 2.0, 1.0);
    auto* second = new PairBlock("B", 6.0, 1.0);
    container.add_block(first);
    container.add_block(new ZELEOBlockImpl("EMPTY"));
    container.add_block(second);

    ASSERT_EQ(container.build_structure(), 0);

    EXPECT_EQ((std::vector<int>{first->vstart(), first->estart(), first->nzstart()}),
              (std::vector<int>{1, 1, 1}));
    EXPECT_EQ((std::vector<int>{second->vstart(), second->estart(), second->nzstart()}),
              (std::vector<int>{3, 3, 5}));
    EXPECT_EQ(container.variables()->size(), 4);
    EXPECT_EQ(container.equations()->size(), 4);
    EXPECT_EQ(container.jacobian()->size(), 8);
    EXPECT_EQ(container.variables()->find(3)->name, "B.X");
    EXPECT_EQ(container.equations()->find(3)->name, "B.E1");
    EXPECT_EQ(container.equations()->find(3)->owner, static_cast<ZELEOBlock*>(second));
    EXPECT_EQ(container.jacobian()->find(8)->equation, 4);
    EXPECT_EQ(container.jacobian()->find(8)->variable, 4);
    EXPECT_TRUE(container.jacobian()->incomplete_nonzeros().empty());
    EXPECT_TRUE(container.variables()->diagnostics().empty());
    EXPECT_TRUE(container.equations()->diagnostics().empty());
}

TEST(host_container, takes_each_block_once) {
    ZELEOCntr container;
    auto* block = new ZELEOBlockImpl("ONLY");
    container.add_block(block);
    container.add_block(block);
    container.add_block(nullptr);
    EXPECT_EQ(container.block_count(), 1);
    EXPECT_EQ(container.block(0), block);
    EXPECT_EQ(container.block(1), nullptr);
    EXPECT_EQ(container.block(-1), nullptr);
    EXPECT_EQ(block->inq_container(nullptr), &container);
}

TEST(host_container, refuses_negative_counts) {
    const std::vector<Script> scripts = {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (const Script& script : scripts) {
        ZELEOCntr container;
        container.add_block(new ScriptedBlock("BAD", script));
        try {
            container.build_structure();
            ADD_FAILURE() << "a negative count was accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find("'BAD'"), std::string::npos);
        }
        EXPECT_EQ(container.variables(), nullptr);
    }
}

struct FailureCase {
    const char* label;
    Script script;
    std::int64_t expected;
    bool lists_made;
};

TEST(host_container, stops_at_the_first_block_that_fails) {
    const std::vector<FailureCase> cases = {
        {"dim", {1, 1, 0, 3, 0, false}, 3, false},
        {"ini", {1, 1, 0, 0, 5, false}, 5, true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        ZELEOCntr container;
        container.add_block(new ScriptedBlock("FAILING", c.script));
        auto* later = new PairBlock("LATER", 1.0, 0.0);
        container.add_block(later);
        EXPECT_EQ(container.build_structure(), c.expected);
        EXPECT_EQ(container.variables() != nullptr, c.lists_made);
        EXPECT_EQ(later->vstart(), 0);
    }
}

TEST(host_container, block_exceptions_pass_through_unchanged) {
    ZELEOCntr container;
    Script script;
    script.fail_in_res = true;
    container.add_block(new ScriptedBlock("THROWS", script));
    ASSERT_EQ(container.build_structure(), 0);
    EXPECT_THROW(container.evaluate_residuals(), BlockFault);
}

TEST(host_container, evaluating_before_building_is_refused) {
    ZELEOCntr container;
    EXPECT_THROW(container.evaluate_residuals(), std::logic_error);
    EXPECT_THROW(container.evaluate_jacobian(), std::logic_error);
}

TEST(host_container, report_solve_reaches_every_block) {
    for (const int verdict : {RT_CONVERGED, RT_NOT_CONVERGED}) {
        ZELEOCntr container;
        auto* first = new PairBlock("A", 2.0, 1.0);
        auto* second = new PairBlock("B", 2.0, 1.0);
        container.add_block(first);
        container.add_block(second);
        ASSERT_EQ(container.build_structure(), 0);

        EXPECT_EQ(container.report_solve(verdict), 0);

        rt_cvgsum_t* summary = container.container_frame()->get_convergence_summary();
        EXPECT_EQ(rtocvgsum_get_int_item(summary, "STATUS"), verdict);
        for (const PairBlock* block : {first, second}) {
            EXPECT_TRUE(block->solve_flag());
            EXPECT_EQ(block->reported_status(), verdict);
        }
    }
}

TEST(host_container, ends_its_blocks_through_destroy) {
    int live = 0;
    {
        ZELEOCntr container;
        container.add_block(new PairBlock("A", live));
        container.add_block(new PairBlock("B", live));
        EXPECT_EQ(live, 2);
    }
    EXPECT_EQ(live, 0);
}

TEST(host_container, block_outside_a_container_sees_no_matrix) {
    auto* block = new PairBlock("ALONE", 2.0, 1.0);
    std::int64_t status = 0;
    block->ini(1, 1, 1, status);
    EXPECT_EQ(status, 1);
    status = 0;
    block->post_solve(status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(block->solve_flag());
    EXPECT_EQ(block->inq_container(nullptr), nullptr);
    block->destroy();
}

}  // namespace
