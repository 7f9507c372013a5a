#include "interface_table.h"

#include <cstring>

const InterfaceRow interface_table[INTERFACE_COUNT] = {
    {"ZELBLKFACTORY", 11, 1}, {"ZELBLKSUPPORT", 11, 0}, {"ZELBLOCK", 11, 0},
    {"ZELDLL", 11, 0},        {"ZELPIPE", 3, 0},
};

const InterfaceRow* find_interface(const char* name) {
    std::int32_t low = 0;
    std::int32_t high = INTERFACE_COUNT - 1;
    while (low <= high) {
        const std::int32_t middle = (low + high) / 2;
        // strcmp compares as unsigned characters.
        const int order = std::strcmp(name, interface_table[middle].name);
        if (order < 0) {
            high = middle - 1;
        } else if (order > 0) {
            low = middle + 1;
        } else {
            return &interface_table[middle];
        }
    }
    return nullptr;
}
