#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "expr_node.h"
#include "record_arena.h"
#include "record_span.h"
#include "variable_def.h"

// Owns every text, node, entry and equation field of one model. Records are
// kept as copies in blocks that never move; views and pointers into them stay
// valid until the storage goes.
class ModelStorage {
  public:
    ModelStorage() = default;
    ModelStorage(const ModelStorage&) = delete;
    ModelStorage& operator=(const ModelStorage&) = delete;

    std::string_view keep_text(std::string_view text);
    // Consecutive copies of nodes: the children of one node.
    Span<const ExprNode> keep_nodes(const ExprNode* first, std::size_t count);
    Span<const ExprNode> keep_nodes(std::initializer_list<ExprNode> nodes);
    // Consecutive copies of entries: the entries of one equation.
    Span<VariableDef> keep_entries(const VariableDef* first, std::size_t count);
    const EquationFields* keep_fields(const EquationFields& fields);

    // Takes over everything `other` keeps, which is left empty: views and
    // pointers into it stay valid, now owned here. On a failure to allocate,
    // both stay as they were.
    void take_over(ModelStorage& other);

    // The nodes kept so far: every node of the model's trees but the
    // equations' roots, which the model holds itself.
    std::size_t node_count() const { return nodes_.kept(); }

  private:
    RecordArena<char> texts_;
    RecordArena<ExprNode> nodes_;
    RecordArena<VariableDef> entries_;
    RecordArena<EquationFields> fields_;
};
