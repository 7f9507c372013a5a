#pragma once

// The five entry points every block plug-in exports under plain C names. The
// host finds them with dlsym; the pointer types below are for that.

#include <cstdint>

class ZELFactoryLib;

#define ZELDLL_EXPORT extern "C" __attribute__((visibility("default")))

// What the entry points answer.
namespace zeldll_result {
constexpr std::int32_t success = 0;
// A null or bad argument, or a name not found.
constexpr std::int32_t bad_argument = 1;
// zeldll_unload took a factory out, and others of this library remain.
constexpr std::int32_t factories_remain = 1;
// zeldll_unload refused: a block of this library is still alive.
constexpr std::int32_t blocks_alive = -1;
// zeldll_unload found no registry, or no factory of this library in it.
constexpr std::int32_t no_factory = -2;
}  // namespace zeldll_result

// The identity text, "QUILLON version 2020".
ZELDLL_EXPORT const char* zeldll_identity();
// Adds a QUILLON factory to `registry`: 0, or 1 when `registry` is null.
ZELDLL_EXPORT std::int32_t zeldll_init(void* unused, ZELFactoryLib* registry);
// Row `index` (0..4) of the interface table through the non-null outputs: 0,
// or 1 for an index out of range (nothing written).
ZELDLL_EXPORT std::int32_t zeldll_interface(std::int32_t index, const char** name,
                                            std::int32_t* major, std::int32_t* minor);
// Takes one QUILLON factory out of `registry` and deletes it: -1 while any
// block lives; -2 without a registry or a QUILLON factory in it; otherwise 1
// while factories of this library remain registered, else 0.
ZELDLL_EXPORT std::int32_t zeldll_unload(void* unused, ZELFactoryLib* registry);
// The versions of interface `name`: 0, or 1 for a null argument or an unknown name.
ZELDLL_EXPORT std::int32_t zeldll_version(const char* name, std::int32_t* major,
                                          std::int32_t* minor);

using zeldll_identity_fn = const char* (*)();
using zeldll_init_fn = std::int32_t (*)(void*, ZELFactoryLib*);
using zeldll_interface_fn = std::int32_t (*)(std::int32_t, const char**, std::int32_t*,
                                             std::int32_t*);
using zeldll_unload_fn = std::int32_t (*)(void*, ZELFactoryLib*);
using zeldll_version_fn = std::int32_t (*)(const char*, std::int32_t*, std::int32_t*);
