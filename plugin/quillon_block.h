#pragma once

#include <cstdint>
#include <memory>

#include "block_symbols.h"
#include "compiled_model.h"
#include "creation_parameter.h"
#include "host_matrix.h"
#include "model_definition.h"
#include "zel_eo_block_impl.h"

// The QUILLON block: a "Model Type Adapter" whose equations come from a JSON
// model file. It answers the host's equation-oriented calls from its model;
// the work is done in block/, these operations only guard and delegate.
class QUILLON final : public ZELEOBlockImpl {
  public:
    static constexpr const char* TYPE_NAME = "QUILLON";

    explicit QUILLON(const char* name);
    ~QUILLON() override;

    // Creation, by the factory.
    void attach_model(std::unique_ptr<ModelDefinition> model);
    ModelDefinition& model() { return *model_; }
    void keep_parameter_text(const char* text);
    const char* parameter_text() const { return parameter_text_; }

    // Uncounts the block, then deletes it.
    void destroy() override;
    bool isof_type(const char* type_name) const override;
    int method_count() const override;
    int persist_type(char* buffer, std::size_t size) const override;
    int persist_save() override;
    int persist_load() override;
    // The block's verdict on the last solve: "STATUS_TEXT" ("Converged",
    // "Not converged", or VALUE_NONE before any verdict) and "SOLVE_FLAG"
    // (integer 0 or 1). From registration on, also the symbols as the file
    // writes them, by 1-based index within the block: "VARIABLE_SYMBOL n" of
    // the n-th model variable, "ENTRY_SYMBOL n" of the n-th equation entry
    // (nonzero); their text is the block's own, valid while the block lives
    // and is not registered again. Other names are the base's.
    bool attr_lookup(const char* name, value_t& out) const override;
    // Names STATUS_TEXT and SOLVE_FLAG only: the symbols are a family of one
    // attribute per record, not names a listing could hold.
    const char* attr_describe(int index) const override;

  protected:
    void user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) override;
    void user_ini(std::int64_t& status) override;
    void user_pat(rt_jac_t* jac, std::int64_t& status) override;
    void user_solve_flag() override;
    void user_solve_status(std::int64_t& status) override;
    void user_res(std::int64_t& status) override;
    void user_jac(int n, std::int64_t& status) override;
    void user_jac(std::int64_t& status) override;

  private:
    HostMatrix host_matrix() const;
    BlockNumbering numbering() const;
    // The compiled trees, compiled again if var_last changed since.
    CompiledModel& compiled();

    bool solve_flag_ = false;
    const char* status_text_ = nullptr;
    std::unique_ptr<ModelDefinition> model_;
    char parameter_text_[PARAMETER_TEXT_SIZE] = {};
    // Made by a successful registration: the numbers the numerical operations
    // index the host's vectors with exist only from then on.
    std::unique_ptr<CompiledModel> compiled_;
    // Made by a successful registration too; points into model_.
    std::unique_ptr<BlockSymbols> symbols_;
};
