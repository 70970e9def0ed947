// The screen: window surfaces composed in Z order through their visible
// parts, and screenshots written as PNG files and read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gdi_test_support.h"
#include "platform/gdi/png_reader.h"
#include "platform/gdi/png_writer.h"

using gdi_test::Surface;
using platform::gdi::Layer;
using platform::gdi::Region;

namespace {

std::shared_ptr<Surface> filled(int width, int height, char colour) {
    auto surface = std::make_shared<Surface>(width, height);
    gdi_test::fillSurface(*surface, gdi_test::colourOf(colour));
    return surface;
}

TEST(ComposeScreen, LayersBottomToTopThroughTheirVisibleParts) {
    Surface screen(8, 4);
    gdi_test::fillSurface(screen, gdi_test::colourOf('#'));
    // The bottom window fills the screen; the top one is 4 x 3 at (3, 1), with
    // its top-left pixel cut away by its window region; a third lies partly
    // off the screen.
    const std::vector<Layer> layers = {
        {filled(8, 4, 'B'), {0, 0}, Region(RECT{0, 0, 8, 4})},
        {filled(4, 3, 'R'), {3, 1}, Region(RECT{3, 1, 7, 4}).subtracted(Region(RECT{3, 1, 4, 2}))},
        {filled(3, 3, 'G'), {6, -1}, Region(RECT{6, -1, 9, 2})},
        {nullptr, {0, 0}, Region(RECT{0, 0, 8, 4})},  // a window without a surface yet
        {filled(2, 2, 'Y'), {0, 0}, Region()},          // a hidden window
    };
    platform::gdi::composeScreen(screen, layers);
    EXPECT_PICTURE(screen, 0, 0, {"BBBBBBGG", "BBBBRRGG", "BBBRRRRB", "BBBRRRRB"});

    // A visible part larger than the surface does not read past it.
    platform::gdi::composeScreen(screen, {{filled(2, 2, 'M'), {0, 0}, Region(RECT{0, 0, 8, 4})}});
    EXPECT_PICTURE(screen, 0, 0, {"MMBBBBGG", "MMBBRRGG"});
}

TEST(Screenshots, WrittenAndReadBackExactly) {
    Surface surface(5, 3);
    gdi_test::paint(surface, 0, 0, {"RGBYC", "M#.g#", "...RR"});
    const auto dir = std::filesystem::path(::testing::TempDir());
    const auto whole = dir / "gdi_screen_whole.png", part = dir / "gdi_screen_part.png";
    ASSERT_TRUE(platform::gdi::writePng(surface, whole));
    auto back = platform::gdi::readPng(whole);
    ASSERT_TRUE(back.has_value());
    EXPECT_PICTURE(*back, 0, 0, {"RGBYC", "M#.g#", "...RR"});

    const RECT crop{3, 1, 10, 10};  // clipped to the surface
    ASSERT_TRUE(platform::gdi::writePng(surface, part, &crop));
    back = platform::gdi::readPng(part);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->width(), 2);
    EXPECT_EQ(back->height(), 2);
    EXPECT_PICTURE(*back, 0, 0, {"g#", "RR"});

    const RECT outside{10, 10, 20, 20};
    EXPECT_FALSE(platform::gdi::writePng(surface, dir / "gdi_screen_none.png", &outside));
    EXPECT_FALSE(std::filesystem::exists(dir / "gdi_screen_none.png"));
    EXPECT_FALSE(platform::gdi::writePng(surface, dir / "no such folder" / "shot.png"));
    EXPECT_FALSE(platform::gdi::readPng(dir / "gdi_screen_missing.png").has_value());
    const auto garbage = dir / "gdi_screen_garbage.png";
    std::ofstream(garbage) << "not a picture";
    EXPECT_FALSE(platform::gdi::readPng(garbage).has_value());
    std::filesystem::remove(garbage);
    std::filesystem::remove(whole);
    std::filesystem::remove(part);
}

}  // namespace
