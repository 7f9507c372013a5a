#pragma once

#include "zel_factory.h"

// Makes QUILLON blocks: each loads the model file its creation parameter names.
class QUILLON_block_factry final : public ZELBlkFactory {
  public:
    void release() override;
    // A block with the model file of `parameter` ("model=" and a path, or a
    // path) loaded; with an empty model when `parameter` is null. Null with
    // error_message() set when the block cannot be made or the parameter is
    // no text. Faults of the model file propagate as the JSON library's
    // exceptions; the half-made block is ended first.
    ZELEOBlock* create(const char* name, const value_t* parameter) override;
    const char* type_name() const override;
    // The text of the latest failure of create, or the empty text.
    const char* error_message() const override;
    int capability_flags() const override;

  private:
    const char* error_message_ = "";
};
