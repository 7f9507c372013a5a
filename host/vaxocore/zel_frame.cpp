#include "zel_frame.h"

int rtocvgsum_get_int_item(rt_cvgsum_t* summary, const char* item) {
    if (summary == nullptr || item == nullptr) {
        return 0;
    }
    const auto found = summary->items.find(item);
    return found == summary->items.end() ? 0 : found->second;
}

void rtocvgsum_set_int_item(rt_cvgsum_t* summary, const char* item, int value) {
    if (summary != nullptr && item != nullptr) {
        summary->items[item] = value;
    }
}
