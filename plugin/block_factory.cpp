#include "block_factory.h"

#include <memory>
#include <new>

#include "creation_parameter.h"
#include "module_counters.h"
#include "quillon_block.h"

namespace {

constexpr const char* FAILED_TO_CREATE = "Failed to create QUILLON Model Type Adapter";
constexpr const char* UNABLE_TO_LOAD = "Unable to load Json model object";

// Ends a counted block through destroy(), so the count stays right on every
// way out of create that does not hand the block to the host.
struct EndBlock {
    void operator()(QUILLON* block) const { block->destroy(); }
};
using CountedBlock = std::unique_ptr<QUILLON, EndBlock>;

}  // namespace

void QUILLON_block_factry::release() {
    delete this;
}

ZELEOBlock* QUILLON_block_factry::create(const char* name, const value_t* parameter) {
    QUILLON* made = new (std::nothrow) QUILLON(name);
    if (!made) {
        error_message_ = FAILED_TO_CREATE;
        return nullptr;
    }
    ++quillon_module::live_block_count;
    CountedBlock block(made);
    block->attach_model(std::make_unique<ModelDefinition>());
    if (!parameter) {
        return block.release();
    }
    if (parameter->type != VALUE_TEXT || !parameter->text) {
        error_message_ = UNABLE_TO_LOAD;
        return nullptr;
    }
    block->keep_parameter_text(parameter->text);
    block->model().load_model(model_path(parameter->text));
    return block.release();
}

const char* QUILLON_block_factry::type_name() const {
    return QUILLON::TYPE_NAME;
}

const char* QUILLON_block_factry::error_message() const {
    return error_message_;
}

int QUILLON_block_factry::capability_flags() const {
    return 0;
}
