#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "skin/core/SkinNumbers.h"

namespace px {
namespace {

TEST(SkinNumbers, FormatsWithoutLocale) {
    EXPECT_EQ(FormatInteger(-2147483643), "-2147483643");
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatBoolean(true), "yes");
    EXPECT_EQ(FormatBoolean(false), "no");
    const struct {
        float value;
        const char* text;
    } singles[] = {{2.5f, "2.5"}, {0.0f, "0"}, {-0.5f, "-0.5"}, {0.1f, "0.1"}, {1e-5f, "0.00001"}, {1e10f, "10000000000"}};
    for (const auto& c : singles) EXPECT_EQ(FormatSingle(c.value), c.text);
    const struct {
        int64_t size;
        const char* text;
    } sizes[] = {{82500, "8.25"}, {100000, "10"}, {5, "0.0005"}, {120000, "12"}, {0, "0"}, {97500, "9.75"}, {-82500, "-8.25"}};
    for (const auto& c : sizes) EXPECT_EQ(FormatFontSize(c.size), c.text);
}

TEST(SkinNumbers, EveryKindOfSingleReadsBackAsTheSameFloat) {
    std::mt19937 rng(12);
    int tried = 0;
    while (tried < 20000) {
        const float f = std::bit_cast<float>(static_cast<uint32_t>(rng()));
        if (!std::isfinite(f)) continue;
        ++tried;
        const auto back = ParseSingle(FormatSingle(f));
        ASSERT_TRUE(back.has_value()) << FormatSingle(f);
        ASSERT_EQ(std::bit_cast<uint32_t>(*back), std::bit_cast<uint32_t>(f)) << FormatSingle(f);
    }
}

TEST(SkinNumbers, IntegersReadAsDecimalsRoundedToEven) {
    const struct {
        const char* text;
        std::optional<int32_t> want;
    } cases[] = {
        {"12", 12},       {" -7 ", -7},         {"+5", 5},          {"12.5", 12},       {"13.5", 14},
        {"-2.5", -2},     {"1e3", 1000},        {"\t42\r\n", 42},   {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},       {"2147483648", std::nullopt},      {"", std::nullopt},
        {"  ", std::nullopt},                   {"0x10", std::nullopt},            {"&H10", std::nullopt},
        {"inf", std::nullopt},                  {"nan", std::nullopt},             {"12abc", std::nullopt},
        {"+-5", std::nullopt},                  {"1 2", std::nullopt},             {"1,5", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.want) << '"' << c.text << '"';
}

TEST(SkinNumbers, SinglesAndFontSizesReadWithPointDecimalsOnly) {
    const struct {
        const char* text;
        std::optional<float> want;
    } singles[] = {{"2.5", 2.5f},  {"-0.25", -0.25f},      {" 6 ", 6.0f},        {"+0.5", 0.5f},
                   {"2,5", std::nullopt}, {"1e50", std::nullopt}, {"nan", std::nullopt}, {"-inf", std::nullopt},
                   {"", std::nullopt}};
    for (const auto& c : singles) EXPECT_EQ(ParseSingle(c.text), c.want) << '"' << c.text << '"';
    const struct {
        const char* text;
        std::optional<int64_t> want;
    } sizes[] = {{"8.25", 82500}, {" 10 ", 100000}, {"9.75", 97500}, {"0.0001", 1}, {"1000", 10000000},
                 {"-1", std::nullopt}, {"8,25", std::nullopt}, {"abc", std::nullopt}, {"3e9", std::nullopt}};
    for (const auto& c : sizes) EXPECT_EQ(ParseFontSize(c.text), c.want) << '"' << c.text << '"';
}

TEST(SkinNumbers, BooleansAreTrueOnlyForYes) {
    const struct {
        const char* text;
        bool want;
    } cases[] = {{" Yes ", true}, {"YES", true}, {"yes", true}, {"yEs", true}, {"1", false},     {"true", false},
                 {"no", false},   {"", false},   {"yess", false}, {"\tyes", false}, {"y es", false}};
    for (const auto& c : cases) EXPECT_EQ(ParseBoolean(c.text), c.want) << '"' << c.text << '"';
}

}  // namespace
}  // namespace px
