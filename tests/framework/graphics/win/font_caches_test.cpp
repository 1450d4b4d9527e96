#include "framework/graphics/win/font_caches.h"

#include "framework/graphics/win/win_font_loading.h"

#include <gtest/gtest.h>

namespace plugkit::igraphics {
namespace {

int HandleCount() {
  const auto lock = GetFontHandleCache().Lock();
  return GetFontHandleCache().Size();
}

HFONT CachedHandle(const char* fontID) {
  const auto lock = GetFontHandleCache().Lock();
  return GetFontHandleCache().Find(fontID, 1.0);
}

TEST(FontCaches, HandleCopiesKeepTheFirstPerFontID) {
  const auto regular = LoadWinFontByName("Roboto", 0);
  const auto bold = LoadWinFontByName("Roboto", 1);
  ASSERT_TRUE(regular && bold);
  ASSERT_TRUE(AddFontHandle("ui", *regular));
  const HFONT first = CachedHandle("ui");
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, regular->GetHandle()); // a copy, which outlives the font
  EXPECT_TRUE(AddFontHandle("ui", *bold));
  EXPECT_EQ(CachedHandle("ui"), first);
  EXPECT_EQ(HandleCount(), 1);

  const PlatformFont noHandle;
  EXPECT_FALSE(AddFontHandle("none", noHandle));
  EXPECT_EQ(CachedHandle("none"), nullptr);
  ClearFontHandles();
  EXPECT_EQ(HandleCount(), 0);
}

TEST(FontCaches, ClearedWhenTheLastUserLetsGo) {
  RetainFontCaches();
  RetainFontCaches();
  ASSERT_TRUE(AddFontHandle("ui", *LoadWinFontByName("Roboto", 0)));
  ReleaseFontCaches();
  EXPECT_EQ(HandleCount(), 1);
  ReleaseFontCaches();
  EXPECT_EQ(HandleCount(), 0);
}

} // namespace
} // namespace plugkit::igraphics
