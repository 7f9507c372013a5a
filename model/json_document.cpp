#include "json_document.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include <nlohmann/json.hpp>

namespace {

using Kind = JsonDocument::Kind;

template <typename Number>
std::uint64_t bits_of(Number number) {
    static_assert(sizeof(Number) == sizeof(std::uint64_t));
    std::uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

template <typename Number>
Number number_of(std::uint64_t bits) {
    Number number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

std::uint32_t checked_size(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("JSON value too large");
    }
    return static_cast<std::uint32_t>(size);
}

}  // namespace

// Receives the parser's events. Finished values wait in `pending_` until
// their container closes; then they move, in order, to the document's slots,
// so the elements of every container end up consecutive.
class JsonDocument::Builder {
  public:
    explicit Builder(JsonDocument& document) : document_(document) {}

    bool null() { return add(Kind::null, 0, 0); }
    bool boolean(bool value) { return add(Kind::boolean, value ? 1 : 0, 0); }
    bool number_integer(std::int64_t value) { return add(Kind::integer, bits_of(value), 0); }
    bool number_unsigned(std::uint64_t value) { return add(Kind::unsigned_integer, value, 0); }
    bool number_float(double value, const std::string&) {
        return add(Kind::floating, bits_of(value), 0);
    }
    bool string(std::string& value) {
        const std::uint64_t offset = document_.texts_.size();
        document_.texts_ += value;
        return add(Kind::string, offset, checked_size(value.size()));
    }
    bool binary(nlohmann::json::binary_t&) { return add(Kind::null, 0, 0); }
    bool start_object(std::size_t) { return open(Kind::object); }
    bool start_array(std::size_t) { return open(Kind::array); }
    bool key(std::string& name) {
        key_ = intern(name);
        key_size_ = checked_size(name.size());
        return true;
    }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    // The library's own exception, exactly as its document parser raises it.
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

    void finish() {
        document_.root_ = place(pending_.begin(), pending_.end());
        Slot null{};
        null.kind = Kind::null;
        document_.null_slot_ = document_.slots_.size();
        document_.slots_.push_back(null);
    }

  private:
    struct Open {
        std::size_t first_pending;
        std::uint64_t key;  // the container's own key in its parent object
        std::uint32_t key_size;
        Kind kind;
    };

    bool add(Kind kind, std::uint64_t payload, std::uint32_t size) {
        pending_.push_back(Slot{payload, key_, size, key_size_, kind});
        key_ = 0;
        key_size_ = 0;
        return true;
    }

    bool open(Kind kind) {
        open_.push_back(Open{pending_.size(), key_, key_size_, kind});
        key_ = 0;
        key_size_ = 0;
        return true;
    }

    bool close() {
        const Open container = open_.back();
        open_.pop_back();
        auto first = pending_.begin() + static_cast<std::ptrdiff_t>(container.first_pending);
        auto last = pending_.end();
        if (container.kind == Kind::object) {
            last = keep_last_of_each_key(first, last);
        }
        const std::size_t count = static_cast<std::size_t>(last - first);
        const std::size_t first_slot = document_.slots_.size();
        document_.slots_.insert(document_.slots_.end(), first, last);
        pending_.resize(container.first_pending);
        pending_.push_back(Slot{first_slot, container.key, checked_size(count), container.key_size,
                                container.kind});
        return true;
    }

    // Sorts an object's members by key, as the library's document keeps them,
    // and drops all but the last of repeated keys, whose value it keeps.
    std::vector<Slot>::iterator keep_last_of_each_key(std::vector<Slot>::iterator first,
                                                      std::vector<Slot>::iterator last) {
        const auto key_of = [this](const Slot& slot) {
            return std::string_view(document_.texts_).substr(slot.key_offset, slot.key_size);
        };
        std::stable_sort(first, last,
                         [&](const Slot& a, const Slot& b) { return key_of(a) < key_of(b); });
        auto kept = first;
        for (auto member = first; member != last; ++member) {
            const bool repeated =
                std::next(member) != last && key_of(*std::next(member)) == key_of(*member);
            if (!repeated) {
                *kept++ = *member;
            }
        }
        return kept;
    }

    std::size_t place(std::vector<Slot>::iterator first, std::vector<Slot>::iterator last) {
        const std::size_t slot = document_.slots_.size();
        document_.slots_.insert(document_.slots_.end(), first, last);
        return slot;
    }

    // Keys repeat throughout a model file; each distinct key is stored once.
    std::uint64_t intern(const std::string& name) {
        const auto found = keys_.find(name);
        if (found != keys_.end()) {
            return found->second;
        }
        const std::uint64_t offset = document_.texts_.size();
        document_.texts_ += name;
        keys_.emplace(name, offset);
        return offset;
    }

    JsonDocument& document_;
    std::vector<Slot> pending_;
    std::vector<Open> open_;
    std::unordered_map<std::string, std::uint64_t> keys_;
    std::uint64_t key_ = 0;
    std::uint32_t key_size_ = 0;
};

JsonDocument JsonDocument::parse(std::string_view text) {
    JsonDocument document;
    Builder builder(document);
    nlohmann::json::sax_parse(text, &builder, nlohmann::json::input_format_t::json, true);
    builder.finish();
    document.slots_.shrink_to_fit();
    return document;
}

JsonDocument::Kind JsonDocument::Value::kind() const {
    return document_->slots_[slot_].kind;
}

const char* JsonDocument::Value::type_name() const {
    switch (kind()) {
        case Kind::null:
            return "null";
        case Kind::boolean:
            return "boolean";
        case Kind::string:
            return "string";
        case Kind::array:
            return "array";
        case Kind::object:
            return "object";
        default:
            return "number";
    }
}

bool JsonDocument::Value::is_number() const {
    const Kind value_kind = kind();
    return value_kind == Kind::integer || value_kind == Kind::unsigned_integer ||
           value_kind == Kind::floating;
}

bool JsonDocument::Value::boolean() const {
    return document_->slots_[slot_].payload != 0;
}

std::int64_t JsonDocument::Value::integer() const {
    return number_of<std::int64_t>(document_->slots_[slot_].payload);
}

std::uint64_t JsonDocument::Value::unsigned_integer() const {
    return document_->slots_[slot_].payload;
}

double JsonDocument::Value::floating() const {
    return number_of<double>(document_->slots_[slot_].payload);
}

std::string_view JsonDocument::Value::string() const {
    const Slot& slot = document_->slots_[slot_];
    return std::string_view(document_->texts_).substr(slot.payload, slot.size);
}

std::size_t JsonDocument::Value::size() const {
    const Slot& slot = document_->slots_[slot_];
    return slot.kind == Kind::array || slot.kind == Kind::object ? slot.size : 0;
}

JsonDocument::Value JsonDocument::Value::element(std::size_t index) const {
    return Value(document_, document_->slots_[slot_].payload + index);
}

JsonDocument::Value JsonDocument::Value::find(std::string_view key) const {
    if (kind() != Kind::object) {
        return document_->null();
    }
    const Slot& object = document_->slots_[slot_];
    const std::string_view texts(document_->texts_);
    const auto first = document_->slots_.begin() + static_cast<std::ptrdiff_t>(object.payload);
    const auto last = first + object.size;
    const auto found =
        std::lower_bound(first, last, key, [&](const Slot& member, std::string_view wanted) {
            return texts.substr(member.key_offset, member.key_size) < wanted;
        });
    if (found == last || texts.substr(found->key_offset, found->key_size) != key) {
        return document_->null();
    }
    return Value(document_, static_cast<std::size_t>(found - document_->slots_.begin()));
}
