#include "pixels/space_time.h"

#include <gtest/gtest.h>

#include "core/run_error.h"
#include "pixels/field_image_pixels.h"

namespace rdsim {
namespace {

TEST(SpaceTimeRows, OneRowPerMomentOldestOnTopNewestKept) {
  SpaceTimeRows rows(3);
  const Buffer line{0.0f, 1.0f, 10.0f, 99.0f};  // the spare element is not drawn
  for (int moment = 0; moment < 5; ++moment) {
    Buffer shifted = line;
    shifted[0] = static_cast<float>(moment);
    rows.Add(shifted, 3);
  }
  ASSERT_EQ(rows.Rows(), 3u);
  const PixelImage grey = rows.Picture();
  ASSERT_EQ(grey.width, 3);
  ASSERT_EQ(grey.height, 3);
  for (int y = 0; y < 3; ++y) {
    const std::uint32_t g = GreyLevel(static_cast<float>(y + 2));  // moments 2, 3, 4 are kept
    EXPECT_EQ(grey.at(0, y), g << 16 | g << 8 | g);
    EXPECT_EQ(grey.at(1, y), 0x1A1A1Au);  // 1.0 is grey 26, as in the 2D image
    EXPECT_EQ(grey.at(2, y), 0xFFFFFFu);
  }
  const Palette& magma = *FindPalette("magma");
  EXPECT_EQ(rows.Picture(magma).at(2, 0), magma.colours[255]);

  rows.Add(Buffer(6, 0.0f), 5);  // another width starts afresh
  EXPECT_EQ(rows.Rows(), 1u);
  EXPECT_EQ(rows.Width(), 5);
  EXPECT_THROW(rows.Add(Buffer(2, 0.0f), 5), RunError);
}

// The published tables' end points and a middle entry; all four by name.
TEST(Palette, ColourMapsFromTheirPublishedTables) {
  const struct {
    const char* name;
    std::uint32_t first, middle, last;
  } maps[] = {
      {"grey", 0x000000, 0x808080, 0xFFFFFF},
      {"viridis", 0x440154, 0x21918C, 0xFDE725},
      {"magma", 0x000004, 0xB73779, 0xFCFDBF},
      {"cividis", 0x00224E, 0x7D7C78, 0xFEE838},
  };
  ASSERT_EQ(Palettes().size(), std::size(maps));
  for (std::size_t i = 0; i < std::size(maps); ++i) {
    const Palette* palette = FindPalette(maps[i].name);
    ASSERT_NE(palette, nullptr) << maps[i].name;
    EXPECT_EQ(Palettes()[i], palette);
    EXPECT_EQ(palette->colours[0], maps[i].first) << maps[i].name;
    EXPECT_EQ(palette->colours[128], maps[i].middle) << maps[i].name;
    EXPECT_EQ(palette->colours[255], maps[i].last) << maps[i].name;
    EXPECT_EQ(palette->IsGrey(), i == 0);
  }
  EXPECT_EQ(PaletteNames(), "grey, viridis, magma, cividis");
}

}  // namespace
}  // namespace rdsim
