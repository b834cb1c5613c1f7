#include <gtest/gtest.h>

#include <vector>

#include "base/Error.h"
#include "base/Event.h"
#include "base/Rounding.h"
#include "base/View2D.h"

namespace px {

TEST(Rounding, TiesGoToTheEvenNeighbour) {
    struct Case {
        double in;
        int out;
    } cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},  {-0.5, 0}, {-1.5, -2},
                 {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {128.5, 128}, {129.5, 130}, {-0.49, 0}};
    for (auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Rounding, OutOfRangeRaisesOverflow) {
    try {
        RoundHalfEven<int16_t>(32767.5);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
    EXPECT_EQ(RoundHalfEven<int16_t>(32766.5), 32766);
    EXPECT_THROW(RoundHalfEven(std::nan("")), Error);
}

TEST(Rounding, IntegerDivisionTruncatesTowardZero) {
    EXPECT_EQ(TruncDiv(7, 2), 3);
    EXPECT_EQ(TruncDiv(-7, 2), -3);
    EXPECT_EQ(TruncDiv(7, -2), -3);
    try {
        TruncDiv(1, 0);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::DivisionByZero);
    }
}

TEST(Error, SourceIsModuleDotClass) {
    SetErrorModuleName("Orvo-Pixtrel");
    Error e(ErrorNumber::CantPerformOperation, "cDIBSectionBC", "The system cannot find the path specified.");
    EXPECT_EQ(e.source(), "Orvo-Pixtrel.cDIBSectionBC");
    EXPECT_EQ(e.number(), 17);
    EXPECT_STREQ(e.what(), "The system cannot find the path specified.");
    SetErrorModuleName("");
    EXPECT_EQ(e.source(), ".cDIBSectionBC");
}

TEST(View2D, SubscriptsOutsideTheViewRaiseNine) {
    std::vector<unsigned char> buf(3 * 8, 0);
    View2D<unsigned char> v(buf.data(), 6, 3, 8);  // padded rows
    v(2, 5) = 7;
    EXPECT_EQ(buf[2 * 8 + 5], 7);
    EXPECT_EQ(v.row(1).size(), 6u);
    for (auto [y, x] : {std::pair<size_t, size_t>{3, 0}, {0, 6}, {0, 7}, {99, 99}}) {
        try {
            v.at(y, x);
            FAIL() << y << "," << x;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::SubscriptOutOfRange);
        }
    }
    EXPECT_THROW(v.row(3), Error);
    EXPECT_THROW(View2D<unsigned char>(buf.data(), 9, 1, 8), Error);
}

TEST(Event, HandlersRunInConnectionOrderAndMayDisconnectDuringDispatch) {
    Event<int> ev;
    std::vector<int> seen;
    ev.connect([&](int v) { seen.push_back(v); ev.clear(); });
    ev.connect([&](int v) { seen.push_back(v * 10); });
    EXPECT_EQ(ev.count(), 2u);
    ev(3);
    EXPECT_EQ(seen, (std::vector<int>{3, 30}));
    EXPECT_EQ(ev.count(), 0u);
    ev(4);
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace px
