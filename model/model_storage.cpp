#include "model_storage.h"

std::string_view ModelStorage::keep_text(std::string_view text) {
    return {texts_.keep(text.data(), text.size()), text.size()};
}

Span<const ExprNode> ModelStorage::keep_nodes(const ExprNode* first, std::size_t count) {
    return {nodes_.keep(first, count), count};
}

Span<const ExprNode> ModelStorage::keep_nodes(std::initializer_list<ExprNode> nodes) {
    return keep_nodes(nodes.begin(), nodes.size());
}

Span<VariableDef> ModelStorage::keep_entries(const VariableDef* first, std::size_t count) {
    return {entries_.keep(first, count), count};
}

const EquationFields* ModelStorage::keep_fields(const EquationFields& fields) {
    return fields_.keep(&fields, 1);
}

void ModelStorage::take_over(ModelStorage& other) {
    texts_.reserve_for(other.texts_);
    nodes_.reserve_for(other.nodes_);
    entries_.reserve_for(other.entries_);
    fields_.reserve_for(other.fields_);
    texts_.take_over(other.texts_);
    nodes_.take_over(other.nodes_);
    entries_.take_over(other.entries_);
    fields_.take_over(other.fields_);
}
