// Where the wizard is placed and how large the backdrop's title is drawn.
#include <gtest/gtest.h>

#include "wizard/wizard_layout.h"

namespace {

TEST(WizardLayout, CentresWithIntegerDivisionTowardZero) {
  struct row {
    int screen, window, origin;
  };
  const row rows[] = {
      {1024, 500, 262}, {1024, 501, 261}, {768, 768, 0},
      {800, 1000, -100}, {800, 1001, -100},  // wider than the screen: rounds toward zero
      {0, 0, 0},
  };
  for (const row& r : rows)
    EXPECT_EQ(centered_origin(r.screen, r.window), r.origin) << r.screen << " " << r.window;
}

TEST(WizardLayout, TitleCellHeightIsATenthOfTheScreenHeight) {
  struct row {
    int screen_height, cell_height;
  };
  const row rows[] = {{768, 76}, {1200, 120}, {1080, 108}, {9, 0}};
  for (const row& r : rows) EXPECT_EQ(title_font_height(r.screen_height), r.cell_height);
}

}  // namespace
