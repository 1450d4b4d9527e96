#include "framework/app/rtmidi_backend_win.h"

#include "RtMidi.h"

#include <exception>
#include <iostream>

namespace plugkit {

namespace {

// MIDI input waiting to be delivered, in messages, before the library drops.
constexpr unsigned int kInputQueueLimit = 100;

// The library throws its errors; they are written out and the call fails.
template <typename Call>
bool Guarded(Call&& call) {
  try {
    return call();
  } catch (const RtMidiError& e) {
    e.printMessage();
  } catch (const std::exception& e) {
    std::cerr << '\n' << e.what() << "\n\n";
  }
  return false;
}

template <typename Ports>
std::vector<std::string> ListPortNames(Ports& ports) {
  std::vector<std::string> names;
  Guarded([&] {
    const unsigned int count = ports.getPortCount();
    for (unsigned int i = 0; i < count; ++i) names.push_back(ports.getPortName(i));
    return true;
  });
  return names;
}

class RtMidiInBackend : public MidiInBackend {
public:
  RtMidiInBackend() : midi_(RtMidi::UNSPECIFIED, "RtMidi Input Client", kInputQueueLimit) {}

  std::vector<std::string> PortNames() override { return ListPortNames(midi_); }
  bool OpenPort(unsigned int index, const char* name) override {
    return Guarded([&] {
      midi_.openPort(index, name);
      return midi_.isPortOpen();
    });
  }
  void ClosePort() override {
    Guarded([&] {
      midi_.closePort();
      return true;
    });
  }
  void SetCallback(MidiInputCallback callback, void* userData) override {
    Guarded([&] {
      midi_.setCallback(callback, userData);
      midi_.ignoreTypes(false, true, false);
      return true;
    });
  }
  void CancelCallback() override {
    Guarded([&] {
      midi_.cancelCallback();
      return true;
    });
  }

private:
  RtMidiIn midi_;
};

class RtMidiOutBackend : public MidiOutBackend {
public:
  RtMidiOutBackend() : midi_(RtMidi::UNSPECIFIED, "RtMidi Output Client") {}

  std::vector<std::string> PortNames() override { return ListPortNames(midi_); }
  bool OpenPort(unsigned int index, const char* name) override {
    return Guarded([&] {
      midi_.openPort(index, name);
      return midi_.isPortOpen();
    });
  }
  void ClosePort() override {
    Guarded([&] {
      midi_.closePort();
      return true;
    });
  }
  bool Send(const unsigned char* bytes, size_t size) override {
    return Guarded([&] {
      if (!midi_.isPortOpen()) return false;
      midi_.sendMessage(bytes, size);
      return true;
    });
  }

private:
  RtMidiOut midi_;
};

template <typename Backend, typename Base>
std::unique_ptr<Base> Make() {
  std::unique_ptr<Base> backend;
  Guarded([&] {
    backend = std::make_unique<Backend>();
    return true;
  });
  return backend;
}

} // namespace

std::unique_ptr<MidiInBackend> MakeRtMidiInBackend() {
  return Make<RtMidiInBackend, MidiInBackend>();
}

std::unique_ptr<MidiOutBackend> MakeRtMidiOutBackend() {
  return Make<RtMidiOutBackend, MidiOutBackend>();
}

} // namespace plugkit
