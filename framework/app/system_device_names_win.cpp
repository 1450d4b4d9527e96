#include "framework/app/system_device_names_win.h"

#include "framework/core/string_buffer.h"
#include "framework/core/win_text.h"

#include <windows.h>

#include <dsound.h>

#include <algorithm>
#include <map>
#include <utility>

namespace plugkit {

namespace {

std::string CodePageForm(const std::wstring& name) {
  const int bytes = WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, text.data(), bytes, nullptr, nullptr);
  text.resize(static_cast<size_t>(bytes - 1));
  return text;
}

std::string Utf8(const wchar_t* wide) {
  StringBuffer text;
  WideToUtf8(text, wide);
  return text.Get();
}

std::string CodePageToUtf8(const std::string& name) {
  return Utf8(CodePageToWide(name.data(), static_cast<int>(name.size())).c_str());
}

// Takes the system's name for the device the library calls `name` out of the
// names of its direction.
std::string TakeSystemName(const std::string& name, std::vector<std::wstring>& names) {
  const auto firstWhose = [&](bool whole) {
    return std::find_if(names.begin(), names.end(), [&](const std::wstring& candidate) {
      const std::string form = CodePageForm(candidate);
      return whole ? form == name : form.compare(0, name.size(), name) == 0;
    });
  };
  auto found = firstWhose(true);
  if (found == names.end() && !name.empty()) found = firstWhose(false);
  if (found == names.end()) return CodePageToUtf8(name);
  std::string utf8 = Utf8(found->c_str());
  names.erase(found);
  return utf8;
}

class SystemNamedAudio : public AudioBackend {
public:
  SystemNamedAudio(std::unique_ptr<AudioBackend> library, SystemDeviceNames (*enumerate)())
      : library_(std::move(library)), enumerate_(enumerate) {}

  std::vector<unsigned int> DeviceIds() override {
    std::vector<unsigned int> ids = library_->DeviceIds();
    SystemDeviceNames system = enumerate_();
    names_.clear();
    for (const unsigned int id : ids) {
      const AudioDeviceInfo info = library_->DeviceInfo(id);
      names_[id] =
          TakeSystemName(info.name, info.inputChannels > 0 ? system.inputs : system.outputs);
    }
    return ids;
  }

  AudioDeviceInfo DeviceInfo(unsigned int id) override {
    AudioDeviceInfo info = library_->DeviceInfo(id);
    const auto named = names_.find(id);
    info.name = named != names_.end() ? named->second : CodePageToUtf8(info.name);
    return info;
  }

  bool OpenStream(const AudioStreamSetup& setup, unsigned int& bufferFrames,
                  AppHost* host) override {
    return library_->OpenStream(setup, bufferFrames, host);
  }
  bool StartStream() override { return library_->StartStream(); }
  void StopStream() override { library_->StopStream(); }
  void AbortStream() override { library_->AbortStream(); }
  void CloseStream() override { library_->CloseStream(); }
  bool IsStreamOpen() const override { return library_->IsStreamOpen(); }
  bool IsStreamRunning() const override { return library_->IsStreamRunning(); }
  std::string ErrorText() const override { return library_->ErrorText(); }

private:
  std::unique_ptr<AudioBackend> library_;
  SystemDeviceNames (*enumerate_)();
  // The names of the devices the last DeviceIds listed.
  std::map<unsigned int, std::string> names_;
};

BOOL CALLBACK CollectName(LPGUID, LPCWSTR description, LPCWSTR, LPVOID names) {
  try {
    static_cast<std::vector<std::wstring>*>(names)->emplace_back(description ? description : L"");
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

} // namespace

SystemDeviceNames EnumerateDirectSoundNames() {
  SystemDeviceNames names;
  DirectSoundEnumerateW(CollectName, &names.outputs);
  DirectSoundCaptureEnumerateW(CollectName, &names.inputs);
  return names;
}

std::unique_ptr<AudioBackend> WithSystemDeviceNames(std::unique_ptr<AudioBackend> library,
                                                    SystemDeviceNames (*enumerate)()) {
  if (!library) return nullptr;
  return std::make_unique<SystemNamedAudio>(std::move(library), enumerate);
}

} // namespace plugkit
