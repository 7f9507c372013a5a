#include <stdexcept>

#include "model_definition.h"

void ModelDefinition::load_model(const std::string&) {
    throw std::logic_error("loader being rewritten");
}
