#include "zel_factory.h"

#include <algorithm>
#include <cstring>

ZELBlkFactory::~ZELBlkFactory() = default;

int ZELFactoryLib::AddFactory(ZELBlkFactory* factory) {
    if (factory == nullptr ||
        std::find(factories_.begin(), factories_.end(), factory) != factories_.end()) {
        return 1;
    }
    factories_.push_back(factory);
    return 0;
}

ZELBlkFactory* ZELFactoryLib::Lookup(const char* type_name) const {
    if (type_name == nullptr) {
        return nullptr;
    }
    const auto named = [type_name](const ZELBlkFactory* factory) {
        const char* own_name = factory->type_name();
        return own_name != nullptr && std::strcmp(own_name, type_name) == 0;
    };
    const auto found = std::find_if(factories_.begin(), factories_.end(), named);
    return found == factories_.end() ? nullptr : *found;
}

int ZELFactoryLib::Remove(ZELBlkFactory* factory) {
    const auto found = std::find(factories_.begin(), factories_.end(), factory);
    if (found == factories_.end()) {
        return 1;
    }
    factories_.erase(found);
    return 0;
}
