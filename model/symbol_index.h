#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Positions by symbol, for the lookups that make up much of a registration:
// every variable reference of every tree is found here once. An open table of
// 24-byte places that hold the symbol's bytes' address with its hash, so a
// lookup reads one place and, when the hash agrees, the symbol itself: a
// node-based map reads its bucket, a node and the symbol.
class SymbolIndex {
  public:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // The position stored for `symbol`, byte for byte; `none` when there is none.
    std::size_t find(std::string_view symbol) const;
    // Stores `position` (below 2^32 - 1) for `symbol` unless the symbol has a
    // position already: the first stays. The bytes `symbol` views must outlive
    // the index. On a failure to allocate, the index stays as it was.
    void insert_first(std::string_view symbol, std::size_t position);
    // Room for `count` symbols without growing again.
    void reserve(std::size_t count);

  private:
    struct Place {
        const char* data = nullptr;
        std::size_t size = 0;
        std::uint32_t hash = 0;      // the low half of the symbol's hash
        std::uint32_t position = 0;  // the stored position + 1; 0: an empty place
    };

    // The place of `symbol`: the one holding it, or the empty one where it
    // would go. `places_` must not be empty.
    std::size_t place_of(std::string_view symbol, std::size_t hash) const;
    void grow_to(std::size_t capacity);

    std::vector<Place> places_;  // a power of two in size, at most half full
    std::size_t count_ = 0;
};
