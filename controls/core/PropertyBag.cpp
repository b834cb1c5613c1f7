#include "controls/core/PropertyBag.h"

#include <limits>

namespace px::controls {

const PropertyValue* PropertyBag::Find(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

bool PropertyBag::ReadBool(const std::string& name, bool def) const {
    const PropertyValue* v = Find(name);
    if (!v) return def;
    if (const bool* b = v->asBool()) return *b;
    if (const int64_t* i = v->asInt()) return *i != 0;
    return def;
}

int64_t PropertyBag::ReadInt(const std::string& name, int64_t def) const {
    const PropertyValue* v = Find(name);
    if (!v) return def;
    if (const int64_t* i = v->asInt()) return *i;
    return def;
}

int32_t PropertyBag::ReadInt32(const std::string& name, int32_t def) const {
    int64_t i = ReadInt(name, def);
    if (i < std::numeric_limits<int32_t>::min() || i > std::numeric_limits<int32_t>::max()) return def;
    return static_cast<int32_t>(i);
}

uint32_t PropertyBag::ReadColor(const std::string& name, uint32_t def) const {
    int64_t i = ReadInt(name, def);
    // Colours arrive as unsigned (0x8000000F) or as the signed 32-bit pattern of the same bits.
    if (i < std::numeric_limits<int32_t>::min() || i > std::numeric_limits<uint32_t>::max()) return def;
    return static_cast<uint32_t>(i);
}

std::wstring PropertyBag::ReadString(const std::string& name, const std::wstring& def) const {
    const PropertyValue* v = Find(name);
    if (!v) return def;
    if (const std::wstring* s = v->asString()) return *s;
    return def;
}

}  // namespace px::controls
