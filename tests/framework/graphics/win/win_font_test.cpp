#include "framework/graphics/win/win_font_loading.h"

#include "framework/graphics/win/find_system_font.h"
#include "framework/graphics/win/font_caches.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace plugkit::igraphics {
namespace {

const std::string kFontPath = std::string("Z:") + TARVEX_TEST_FONT;

std::vector<uint8_t> ReadFont() {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(kFontPath.c_str(), "rb")) {
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
      bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
  }
  return bytes;
}

class WinFontLoading : public testing::Test {
protected:
  void SetUp() override { ASSERT_GT(roboto_.size(), 1000u); }
  void TearDown() override {
    ClearFontHandles();
    ClearInstalledFonts();
  }

  // The face GDI gives back for a loaded font is Roboto Regular, whole.
  void ExpectRobotoRegular(const WinFont* font) {
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font->GetHandle(), nullptr);
    const FontFileDataPtr data = font->GetFontData();
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->IsUsable());
    EXPECT_EQ(data->FaceIndex(), 0);
    EXPECT_EQ(data->Info().family, "Roboto");
    EXPECT_EQ(data->Info().style, "Regular");
    EXPECT_EQ(data->Info().unitsPerEm, 2048);
    ASSERT_EQ(data->Size(), static_cast<int>(roboto_.size()));
    EXPECT_EQ(std::memcmp(data->Bytes(), roboto_.data(), roboto_.size()), 0);
  }

  int InstalledCount() {
    const auto lock = GetInstalledFontCache().Lock();
    return GetInstalledFontCache().Size();
  }

  const std::vector<uint8_t> roboto_ = ReadFont();
};

TEST_F(WinFontLoading, EmbeddedResourceOfTheModule) {
  const auto font = LoadWinFontFromFile("Roboto", "Roboto-Regular.ttf", GetModuleHandleW(nullptr));
  ExpectRobotoRegular(font.get());
  EXPECT_STREQ(font->StyleName(), "");
  const auto lock = GetInstalledFontCache().Lock();
  EXPECT_NE(GetInstalledFontCache().Find("Roboto", 1.0), nullptr);
}

// A font embedded in another module (a plug-in inside a host) is found
// through that module's handle only.
TEST_F(WinFontLoading, EmbeddedResourceOfAnotherModule) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring modulePath(path);
  modulePath =
      modulePath.substr(0, modulePath.find_last_of(L'\\') + 1) + L"font_resource_module.dll";
  const HMODULE module = LoadLibraryW(modulePath.c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LoadWinFontFromFile("module", "Module-Font.ttf", GetModuleHandleW(nullptr)), nullptr);
  ExpectRobotoRegular(LoadWinFontFromFile("module", "Module-Font.ttf", module).get());
  EXPECT_EQ(LoadWinFontFromFile("exe", "Roboto-Regular.ttf", module), nullptr);
  ClearInstalledFonts();
  FreeLibrary(module);
}

TEST_F(WinFontLoading, FileAndMemory) {
  ExpectRobotoRegular(LoadWinFontFromFile("file", kFontPath.c_str(), nullptr).get());
  ExpectRobotoRegular(
      LoadWinFontFromMemory("memory", roboto_.data(), static_cast<int>(roboto_.size())).get());
  // The same id again (another editor opening) uses the installation made.
  const int before = InstalledCount();
  ExpectRobotoRegular(
      LoadWinFontFromMemory("memory", roboto_.data(), static_cast<int>(roboto_.size())).get());
  ExpectRobotoRegular(LoadWinFontFromFile("file", kFontPath.c_str(), nullptr).get());
  EXPECT_EQ(InstalledCount(), before);
  EXPECT_EQ(LoadWinFontFromFile("missing", "no-such-font.ttf", nullptr), nullptr);
}

TEST_F(WinFontLoading, FileThatOthersAreReading) {
  const HANDLE reader = CreateFileA(kFontPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ExpectRobotoRegular(LoadWinFontFromFile("shared", kFontPath.c_str(), nullptr).get());
  CloseHandle(reader);
}

TEST_F(WinFontLoading, InstalledFamilyByName) {
  struct Case {
    int style;
    const char* styleName;
    const char* faceStyle;
  };
  const Case cases[] = {{0, "Regular", "Regular"}, {1, "Bold", "Bold"}, {2, "Italic", "Italic"}};
  for (const Case& c : cases) {
    const auto font = LoadWinFontByName("Roboto", c.style);
    ASSERT_NE(font, nullptr) << c.styleName;
    EXPECT_STREQ(font->StyleName(), c.styleName);
    const FontFileDataPtr data = font->GetFontData();
    ASSERT_TRUE(data->IsUsable()) << c.styleName;
    EXPECT_EQ(data->Info().family, "Roboto");
    EXPECT_EQ(data->Info().style, c.faceStyle);
  }
  // Families GDI does not report back exactly are refused, not substituted.
  const char* refused[] = {"No Such Family Tarvex", "roboto", "",
                           "A family name that is forty units long.."};
  for (const char* family : refused) EXPECT_EQ(LoadWinFontByName(family, 0), nullptr) << family;
  EXPECT_EQ(LoadWinFontByName(nullptr, 0), nullptr);
}

// Damaged font bytes are refused (or give an unusable face) without reading
// outside them.
TEST_F(WinFontLoading, DamagedBytesAreRefused) {
  std::vector<uint8_t> garbage(4096);
  std::mt19937 random(7);
  for (uint8_t& b : garbage) b = static_cast<uint8_t>(random());
  std::vector<uint8_t> collection = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF};
  collection.resize(64, 0xEE);
  std::vector<uint8_t> badTables = roboto_;
  badTables[4] = 0xFF; // table count far beyond the directory
  for (size_t record = 12; record < 12 + 16 * 20; record += 16) badTables[record + 8] = 0x7F;
  struct Case {
    const char* label;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(roboto_.begin(), roboto_.begin() + 100)},
      {"garbage", garbage},
      {"collection with a huge face count", collection},
      {"table offsets beyond the end", badTables},
  };
  for (const Case& c : cases) {
    const auto exact = std::make_unique<uint8_t[]>(c.bytes.size() + 1);
    std::copy(c.bytes.begin(), c.bytes.end(), exact.get());
    EXPECT_EQ(LoadWinFontFromMemory(c.label, exact.get(), static_cast<int>(c.bytes.size())),
              nullptr)
        << c.label;
  }
  EXPECT_EQ(LoadWinFontFromMemory("null", nullptr, 100), nullptr);
  EXPECT_EQ(InstalledCount(), 0);
}

} // namespace
} // namespace plugkit::igraphics
