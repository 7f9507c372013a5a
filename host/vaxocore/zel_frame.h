#pragma once

#include <map>
#include <string>

#include "vaxo_export.h"

// The solver's convergence summary: named integer items. "STATUS" holds the
// verdict of the last solve: RT_CONVERGED or RT_NOT_CONVERGED.
struct rt_cvgsum_t {
    std::map<std::string, int> items;
};

inline constexpr int RT_CONVERGED = 1;
inline constexpr int RT_NOT_CONVERGED = 99999999;

// Item `item` of `summary`; 0 when the summary or the item name is null, or
// the summary has no such item. Setting with a null summary or name does nothing.
VAXO_API int rtocvgsum_get_int_item(rt_cvgsum_t* summary, const char* item);
VAXO_API void rtocvgsum_set_int_item(rt_cvgsum_t* summary, const char* item, int value);

// What a container knows of the solve it runs.
class VAXO_API ZELFrame {
  public:
    rt_cvgsum_t* get_convergence_summary() const { return &summary_; }

  private:
    mutable rt_cvgsum_t summary_;
};
