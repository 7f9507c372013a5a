#pragma once

#include <cstdint>

// One host interface the plug-in implements, with its version.
struct InterfaceRow {
    const char* name;
    std::int32_t major;
    std::int32_t minor;
};

inline constexpr std::int32_t INTERFACE_COUNT = 5;

// Sorted by the byte values of the names: find_interface halves it.
extern const InterfaceRow interface_table[INTERFACE_COUNT];

// The row named exactly `name` (byte for byte), or null.
const InterfaceRow* find_interface(const char* name);
