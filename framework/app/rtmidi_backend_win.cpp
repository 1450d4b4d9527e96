#include "framework/app/rtmidi_backend_win.h"

#include "RtMidi.h"

#include <exception>
#include <iostream>
#include <utility>

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

// The port handling that the library's input and output objects share.
template <typename Interface, typename Midi>
class RtMidiPortBackend : public Interface {
public:
  std::vector<std::string> PortNames() override {
    std::vector<std::string> names;
    Guarded([&] {
      const unsigned int count = midi_.getPortCount();
      for (unsigned int i = 0; i < count; ++i) names.push_back(midi_.getPortName(i));
      return true;
    });
    return names;
  }
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

protected:
  template <typename... Args>
  explicit RtMidiPortBackend(Args&&... args) : midi_(std::forward<Args>(args)...) {}

  Midi& Library() { return midi_; }

private:
  Midi midi_;
};

class RtMidiInBackend : public RtMidiPortBackend<MidiInBackend, RtMidiIn> {
public:
  RtMidiInBackend()
      : RtMidiPortBackend(RtMidi::UNSPECIFIED, "RtMidi Input Client", kInputQueueLimit) {}

  void SetCallback(MidiInputCallback callback, void* userData) override {
    Guarded([&] {
      Library().setCallback(callback, userData);
      Library().ignoreTypes(false, true, false);
      return true;
    });
  }
  void CancelCallback() override {
    Guarded([&] {
      Library().cancelCallback();
      return true;
    });
  }
};

class RtMidiOutBackend : public RtMidiPortBackend<MidiOutBackend, RtMidiOut> {
public:
  RtMidiOutBackend() : RtMidiPortBackend(RtMidi::UNSPECIFIED, "RtMidi Output Client") {}

  bool Send(const unsigned char* bytes, size_t size) override {
    return Guarded([&] {
      if (!Library().isPortOpen()) return false;
      Library().sendMessage(bytes, size);
      return true;
    });
  }
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
