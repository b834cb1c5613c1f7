#pragma once
// Option buttons of one container know each other through named properties
// of the container: "ux_OptCount" holds how many are registered and
// "ux_Obj1".."ux_ObjN" the identity of each. The store is the container's
// window properties in the program and a plain map in tests.
#include <cstdint>
#include <string>
#include <vector>

namespace px::controls {

class PropertyStore {
public:
    virtual ~PropertyStore() = default;
    // 0 when the property is not set.
    virtual intptr_t Get(const std::string& name) const = 0;
    virtual void Put(const std::string& name, intptr_t value) = 0;
    virtual void Remove(const std::string& name) = 0;
};

inline constexpr char kOptCountProp[] = "ux_OptCount";
inline constexpr char kOptObjPrefix[] = "ux_Obj";

std::string OptionEntryName(int index);  // "ux_Obj" + index, 1-based

// Adds `id` (non-zero) at the end of the container's list; a second
// registration of the same identity changes nothing.
void RegisterOption(PropertyStore& container, intptr_t id);
// Removes `id`, closing up the entries after it; the count property goes away
// with the last entry so a container is left as it was found.
void UnregisterOption(PropertyStore& container, intptr_t id);
// The registered identities in registration order.
std::vector<intptr_t> RegisteredOptions(const PropertyStore& container);

}  // namespace px::controls
