#include "module_counters.h"

namespace quillon_module {

std::int32_t factory_count = 0;
std::int32_t live_block_count = 0;

}  // namespace quillon_module
