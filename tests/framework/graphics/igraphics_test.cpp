#include "framework/graphics/image_caches.h"
#include "tests/support/graphics/recording_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace plugkit::igraphics {
namespace {

namespace fs = std::filesystem;
using testing::RecordingBitmap;
using testing::RecordingGraphics;
using testing::TestDelegate;

// Notes what happens to it, in the order the graphics context calls it.
class LoggingControl : public IControl {
public:
  LoggingControl(std::vector<std::string>& log, const char* name)
      : IControl({0, 0, 10, 10}), log_(log), name_(name) {}
  ~LoggingControl() override { log_.push_back(name_ + " deleted"); }
  void OnInit() override { Note("init"); }
  void OnResize() override { Note("resize"); }
  void OnRescale() override { Note("rescale"); }
  void OnAttached() override { Note("attached"); }
  void Draw(IGraphics&) override {}

private:
  void Note(const char* what) {
    log_.push_back(name_ + " " + what +
                   " listed:" + std::to_string(GetUI() ? GetUI()->NControls() : -1));
  }
  std::vector<std::string>& log_;
  std::string name_;
};

// A folder of its own, removed afterwards.
class TempFolder {
public:
  explicit TempFolder(const char* name) : path_(fs::temp_directory_path() / name) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string Write(const char* file, const std::string& bytes = "image") const {
    const fs::path p = path_ / file;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  std::string Path(const char* file) const { return (path_ / file).string(); }

private:
  fs::path path_;
};

const char kSquareSVG[] =
    "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='50'>"
    "<rect x='0' y='0' width='100' height='50' fill='#ff0000'/></svg>";

TEST(IGraphics, AttachesWithTagsAndRefusesDuplicates) {
  TestDelegate delegate;
  std::vector<std::string> log;
  {
    RecordingGraphics g(delegate, 100, 100);
    auto* first = new LoggingControl(log, "a");
    EXPECT_EQ(g.AttachControl(first, 5), first);
    LoggingControl duplicate(log, "dup");
    EXPECT_EQ(g.AttachControl(&duplicate, 5), nullptr);
    EXPECT_EQ(duplicate.GetUI(), nullptr);
    g.AttachControl(new LoggingControl(log, "b"), -1, "group");
    g.AttachControl(new LoggingControl(log, "c"), -1);
    EXPECT_EQ(g.NControls(), 3);
    EXPECT_EQ(g.FindControlByTag(5), first);
    EXPECT_EQ(g.FindControlByTag(6), nullptr);
    EXPECT_EQ(g.FindControlByTag(-1), nullptr);
    EXPECT_STREQ(g.GetControl(1)->GetGroup(), "group");

    std::vector<IControl*> order;
    g.ForAllControls([&](IControl& c) { order.push_back(&c); });
    EXPECT_EQ(order, (std::vector<IControl*>{first, g.GetControl(1), g.GetControl(2)}));
  }
  const std::vector<std::string> expected = {
      "a init listed:0", "a resize listed:0", "a rescale listed:0", "a attached listed:1",
      "b init listed:1", "b resize listed:1", "b rescale listed:1", "b attached listed:2",
      "c init listed:2", "c resize listed:2", "c rescale listed:2", "c attached listed:3",
      "dup deleted",     "c deleted",         "b deleted",          "a deleted"};
  EXPECT_EQ(log, expected);
}

TEST(IGraphics, BitmapCandidatesFollowTheScaleOrder) {
  struct Case {
    std::vector<const char*> files;
    const char* loaded;
    int loadedScale;
  } cases[] = {
      {{"knob.png"}, "knob.png", 1},
      {{"knob.png", "knob@3x.png"}, "knob@3x.png", 3},
      {{"knob.png", "knob@3x.png", "knob@2x.png"}, "knob@2x.png", 2},
  };
  for (const Case& c : cases) {
    TempFolder folder("tarvex_bitmap_candidates");
    for (const char* file : c.files) folder.Write(file);
    TestDelegate delegate;
    RecordingGraphics g(delegate, 100, 100);
    g.SetScales(1.25f, 1.f); // target scale 0 becomes 2
    const IBitmap bitmap = g.LoadBitmap(folder.Path("knob.png").c_str(), 1, false, 0);
    ASSERT_TRUE(bitmap.IsValid());
    EXPECT_EQ(bitmap.GetScale(), 2.f);
    EXPECT_EQ(bitmap.W(), 8);
    const auto loads = g.CallsNamed({"LoadAPIBitmap"});
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].text, folder.Path(c.loaded));
    EXPECT_EQ(loads[0].args[0], c.loadedScale);
    // Cached at the wanted scale: the second load finds it.
    g.ClearCalls();
    EXPECT_EQ(g.LoadBitmap(folder.Path("knob.png").c_str()).GetAPIBitmap(), bitmap.GetAPIBitmap());
    EXPECT_TRUE(g.CallsNamed({"LoadAPIBitmap"}).empty());
  }
  EXPECT_EQ(RecordingBitmap::Live(), 0);
}

TEST(IGraphics, NamesWithoutExtensionAreSearchedWholeOrWithScale) {
  TempFolder folder("tarvex_bitmap_stems");
  folder.Write("knob@2x");
  folder.Write("plain");
  TestDelegate delegate;
  RecordingGraphics g(delegate, 100, 100);
  StringBuffer location;
  int scale = 0;
  EXPECT_EQ(g.SearchImageResource(folder.Path("knob").c_str(), "", location, 2, scale),
            EResourceLocation::FilePath);
  EXPECT_EQ(scale, 2);
  EXPECT_EQ(std::string(location.Get()), folder.Path("knob@2x"));
  EXPECT_EQ(g.SearchImageResource(folder.Path("plain").c_str(), "", location, 2, scale),
            EResourceLocation::FilePath);
  EXPECT_EQ(scale, 1);
  EXPECT_EQ(g.SearchImageResource(folder.Path("none").c_str(), "", location, 1, scale),
            EResourceLocation::NotFound);
  EXPECT_EQ(g.SearchImageResource(folder.Path("plain").c_str(), "", location, 0, scale),
            EResourceLocation::NotFound);
  EXPECT_FALSE(g.LoadBitmap(folder.Path("plain").c_str()).IsValid());
}

TEST(IGraphics, BitmapFromDataAtAnotherScaleIsFreedOnce) {
  const unsigned char bytes[] = {1, 2, 3, 4};
  {
    TestDelegate delegate;
    RecordingGraphics g(delegate, 100, 100);
    g.SetScales(2.f, 1.f);
    const IBitmap bitmap = g.LoadBitmapFromData("data.png", bytes, 4);
    ASSERT_TRUE(bitmap.IsValid());
    EXPECT_EQ(bitmap.GetScale(), 2.f);
    EXPECT_EQ(bitmap.W(), 8);
    EXPECT_EQ(RecordingBitmap::Live(), 2);
    EXPECT_EQ(g.LoadBitmapFromData("data.png", bytes, 4).GetAPIBitmap(), bitmap.GetAPIBitmap());
    EXPECT_EQ(g.CallsNamed({"LoadAPIBitmapFromData"}).size(), 1u);
    EXPECT_FALSE(g.LoadBitmapFromData("data.gif", bytes, 4).IsValid());
    g.ReleaseBitmap(bitmap.GetAPIBitmap());
    EXPECT_EQ(RecordingBitmap::Live(), 1);
  }
  EXPECT_EQ(RecordingBitmap::Live(), 0);
}

TEST(IGraphics, SVGIsParsedOnceAndCachesLiveWhileAnEditorIsOpen) {
  TempFolder folder("tarvex_svg");
  const std::string file = folder.Write("logo.svg", kSquareSVG);
  TestDelegate delegate;
  auto first = std::make_unique<RecordingGraphics>(delegate, 100, 100);
  const ISVG fromFile = first->LoadSVG(file.c_str());
  ASSERT_TRUE(fromFile.IsValid());
  EXPECT_FLOAT_EQ(fromFile.W(), 100.f);
  EXPECT_FLOAT_EQ(fromFile.H(), 50.f);
  EXPECT_EQ(first->LoadSVG(file.c_str()).image, fromFile.image);

  const ISVG fromData = first->LoadSVGFromData("inline", kSquareSVG, sizeof(kSquareSVG) - 1);
  EXPECT_EQ(first->LoadSVGFromData("inline", "<svg/>", 6).image, fromData.image);
  EXPECT_FALSE(first->LoadSVGFromData("broken", "not svg", 7).IsValid());
  EXPECT_FALSE(first->LoadSVG(folder.Path("missing.svg").c_str()).IsValid());
  EXPECT_EQ(GetSVGCache().Size(), 2);

  const unsigned char bytes[] = {1};
  first->LoadBitmapFromData("one.png", bytes, 1, 1, false, 1);
  EXPECT_EQ(GetBitmapCache().Size(), 1);

  auto second = std::make_unique<RecordingGraphics>(delegate, 100, 100);
  first.reset();
  EXPECT_EQ(GetSVGCache().Size(), 2);
  EXPECT_EQ(GetBitmapCache().Size(), 1);
  second.reset();
  EXPECT_EQ(GetSVGCache().Size(), 0);
  EXPECT_EQ(GetBitmapCache().Size(), 0);
  EXPECT_EQ(RecordingBitmap::Live(), 0);
}

// A file path is UTF-8 and is read whole in any script.
TEST(IGraphics, ResourceFilesLoadFromNonAsciiPaths) {
  const fs::path folder =
      fs::temp_directory_path() / fs::u8path("r\xC3\xA9sum\xC3\xA9 \xE6\x89\xAC \xF0\x9F\x8E\xA4");
  fs::create_directories(folder);
  const fs::path file = folder / fs::u8path(
                                     "Gr\xC3\xB6\xC3\x9F"
                                     "e \xE2\x82\xAC.svg");
  std::ofstream(file, std::ios::binary) << kSquareSVG;
  TestDelegate delegate;
  RecordingGraphics g(delegate, 100, 100);
  HeapBuffer data(4096);
  g.LoadResource(file.u8string().c_str(), "svg", data);
  const std::string loaded(reinterpret_cast<const char*>(data.Data()),
                           static_cast<size_t>(data.Size()));
  fs::remove_all(folder);
  EXPECT_EQ(loaded, kSquareSVG);
}

TEST(IGraphics, FontsGoThroughThePlatformThenTheBackEnd) {
  TestDelegate delegate;
  RecordingGraphics g(delegate, 100, 100);
  EXPECT_TRUE(g.LoadFont("Sans", "Roboto-Regular.ttf"));
  EXPECT_EQ(g.OpNames(), (std::vector<std::string>{"LoadPlatformFontFromFile", "LoadAPIFont",
                                                   "CachePlatformFont"}));
  g.ClearCalls();
  g.SetRefuseFonts(true);
  EXPECT_FALSE(g.LoadFont("Sans", "Roboto-Regular.ttf"));
  EXPECT_TRUE(g.CallsNamed({"CachePlatformFont"}).empty());
  g.ClearCalls();
  EXPECT_FALSE(g.LoadFont("Sans", ""));
  EXPECT_TRUE(g.CallsNamed({"LoadAPIFont"}).empty());
}

} // namespace
} // namespace plugkit::igraphics
