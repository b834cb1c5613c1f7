#include "base/Error.h"

namespace px {

namespace {
std::string& ModuleName() {
    static std::string name;
    return name;
}
}  // namespace

void SetErrorModuleName(std::string name) { ModuleName() = std::move(name); }
const std::string& ErrorModuleName() { return ModuleName(); }

}  // namespace px
