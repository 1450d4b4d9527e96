#include "framework/core/win_profile.h"
#include "framework/core/win_files.h"

#include "tests/support/win/scratch_folder.h"
#include "tests/support/win/utf16_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace plugkit {
namespace {

using test::ReadUtf16File;
using test::ScratchFolder;
using test::WriteUtf16File;

// A profile in a folder whose name holds multi-byte text, so the wide calls
// are taken.
class Utf8Profile : public testing::Test {
protected:
  ScratchFolder scratch_{"profile caf\xC3\xA9"};
  const std::string file_ = scratch_.Path() + "\\settings \xE2\x82\xAC.ini";
};

TEST_F(Utf8Profile, RoundTripsTextsAndNumbers) {
  const char* value = "Mikrofon (caf\xC3\xA9) \xE2\x82\xAC";
  ASSERT_TRUE(Utf8WritePrivateProfileString("Audio", "Device", value, file_.c_str()));
  ASSERT_TRUE(Utf8WritePrivateProfileString("Audio", "Rate", "48000", file_.c_str()));
  char out[64];
  EXPECT_EQ(Utf8GetPrivateProfileString("Audio", "Device", "", out, sizeof out, file_.c_str()),
            std::strlen(value));
  EXPECT_STREQ(out, value);
  EXPECT_EQ(Utf8GetPrivateProfileInt("Audio", "Rate", 0, file_.c_str()), 48000u);
  EXPECT_EQ(Utf8GetPrivateProfileInt("Audio", "Missing", 7, file_.c_str()), 7u);
  Utf8GetPrivateProfileString("Audio", "Missing",
                              "d\xC3\xA9"
                              "faut",
                              out, sizeof out, file_.c_str());
  EXPECT_STREQ(out,
               "d\xC3\xA9"
               "faut");
}

TEST_F(Utf8Profile, ResultFitsTheBufferWithoutCuttingACharacter) {
  ASSERT_TRUE(Utf8WritePrivateProfileString("S", "K",
                                            "ab\xE2\x82\xAC"
                                            "cd",
                                            file_.c_str()));
  struct Case {
    DWORD size;
    const char* expected;
  };
  const Case cases[] = {{0, ""},
                        {1, ""},
                        {2, "a"},
                        {3, "ab"},
                        {5, "ab"},
                        {6, "ab\xE2\x82\xAC"},
                        {7,
                         "ab\xE2\x82\xAC"
                         "c"},
                        {8,
                         "ab\xE2\x82\xAC"
                         "cd"},
                        {100,
                         "ab\xE2\x82\xAC"
                         "cd"}};
  for (const Case& c : cases) {
    std::string out(110, '#');
    const DWORD length =
        Utf8GetPrivateProfileString("S", "K", "", out.data(), c.size, file_.c_str());
    EXPECT_EQ(length, std::strlen(c.expected)) << c.size;
    if (c.size > 0) {
      EXPECT_STREQ(out.c_str(), c.expected) << c.size;
    }
    EXPECT_EQ(out.substr(c.size), std::string(110 - c.size, '#')) << c.size;
  }
}

TEST_F(Utf8Profile, ListsNamesEachEndedByAZero) {
  ASSERT_TRUE(Utf8WritePrivateProfileString("S", "eins", "1", file_.c_str()));
  ASSERT_TRUE(Utf8WritePrivateProfileString("S", "zw\xC3\xB6lf", "12", file_.c_str()));
  const std::string names("eins\0zw\xC3\xB6lf\0", 12);
  char out[64];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(Utf8GetPrivateProfileString("S", nullptr, "", out, sizeof out, file_.c_str()), 12u);
  EXPECT_EQ(std::string(out, 14), names + std::string(2, '\0'));
  for (DWORD size : {1u, 2u}) {
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Utf8GetPrivateProfileString("S", nullptr, "", out, size, file_.c_str()), 0u);
    EXPECT_EQ(std::string(out, size + 1), std::string(size, '\0') + "#");
  }
}

TEST(Utf8ProfileAsciiPath, PlainTextsRoundTrip) {
  const ScratchFolder scratch("profile-ascii");
  const std::string file = scratch.Path() + "\\plain.ini";
  ASSERT_TRUE(Utf8WritePrivateProfileString("S", "K", "value", file.c_str()));
  char out[16];
  EXPECT_EQ(Utf8GetPrivateProfileString("S", "K", "", out, sizeof out, file.c_str()), 5u);
  EXPECT_STREQ(out, "value");
}

// A plain path must not send the texts through the system's code page: names
// in any script are stored and read whole in a UTF-16 file.
TEST(Utf8ProfileAsciiPath, TextsInAnyScriptRoundTripThroughAUtf16File) {
  const ScratchFolder scratch("profile-texts");
  const std::string file = scratch.Path() + "\\settings.ini";
  ASSERT_TRUE(WriteUtf16File(
      file,
      "[audio]\r\noutdev=Lautsprecher: \xE6\x89\xAC\xE5\xA3\xB0\xE5\x99\xA8\r\n"
      "[midi]\r\nindev=\xD0\x9A\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB8\xD1\x88\xD0\xB8\r\n"));
  char out[100];
  Utf8GetPrivateProfileString("audio", "outdev", "", out, sizeof out, file.c_str());
  EXPECT_STREQ(out, "Lautsprecher: \xE6\x89\xAC\xE5\xA3\xB0\xE5\x99\xA8");
  Utf8GetPrivateProfileString("midi", "indev", "", out, sizeof out, file.c_str());
  EXPECT_STREQ(out, "\xD0\x9A\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB8\xD1\x88\xD0\xB8");

  const char* device =
      "Mikrofon (Gr\xC3\xB6\xC3\x9F"
      "e 2) \xE2\x82\xAC";
  ASSERT_TRUE(Utf8WritePrivateProfileString("audio", "indev", device, file.c_str()));
  ASSERT_TRUE(Utf8WritePrivateProfileString("\xC3\xA9t\xC3\xA9", "cl\xC3\xA9", "7", file.c_str()));
  const std::string text = ReadUtf16File(file);
  for (const std::string& line : {std::string("indev=") + device,
                                  std::string("[\xC3\xA9t\xC3\xA9]"), std::string("cl\xC3\xA9=7")})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_EQ(Utf8GetPrivateProfileInt("\xC3\xA9t\xC3\xA9", "cl\xC3\xA9", 0, file.c_str()), 7u);
}

// A plain path of 256 bytes or more is out of reach of the narrow calls: it
// must be written and read back, not reported written and lost.
TEST(Utf8ProfileLongPath, AsciiPathsOfAnyLengthRoundTrip) {
  const ScratchFolder scratch("profile-long");
  for (const size_t pathBytes : {255u, 256u, 300u}) {
    // Folder names stay within the 255 units a name may have.
    std::string folder = scratch.Path() + "\\" + std::to_string(pathBytes);
    ASSERT_TRUE(Utf8CreateDirectory(folder.c_str(), nullptr)) << pathBytes;
    const size_t folderBytes = pathBytes - std::strlen("\\p.ini");
    while (folder.size() < folderBytes) {
      const size_t room = folderBytes - folder.size() - 1;
      folder += "\\" + std::string(room > 102 ? 100 : room, 'd');
      ASSERT_TRUE(Utf8CreateDirectory(folder.c_str(), nullptr)) << pathBytes;
    }
    const std::string file = folder + "\\p.ini";
    ASSERT_EQ(file.size(), pathBytes);
    ASSERT_TRUE(Utf8WritePrivateProfileString("S", "K", "value", file.c_str())) << pathBytes;
    ASSERT_TRUE(Utf8WritePrivateProfileString("S", "N", "42", file.c_str())) << pathBytes;
    char out[16] = {};
    EXPECT_EQ(Utf8GetPrivateProfileString("S", "K", "", out, sizeof out, file.c_str()), 5u)
        << pathBytes;
    EXPECT_STREQ(out, "value") << pathBytes;
    EXPECT_EQ(Utf8GetPrivateProfileInt("S", "N", 0, file.c_str()), 42u) << pathBytes;
  }
}

} // namespace
} // namespace plugkit
