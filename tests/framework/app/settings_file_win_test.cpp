#include "framework/app/settings_file_win.h"
#include "device_simulator.h"
#include "framework/app/app_host.h"
#include "framework/core/channel_io.h"
#include "framework/core/win_files.h"
#include "framework/core/win_shell.h"
#include "framework/core/win_text.h"
#include "stateful_plugin.h"
#include "tests/support/win/files.h"
#include "tests/support/win/utf16_file.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace plugkit {
namespace {

using test::FileExists;
using test::ReadUtf16File;

void WriteWholeFile(const std::string& path, const std::string& text) {
  FILE* file = Utf8Fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(folder + L"\\" + name);
      else
        DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

// A fresh folder of this test's own inside the system's temporary folder.
class SettingsFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    StringBuffer utf8;
    WideToUtf8(utf8, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = std::string(utf8.Get()) + "tarvex-settings-" + info->name() + "-" +
           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
    ASSERT_TRUE(Utf8CreateDirectory(root.c_str(), nullptr));
    host = AppHost::Create(test::MakeStereo);
  }
  void TearDown() override {
    AppHost::Destroy();
    HeapBuffer wide(4096);
    if (Utf8ToWide(wide, root.c_str()))
      RemoveTree(L"\\\\?\\" + std::wstring(reinterpret_cast<const wchar_t*>(wide.Data())));
  }

  // Creates each folder of the relative path below root in turn.
  std::string MakeFolders(const std::vector<std::string>& names) {
    std::string path = root;
    for (const std::string& name : names) {
      path += "\\" + name;
      EXPECT_TRUE(Utf8CreateDirectory(path.c_str(), nullptr)) << path;
    }
    return path;
  }
  void Reload(const std::string& parent, AppSettings& read) {
    std::unique_ptr<SettingsStore> store = OpenSettingsFile(parent.c_str(), "Tarvex");
    EXPECT_TRUE(store && store->HasSettings());
    if (store) ReadAppSettings(*store, read);
  }

  std::string root;
  AppHost* host = nullptr;
};

TEST_F(SettingsFileTest, AFirstStartMakesTheFolderAndStoresTheDefaults) {
  EXPECT_TRUE(host->LoadSettings(OpenSettingsFile(root.c_str(), "Tarvex")));
  EXPECT_TRUE(host->GetCurrentSettings().Equals(AppSettings()));
  const std::string text = ReadUtf16File(root + "\\Tarvex\\settings.ini");
  for (const char* line : {"[audio]", "driver=0", "indev=Default Device", "outdev=Default Device",
                           "in1=1", "in2=2", "out1=1", "out2=2", "buffer=512", "sr=44100", "[midi]",
                           "indev=off", "outdev=off", "inchan=0", "outchan=0"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_LT(text.find("[audio]"), text.find("[midi]"));
}

TEST_F(SettingsFileTest, AFolderWithoutTheFileKeepsTheRecordDefaults) {
  MakeFolders({"Tarvex"});
  std::unique_ptr<SettingsStore> store = OpenSettingsFile(root.c_str(), "Tarvex");
  ASSERT_NE(store, nullptr);
  EXPECT_FALSE(store->HasSettings());
  host->LoadSettings(std::move(store));
  EXPECT_STREQ(host->GetCurrentSettings().audioInDevice.Get(), "Default Device");
  EXPECT_TRUE(FileExists(root + "\\Tarvex\\settings.ini"));
}

TEST_F(SettingsFileTest, SettingsSurviveARestartInLongAndNonAsciiFolders) {
  const std::vector<std::vector<std::string>> parents = {
      {},
      {"R\xC3\xB6hre \xE9\x9F\xB3 \xF0\x9F\x8E\xA4"},
      {std::string(120, 'l'), "\xC3\xA9" + std::string(150, 'm')},
  };
  for (const std::vector<std::string>& names : parents) {
    const std::string parent = MakeFolders(names);
    AppHost::Destroy();
    host = AppHost::Create(test::MakeStereo);
    host->LoadSettings(OpenSettingsFile(parent.c_str(), "Tarvex"));
    AppSettings& current = host->GetCurrentSettings();
    current.audioInDevice.Set(
        "Mikrofon (Gr\xC3\xB6\xC3\x9F"
        "e 2) \xE2\x82\xAC");
    current.audioOutDevice.Set("Lautsprecher: \xE6\x89\xAC\xE5\xA3\xB0\xE5\x99\xA8");
    // Blanks and quotes around a name are part of it.
    current.midiInDevice.Set(" Main L/R (USB Audio)");
    current.midiOutDevice.Set("\"Keys\" 1\xE3\x80\x80");
    current.sampleRate = 96000;
    current.bufferSize = 64;
    current.midiOutChannel = 16;
    host->SaveSettings();
    AppSettings read;
    Reload(parent, read);
    EXPECT_TRUE(read.Equals(current)) << parent << "\n"
                                      << read.audioInDevice.Get() << "\n"
                                      << read.audioOutDevice.Get();
  }
}

// A text editor may save the file in UTF-8, with or without a byte order
// mark, in either order of UTF-16, or in the system's code page.
TEST_F(SettingsFileTest, AFileIsReadInTheEncodingItIsInAndKeptInUtf16) {
  const std::string keys = "\xD0\x9A\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB8\xD1\x88\xD0\xB8";
  const std::string line = "[midi]\r\nindev=";
  std::string bigEndian = "\xFE\xFF";
  for (const wchar_t unit : L"[midi]\r\nindev=\u041A\u043B\u0430\u0432\u0438\u0448\u0438\r\n")
    if (unit) bigEndian += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  ASSERT_EQ(GetACP(), 1252u) << "the code page row is written for Windows-1252";
  const std::pair<std::string, std::string> cases[] = {
      {line + keys + "\r\n", keys},
      {"\xEF\xBB\xBF" + line + keys + "\r\n", keys},
      {bigEndian, keys},
      {line + "Kopfh\xF6rer\r\n", "Kopfh\xC3\xB6rer"}};
  const std::string file = MakeFolders({"Tarvex"}) + "\\settings.ini";
  for (const auto& [bytes, name] : cases) {
    WriteWholeFile(file, bytes);
    host->LoadSettings(OpenSettingsFile(root.c_str(), "Tarvex"));
    EXPECT_EQ(host->GetCurrentSettings().midiInDevice.Get(), name) << bytes;
    const std::string text = ReadUtf16File(file);
    EXPECT_NE(text.find(line + name + "\r\n"), std::string::npos) << text;
  }
}

TEST_F(SettingsFileTest, ADamagedFileGivesDefaultsForWhatItCannotSay) {
  const std::string folder = MakeFolders({"Tarvex"});
  const std::string file = folder + "\\settings.ini";
  const std::string damaged = std::string("\x01\x80\xFFgarbage\r\n") +
                              "[audio]\r\nsr=abc\r\nbuffer=99999999999\r\nin1=-4\r\nout2=3\r\n"
                              "indev=" +
                              std::string(130, 'q') +
                              "\r\nvolume=11\r\n[midi\r\n"
                              "inchan=5\r\n[other]\r\noutdev=Elsewhere\r\n";
  WriteWholeFile(file, damaged);
  host->LoadSettings(OpenSettingsFile(root.c_str(), "Tarvex"));
  const AppSettings& current = host->GetCurrentSettings();
  EXPECT_EQ(current.sampleRate, 44100);
  EXPECT_EQ(current.bufferSize, 512);
  EXPECT_EQ(current.audioIn1, 1);
  EXPECT_EQ(current.audioOut2, 3);
  EXPECT_EQ(std::string(current.audioInDevice.Get()), std::string(99, 'q'));
  EXPECT_STREQ(current.audioOutDevice.Get(), "Built-in Output");
  EXPECT_STREQ(current.midiOutDevice.Get(), "no output");
  // Rewritten whole: every key can be read back as it is now held.
  AppSettings read;
  Reload(root, read);
  EXPECT_TRUE(read.Equals(current));
}

// Starting without devices, as with "--no-io" or "--screenshot", runs the
// whole device start-up and must leave the stored choices as they were.
TEST_F(SettingsFileTest, StartingWithoutDevicesKeepsTheStoredChoices) {
  const std::string folder = MakeFolders({"Tarvex"});
  WriteWholeFile(folder + "\\settings.ini",
                 "[audio]\r\nindev=Interface In\r\noutdev=Interface Out\r\ndriver=0\r\n"
                 "[midi]\r\nindev=Keys\r\noutdev=Synth\r\n");
  for (const bool screenshot : {false, true}) {
    AppHost::Destroy();
    host = AppHost::Create(test::MakeStereo);
    if (screenshot)
      host->SetScreenshotPath("shot.png");
    else
      host->SetNoIO(true);
    host->LoadSettings(OpenSettingsFile(root.c_str(), "Tarvex"));
    host->ResetAudioDriver();
    host->ProbeAudioDevices();
    host->CreateMidiPorts();
    host->ProbeMidiPorts();
    host->SelectMidiPort(kDirectionInput, host->GetCurrentSettings().midiInDevice.Get());
    host->SelectMidiPort(kDirectionOutput, host->GetCurrentSettings().midiOutDevice.Get());
    EXPECT_TRUE(host->StartAudio());
    AppSettings read;
    Reload(root, read);
    EXPECT_STREQ(read.audioInDevice.Get(), "Interface In");
    EXPECT_STREQ(read.audioOutDevice.Get(), "Interface Out");
    EXPECT_STREQ(read.midiInDevice.Get(), "Keys");
    EXPECT_STREQ(read.midiOutDevice.Get(), "Synth");
  }
}

std::unique_ptr<IPluginApp> MakeNamedProduct(const InstanceInfo& info) {
  PlugConfig config = test::StatefulConfig("2-2");
  config.productName = "Tarvex Settings Test";
  return std::make_unique<test::StatefulPlugin>(info, config);
}

TEST_F(SettingsFileTest, TheProgramsFileLivesInTheLocalApplicationDataFolder) {
  host = AppHost::Create(MakeNamedProduct);
  char folder[MAX_PATH * 4];
  ASSERT_TRUE(Utf8GetSpecialFolderPath(nullptr, folder, sizeof folder, CSIDL_LOCAL_APPDATA, false));
  const std::string file = std::string(folder) + "\\Tarvex Settings Test\\settings.ini";
  const bool existed = FileExists(file);
  EXPECT_TRUE(host->LoadSettings());
  EXPECT_TRUE(FileExists(file));
  HeapBuffer wide(4096);
  if (!existed && Utf8ToWide(wide, (std::string(folder) + "\\Tarvex Settings Test").c_str()))
    RemoveTree(reinterpret_cast<const wchar_t*>(wide.Data()));
}

} // namespace
} // namespace plugkit
