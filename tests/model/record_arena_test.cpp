// The model's storage keeps every run of records intact and in place while
// its blocks grow into huge-page blocks and large runs get blocks of their own.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "huge_pages.h"
#include "record_arena.h"

namespace {

struct KeptRun {
    std::size_t count;
    const char* why;
};

// Sizes either side of where a run stops fitting the current block, gets a
// block of its own, and reaches a huge page.
constexpr std::size_t PAGE_RECORDS = huge_pages::HUGE_PAGE / sizeof(std::uint64_t);
const KeptRun RUNS[] = {
    {1, "one record"},
    {7, "fills the first block but one"},
    {9, "does not fit the first block"},
    {1000, "a new doubled block"},
    {PAGE_RECORDS / 4 + 1, "a block of its own"},
    {PAGE_RECORDS - 1, "just under a huge page"},
    {PAGE_RECORDS + 1, "just over a huge page"},
    {3, "small again after a large one"},
};

TEST(RecordArena, KeepsEveryRunIntactWhileBlocksGrow) {
    RecordArena<std::uint64_t> arena;
    std::vector<std::pair<const std::uint64_t*, std::vector<std::uint64_t>>> kept;
    std::uint64_t next = 1;
    for (int round = 0; round < 3; ++round) {
        for (const KeptRun& run : RUNS) {
            std::vector<std::uint64_t> records(run.count);
            for (auto& record : records) {
                record = next++;
            }
            const std::uint64_t* place = arena.keep(records.data(), records.size());
            kept.emplace_back(place, std::move(records));
        }
    }
    // Checked only at the end: no later block may have moved or overwritten
    // an earlier run.
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const auto& [place, records] = kept[i];
        ASSERT_EQ(std::vector<std::uint64_t>(place, place + records.size()), records)
            << RUNS[i % std::size(RUNS)].why;
    }
}

TEST(RecordArena, KeepsNothingForAnEmptyRun) {
    RecordArena<char> arena;
    const char text[] = "x";
    EXPECT_EQ(arena.keep(text, 0), nullptr);
}

TEST(HugePageAllocator, VectorsGrowingPastAHugePageKeepTheirElements) {
    std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>> values;
    const std::size_t count = 3 * huge_pages::HUGE_PAGE / sizeof(std::uint32_t) + 5;
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back(static_cast<std::uint32_t>(i * 2654435761u));
    }
    for (std::size_t i = 0; i < count; i += 4099) {
        ASSERT_EQ(values[i], static_cast<std::uint32_t>(i * 2654435761u));
    }
    // Large blocks are aligned to a huge page, so the system can back them
    // with huge pages from their first byte.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(values.data()) % huge_pages::HUGE_PAGE, 0u);
}

}  // namespace
