#pragma once

#include <cstdint>

// The plug-in's only state. The host calls the plug-in on one thread, one call
// at a time, so plain integers do.
namespace quillon_module {

// Factories added by zeldll_init and not yet taken back by zeldll_unload.
extern std::int32_t factory_count;
// Blocks made by a factory and not yet destroyed; unload waits for 0.
extern std::int32_t live_block_count;

}  // namespace quillon_module
