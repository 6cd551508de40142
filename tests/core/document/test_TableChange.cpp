// What counts as a change: the file a save would write, not how the table got there.
#include "CoreTestSupport.h"
#include "SystemOption.h"
#include "TableChange.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(TableChange, ATableEqualToTheSavedOneIsUnchangedHoweverItGotThere) {
    const ClassKQxx53 saved = kqtest::MarkedDevice();
    ClassKQxx53 d = saved;
    d.TheRxFreq(3, 150.0);
    EXPECT_FALSE(SameTable(saved, d));
    d.TheRxFreq(3, saved.TheRxFreq(3)); // edited back by hand
    EXPECT_TRUE(SameTable(saved, d));
    d.NowCHNum = 9; // the current row is no part of the file
    EXPECT_TRUE(SameTable(saved, d));

    ClassKQxx53 fresh, edited;
    edited.TheRxFreq(3, 150.0);
    edited.TheRxCHSpace(3, -1);
    edited.DeleteOneChannel(3);
    EXPECT_TRUE(SameTable(fresh, edited));

    ApplySystemOption(d, 0); // another model writes other words
    EXPECT_FALSE(SameTable(saved, d));

    // Tables that cannot be saved compare by their channels.
    ClassKQxx53 a, b;
    a.TheRxFreq(0, 1e9); // beyond what the divider holds
    b.TheRxFreq(0, 1e9);
    EXPECT_TRUE(SameTable(a, b));
    b.TheTxFreq(1, 150.0);
    EXPECT_FALSE(SameTable(a, b));
    EXPECT_FALSE(SameTable(a, ClassKQxx53{}));
}
