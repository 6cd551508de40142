// The shared channel clipboard's four commands on a device.
#include "ChannelClipboard.h"

#include <gtest/gtest.h>

using namespace kq;

namespace {
void setChannel(ClassKQxx53& d, int16_t ch, double rx, double tx, int32_t power) {
    d.TheRxFreq(ch, rx);
    d.TheTxFreq(ch, tx);
    d.TheRFPower(ch, power);
    d.TheRxCHSpace(ch, -1);
    d.TheTxCHSpace(ch, 0);
}
} // namespace

TEST(ChannelClipboard, CopyThenPasteAtFirstSelectedRow) {
    ClassKQxx53 d;
    setChannel(d, 2, 150.0, 151.0, -1);
    setChannel(d, 5, 160.0, 161.0, 0);
    ChannelClipboard cb;
    cb.CopyChannels(d, {5, 2}); // order of selection does not matter
    ASSERT_EQ(cb.Entries().size(), 2u);
    EXPECT_DOUBLE_EQ(cb.Entries()[0].RxFreq, 150.0);
    EXPECT_TRUE(cb.PasteChannels(d, 3));
    EXPECT_EQ(d.Channel(3), d.Channel(2));
    EXPECT_EQ(d.Channel(4), d.Channel(5));
    EXPECT_DOUBLE_EQ(d.TheRxFreq(6), 0.0);
    // The clipboard stays and can be pasted again.
    EXPECT_TRUE(cb.PasteChannels(d, 10));
    EXPECT_EQ(d.Channel(11), d.Channel(5));
}

TEST(ChannelClipboard, PasteNearTheEndDropsTheRest) {
    ClassKQxx53 d;
    for (int16_t c = 0; c < 3; ++c) setChannel(d, c, 150.0 + c, 150.0, 0);
    ChannelClipboard cb;
    cb.CopyChannels(d, {0, 1, 2});
    EXPECT_TRUE(cb.PasteChannels(d, 14));
    EXPECT_DOUBLE_EQ(d.TheRxFreq(14), 150.0);
    EXPECT_DOUBLE_EQ(d.TheRxFreq(15), 151.0);
}

TEST(ChannelClipboard, CutClearsAndPasteRestores) {
    ClassKQxx53 d;
    setChannel(d, 1, 150.0, 150.5, -1);
    setChannel(d, 2, 152.0, 152.5, 0);
    const ChannelPara one = d.Channel(1), two = d.Channel(2);
    ChannelClipboard cb;
    cb.CutChannels(d, {1, 2});
    EXPECT_EQ(d.Channel(1), ChannelPara{});
    EXPECT_EQ(d.Channel(2), ChannelPara{});
    cb.PasteChannels(d, 8);
    EXPECT_EQ(d.Channel(8), one);
    EXPECT_EQ(d.Channel(9), two);
}

TEST(ChannelClipboard, NothingSelectedOrEmptyChangesNothing) {
    ClassKQxx53 d;
    setChannel(d, 0, 150.0, 150.0, 0);
    ChannelClipboard cb;
    EXPECT_FALSE(cb.PasteChannels(d, 0)); // before any copy
    cb.CopyChannels(d, {0});
    cb.CopyChannels(d, {});               // keeps the earlier content
    ASSERT_EQ(cb.Entries().size(), 1u);
    EXPECT_FALSE(cb.PasteChannels(d, -1)); // no row selected
    EXPECT_DOUBLE_EQ(d.TheRxFreq(0), 150.0);

    ChannelClipboard::DeleteChannels(d, {0});
    EXPECT_EQ(d.Channel(0), ChannelPara{});
    EXPECT_EQ(cb.Entries().size(), 1u);
}

TEST(ChannelClipboard, BadRowLeavesClipboardAsItWas) {
    ClassKQxx53 d;
    ChannelClipboard cb;
    cb.CopyChannels(d, {4});
    EXPECT_THROW(cb.CopyChannels(d, {1, 16}), SubscriptOutOfRange);
    EXPECT_EQ(cb.Entries().size(), 1u);
}
