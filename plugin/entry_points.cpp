// The plug-in's entry points: thin C wrappers over the factory and the
// interface table.
#include "block_factory.h"
#include "interface_table.h"
#include "module_counters.h"
#include "quillon_block.h"
#include "zeldll.h"

using quillon_module::factory_count;
using quillon_module::live_block_count;
namespace result = zeldll_result;

const char* zeldll_identity() {
    return "QUILLON version 2020";
}

std::int32_t zeldll_init(void*, ZELFactoryLib* registry) {
    if (!registry) {
        return result::bad_argument;
    }
    registry->AddFactory(new QUILLON_block_factry());
    ++factory_count;
    return result::success;
}

std::int32_t zeldll_interface(std::int32_t index, const char** name, std::int32_t* major,
                              std::int32_t* minor) {
    if (index < 0 || index >= INTERFACE_COUNT) {
        return result::bad_argument;
    }
    const InterfaceRow& row = interface_table[index];
    if (name) {
        *name = row.name;
    }
    if (major) {
        *major = row.major;
    }
    if (minor) {
        *minor = row.minor;
    }
    return result::success;
}

std::int32_t zeldll_unload(void*, ZELFactoryLib* registry) {
    if (live_block_count > 0) {
        return result::blocks_alive;
    }
    if (!registry) {
        return result::no_factory;
    }
    ZELBlkFactory* factory = registry->Lookup(QUILLON::TYPE_NAME);
    if (!factory) {
        return result::no_factory;
    }
    registry->Remove(factory);
    factory->release();
    --factory_count;
    return factory_count > 0 ? result::factories_remain : result::success;
}

std::int32_t zeldll_version(const char* name, std::int32_t* major, std::int32_t* minor) {
    if (!name || !major || !minor) {
        return result::bad_argument;
    }
    const InterfaceRow* row = find_interface(name);
    if (!row) {
        return result::bad_argument;
    }
    *major = row->major;
    *minor = row->minor;
    return result::success;
}
