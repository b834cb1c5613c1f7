#include <gtest/gtest.h>

#include <map>

#include "controls/core/OptionGroup.h"

using namespace px;
using namespace px::controls;

namespace {

class MapStore : public PropertyStore {
public:
    intptr_t Get(const std::string& name) const override {
        auto it = props.find(name);
        return it == props.end() ? 0 : it->second;
    }
    void Put(const std::string& name, intptr_t value) override { props[name] = value; }
    void Remove(const std::string& name) override { props.erase(name); }
    std::map<std::string, intptr_t> props;
};

TEST(OptionGroupTest, RegistrationWritesCountAndEntries) {
    MapStore c;
    RegisterOption(c, 101);
    RegisterOption(c, 102);
    RegisterOption(c, 103);
    EXPECT_EQ(c.props, (std::map<std::string, intptr_t>{
                           {"ux_OptCount", 3}, {"ux_Obj1", 101}, {"ux_Obj2", 102}, {"ux_Obj3", 103}}));
    RegisterOption(c, 102);  // twice is once
    RegisterOption(c, 0);    // no identity, no entry
    EXPECT_EQ(c.props.at("ux_OptCount"), 3);
}

TEST(OptionGroupTest, UnregisterClosesUpTheList) {
    struct {
        intptr_t removed;
        std::vector<intptr_t> left;
    } cases[] = {
        {1, {2, 3, 4}}, {2, {1, 3, 4}}, {4, {1, 2, 3}}, {9, {1, 2, 3, 4}},
    };
    for (auto& tc : cases) {
        MapStore c;
        for (intptr_t id : {1, 2, 3, 4}) RegisterOption(c, id);
        UnregisterOption(c, tc.removed);
        EXPECT_EQ(RegisteredOptions(c), tc.left) << tc.removed;
        EXPECT_EQ(c.props.size(), tc.left.size() + 1) << "stale entry left after removing " << tc.removed;
    }
}

TEST(OptionGroupTest, LastUnregisterLeavesTheContainerClean) {
    MapStore c;
    RegisterOption(c, 7);
    RegisterOption(c, 8);
    UnregisterOption(c, 8);
    UnregisterOption(c, 7);
    EXPECT_TRUE(c.props.empty());
    RegisterOption(c, 9);
    EXPECT_EQ(RegisteredOptions(c), std::vector<intptr_t>{9});
}

}  // namespace
