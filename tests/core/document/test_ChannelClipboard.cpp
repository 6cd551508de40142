// The shared channel clipboard's four commands on a device.
#include "ChannelClipboard.h"
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(ChannelClipboard, CopyCutPasteAtTheFirstSelectedRowAndBadRowsChangeNothing) {
    ClassKQxx53 d = kqtest::MarkedDevice();
    const ClassKQxx53 ref = kqtest::MarkedDevice();
    ChannelClipboard cb;
    EXPECT_FALSE(cb.PasteChannels(d, 0)); // nothing copied yet
    cb.CopyChannels(d, {5, 2});           // rows in list order, whatever the selection order
    EXPECT_TRUE(cb.PasteChannels(d, 8));
    EXPECT_EQ(d.Channel(8), ref.Channel(2));
    EXPECT_EQ(d.Channel(9), ref.Channel(5));
    EXPECT_EQ(d.Channel(10), ref.Channel(10));
    EXPECT_TRUE(cb.PasteChannels(d, 15)); // near the end the rest is dropped
    EXPECT_EQ(d.Channel(15), ref.Channel(2));

    cb.CutChannels(d, {0, 1});
    EXPECT_EQ(d.Channel(0), ChannelPara{});
    EXPECT_EQ(d.Channel(1), ChannelPara{});
    EXPECT_TRUE(cb.PasteChannels(d, 3));
    EXPECT_EQ(d.Channel(3), ref.Channel(0));
    EXPECT_EQ(d.Channel(4), ref.Channel(1));

    // An empty selection or a bad row changes nothing.
    d = ref;
    cb.CopyChannels(d, {4});
    cb.CopyChannels(d, {}); // keeps the earlier content
    EXPECT_THROW(cb.CopyChannels(d, {1, 16}), SubscriptOutOfRange);
    ASSERT_EQ(cb.Entries().size(), 1u);
    EXPECT_EQ(cb.Entries()[0], ref.Channel(4));
    EXPECT_FALSE(cb.PasteChannels(d, -1)); // no row selected
    for (int16_t c = 0; c < 16; ++c) EXPECT_EQ(d.Channel(c), ref.Channel(c)) << c;

    ChannelClipboard::DeleteChannels(d, {0});
    EXPECT_EQ(d.Channel(0), ChannelPara{});
    EXPECT_EQ(cb.Entries().size(), 1u);
}
