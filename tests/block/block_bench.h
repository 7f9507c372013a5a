#pragma once

// A host's container with QUILLON blocks of the dlopen-ed plug-in in it. A
// padding block goes first, so that the block under test starts at numbers
// other than 1, and at a different number in each of the three lists.

#include <string>

#include "loaded_plugin.h"
#include "model_json.h"
#include "rt_eqnlist.h"
#include "rt_jacobian.h"
#include "rt_varlist.h"
#include "zel_container.h"

// Three variables, two equations, four nonzeros: the next block starts at
// variable 4, equation 3 and nonzero 5.
inline std::string padding_model() {
    using namespace model_json;
    return model_text({equation("P1", sum({reference("a"), reference("b")}),
                                {entry("a", number(1.0)), entry("b", number(1.0))}),
                       equation("P2", sum({reference("c"), number(-1.0)}),
                                {entry("c", number(1.0)), entry("a", number(0.0))})},
                      {variable("a", {1.0, {}, {}}), variable("b"), variable("c")});
}

inline constexpr int FIRST_VARIABLE = 4;
inline constexpr int FIRST_EQUATION = 3;
inline constexpr int FIRST_NONZERO = 5;

class BlockBench {
  public:
    // A bench whose container holds the padding block, unless `padded` is false.
    explicit BlockBench(bool padded = true) {
        if (padded) {
            add("PAD", padding_model());
        }
    }

    // Adds a block made from `model_text` to the container; null when the
    // factory refused it.
    ZELEOBlock* add(const char* name, const std::string& model_text) {
        ZELEOBlock* block = create_from_text(plugin_.factory(), name, model_text);
        container_.add_block(block);
        return block;
    }

    // A block made from `model_text` that no container holds.
    BlockHandle make_loose(const std::string& model_text) {
        return BlockHandle(create_from_text(plugin_.factory(), "LOOSE", model_text));
    }

    LoadedPlugin& plugin() { return plugin_; }
    ZELEOCntr& container() { return container_; }
    rtvarlst_t& variables() { return *container_.variables(); }
    rtattrdict_t& equations() { return *container_.equations(); }
    rt_jac_t& jacobian() { return *container_.jacobian(); }

    // Host number `number`'s element of a host vector.
    double value(int number) { return variables().values()[number - 1]; }
    void set_value(int number, double value) { variables().values()[number - 1] = value; }
    double residual(int number) { return equations().residuals()[number - 1]; }
    double derivative(int nonzero) { return jacobian().values()[nonzero - 1]; }

  private:
    LoadedPlugin plugin_;
    // Declared after the plug-in: the blocks end before the library closes.
    ZELEOCntr container_;
};
