#include "controls/core/OptionGroup.h"

#include <algorithm>

namespace px::controls {

std::string OptionEntryName(int index) { return kOptObjPrefix + std::to_string(index); }

std::vector<intptr_t> RegisteredOptions(const PropertyStore& container) {
    std::vector<intptr_t> ids;
    intptr_t count = container.Get(kOptCountProp);
    for (intptr_t i = 1; i <= count; ++i) ids.push_back(container.Get(OptionEntryName(static_cast<int>(i))));
    return ids;
}

void RegisterOption(PropertyStore& container, intptr_t id) {
    if (id == 0) return;
    std::vector<intptr_t> ids = RegisteredOptions(container);
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) return;
    int index = static_cast<int>(ids.size()) + 1;
    container.Put(OptionEntryName(index), id);
    container.Put(kOptCountProp, index);
}

void UnregisterOption(PropertyStore& container, intptr_t id) {
    std::vector<intptr_t> ids = RegisteredOptions(container);
    auto it = std::find(ids.begin(), ids.end(), id);
    if (it == ids.end()) return;
    ids.erase(it);
    for (size_t i = 0; i < ids.size(); ++i) container.Put(OptionEntryName(static_cast<int>(i) + 1), ids[i]);
    container.Remove(OptionEntryName(static_cast<int>(ids.size()) + 1));
    if (ids.empty())
        container.Remove(kOptCountProp);
    else
        container.Put(kOptCountProp, static_cast<intptr_t>(ids.size()));
}

}  // namespace px::controls
