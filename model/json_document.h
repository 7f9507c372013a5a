#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A read-only JSON document built from the JSON library's parse events into
// compact, flat storage: every value is one slot, the elements of an array or
// object are consecutive slots, and all texts share one buffer. Parsing
// raises the library's own exceptions with its own positions and texts, as
// its document parser would. Unlike the library's document, this one holds
// no pointers between values: freeing it never recurses and never allocates,
// and it takes a fraction of the memory.
class JsonDocument {
  public:
    enum class Kind : std::uint8_t {
        null,
        boolean,
        integer,
        unsigned_integer,
        floating,
        string,
        array,
        object
    };

    // One value of the document; cheap to copy, valid while the document lives.
    class Value {
      public:
        Kind kind() const;
        // The library's name of the kind: "null", "boolean", "number",
        // "string", "array" or "object".
        const char* type_name() const;
        bool is_null() const { return kind() == Kind::null; }
        bool is_number() const;

        bool boolean() const;
        std::int64_t integer() const;
        std::uint64_t unsigned_integer() const;
        double floating() const;
        std::string_view string() const;

        // Elements of an array, or member values of an object in increasing
        // byte order of their keys (of repeated keys, the last one's value).
        std::size_t size() const;
        Value element(std::size_t index) const;
        // The member `key` of an object, or a value whose kind is null.
        Value find(std::string_view key) const;

      private:
        friend class JsonDocument;
        Value(const JsonDocument* document, std::size_t slot) : document_(document), slot_(slot) {}

        const JsonDocument* document_;
        std::size_t slot_;
    };

    // Parses `text` strictly: exactly one JSON value and nothing after it but
    // white space.
    static JsonDocument parse(std::string_view text);

    Value root() const { return Value(this, root_); }
    // A null value that stands for every absent member.
    Value null() const { return Value(this, null_slot_); }

  private:
    struct Slot {
        std::uint64_t payload;     // the number's bits, the text's offset, or the first element
        std::uint64_t key_offset;  // for an object member, its key in `texts_`
        std::uint32_t size;        // the text's length or the number of elements
        std::uint32_t key_size;
        Kind kind;
    };
    class Builder;

    std::vector<Slot> slots_;
    std::string texts_;
    std::size_t root_ = 0;
    std::size_t null_slot_ = 0;
};
