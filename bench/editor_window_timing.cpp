// Frames per second and CPU time per frame of the Tarvex editor in its Win32
// window while the engine publishes a live spectrum from an audio thread.
// Run under Wine with an X server: wine-run PREFIX editor_window_timing.exe [seconds]
#include "tests/tarvex/editor/window_tarvex.h"

#include "tarvex/editor/editor_layout.h"
#include "tests/support/win/test_parent_window.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

namespace {

using plugkit::igraphics::IGraphicsWin;
using plugkit::test::TestParentWindow;
using tarvex::testing::WindowTarvex;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto toSeconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) *
           1e-7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

// Counts frames and the time spent drawing them.
class CountingGraphics : public IGraphicsWin {
public:
  using IGraphicsWin::IGraphicsWin;
  void BeginFrame() override {
    QueryPerformanceCounter(&start_);
    IGraphicsWin::BeginFrame();
  }
  void EndFrame() override {
    IGraphicsWin::EndFrame();
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    drawSeconds += Seconds(start_, end);
    ++frames;
  }
  int frames = 0;
  double drawSeconds = 0.0;

private:
  LARGE_INTEGER start_{};
};

} // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  const TestParentWindow parent(tarvex::kEditorWidth, tarvex::kEditorHeight);
  CountingGraphics* graphics = nullptr;
  WindowTarvex plugin([&graphics](WindowTarvex& p) {
    graphics = new CountingGraphics(p, tarvex::kEditorWidth, tarvex::kEditorHeight,
                                    tarvex::kEditorFps, 1.f);
    return graphics;
  });
  plugin.Activate(48000.0);
  if (!plugin.OpenEditor(parent.Get()) || !graphics) {
    std::fprintf(stderr, "the editor window could not be opened\n");
    return 1;
  }

  // Pink-ish noise with a slowly growing 1 kHz tone, in real time.
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::minstd_rand random(1);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    long blocks = 0;
    while (!stop) {
      plugin.Process(512, [&](long n) {
        const double t = static_cast<double>(n) / 48000.0;
        return noise(random) + static_cast<float>(0.01 * (1.0 + t) * std::sin(6283.185307 * t));
      });
      ++blocks;
      QueryPerformanceCounter(&now);
      const double ahead = static_cast<double>(blocks) * 512.0 / 48000.0 - Seconds(start, now);
      if (ahead > 0.0) Sleep(static_cast<DWORD>(ahead * 1000.0));
    }
  });

  LARGE_INTEGER begin, end;
  QueryPerformanceCounter(&begin);
  const double cpuBegin = ThreadCpuSeconds();
  const int framesBegin = graphics->frames;
  const double drawBegin = graphics->drawSeconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
      QueryPerformanceCounter(&end);
      if (Seconds(begin, end) >= seconds) break;
    }
    Sleep(1);
    QueryPerformanceCounter(&end);
  } while (Seconds(begin, end) < seconds);
  const double cpu = ThreadCpuSeconds() - cpuBegin;
  const double wall = Seconds(begin, end);
  const int frames = graphics->frames - framesBegin;
  const double draw = graphics->drawSeconds - drawBegin;
  stop = true;
  audio.join();

  std::printf("editor window %dx%d, %s display tick, %.1f s with a live spectrum\n",
              tarvex::kEditorWidth, tarvex::kEditorHeight,
              graphics->UsesVerticalBlank() ? "vertical-blank" : "timer", wall);
  std::printf("frames: %d (%.1f per second)\n", frames, frames / wall);
  if (frames > 0) {
    std::printf("user-interface thread CPU per frame: %.2f ms\n", 1000.0 * cpu / frames);
    std::printf("drawing time per frame (frame start to end): %.2f ms\n", 1000.0 * draw / frames);
  }
  plugin.CloseEditor();
  return 0;
}
