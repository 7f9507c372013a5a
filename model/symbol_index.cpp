#include "symbol_index.h"

#include <cstring>
#include <functional>

namespace {

std::size_t hash_of(std::string_view symbol) {
    return std::hash<std::string_view>{}(symbol);
}

// The places for `count` symbols at most half full, at least 16.
std::size_t capacity_for(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity / 2 < count) {
        capacity *= 2;
    }
    return capacity;
}

}  // namespace

std::size_t SymbolIndex::place_of(std::string_view symbol, std::size_t hash) const {
    const std::size_t mask = places_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Place& place = places_[at];
        if (place.position == 0) {
            return at;
        }
        if (place.hash == tag && place.size == symbol.size() &&
            (symbol.empty() || std::memcmp(place.data, symbol.data(), symbol.size()) == 0)) {
            return at;
        }
    }
}

std::size_t SymbolIndex::find(std::string_view symbol) const {
    if (count_ == 0) {
        return none;
    }
    const Place& place = places_[place_of(symbol, hash_of(symbol))];
    return place.position == 0 ? none : place.position - 1;
}

void SymbolIndex::insert_first(std::string_view symbol, std::size_t position) {
    if (places_.size() / 2 < count_ + 1) {
        grow_to(capacity_for(count_ + 1));
    }
    const std::size_t hash = hash_of(symbol);
    Place& place = places_[place_of(symbol, hash)];
    if (place.position != 0) {
        return;
    }
    place = {symbol.data(), symbol.size(), static_cast<std::uint32_t>(hash),
             static_cast<std::uint32_t>(position + 1)};
    ++count_;
}

void SymbolIndex::reserve(std::size_t count) {
    const std::size_t capacity = capacity_for(count);
    if (capacity > places_.size()) {
        grow_to(capacity);
    }
}

void SymbolIndex::grow_to(std::size_t capacity) {
    SymbolIndex grown;
    grown.places_.resize(capacity);
    for (const Place& place : places_) {
        if (place.position != 0) {
            const std::string_view symbol(place.data, place.size);
            grown.places_[grown.place_of(symbol, hash_of(symbol))] = place;
        }
    }
    places_.swap(grown.places_);
}
