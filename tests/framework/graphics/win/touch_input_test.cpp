#include "tests/framework/graphics/win/editor_window_fixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace plugkit::igraphics {
namespace {

using test::TestParentWindow;
using testing::WindowTestDelegate;

struct TouchEvent {
  char kind; // 'd'own, 'm'ove (drag), 'u'p
  float x, y, dX, dY;
  int64_t id;
};

bool operator==(const TouchEvent& a, const TouchEvent& b) {
  return a.kind == b.kind && a.x == b.x && a.y == b.y && a.dX == b.dX && a.dY == b.dY &&
         a.id == b.id;
}

std::ostream& operator<<(std::ostream& out, const TouchEvent& e) {
  return out << e.kind << " #" << e.id << " (" << e.x << ", " << e.y << ") d(" << e.dX << ", "
             << e.dY << ")";
}

class TouchRecordingControl : public IControl {
public:
  explicit TouchRecordingControl(const IRect& bounds) : IControl(bounds) {}
  void Draw(IGraphics&) override {}
  void OnMouseDown(float x, float y, const IMouseMod& mod) override {
    events.push_back({'d', x, y, 0.f, 0.f, mod.touchID});
  }
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override {
    events.push_back({'m', x, y, dX, dY, mod.touchID});
  }
  void OnMouseUp(float x, float y, const IMouseMod& mod) override {
    events.push_back({'u', x, y, 0.f, 0.f, mod.touchID});
  }

  std::vector<TouchEvent> events;
};

// A contact in the editor window's client pixels.
struct Contact {
  DWORD id;
  DWORD flags;
  int x, y;
};

// Stand-ins for user32's touch functions: the contacts of the message being
// handled, and every handle read and closed.
struct FakeTouch {
  static inline HWND window = nullptr;
  static inline std::vector<Contact> contacts;
  static inline bool readSucceeds = true;
  static inline std::vector<HTOUCHINPUT> read;
  static inline std::vector<HTOUCHINPUT> closed;

  static BOOL WINAPI GetInfo(HTOUCHINPUT handle, UINT count, PTOUCHINPUT inputs, int size) {
    read.push_back(handle);
    if (!readSucceeds || count != contacts.size() || size != sizeof(TOUCHINPUT)) return FALSE;
    for (UINT i = 0; i < count; ++i) {
      POINT p{contacts[i].x, contacts[i].y};
      ClientToScreen(window, &p);
      inputs[i] = TOUCHINPUT{};
      inputs[i].x = p.x * 100;
      inputs[i].y = p.y * 100;
      inputs[i].dwID = contacts[i].id;
      inputs[i].dwFlags = contacts[i].flags;
    }
    return TRUE;
  }
  static BOOL WINAPI Close(HTOUCHINPUT handle) {
    closed.push_back(handle);
    return TRUE;
  }
};

constexpr DWORD kDown = TOUCHEVENTF_DOWN;
constexpr DWORD kMove = TOUCHEVENTF_MOVE;
constexpr DWORD kUp = TOUCHEVENTF_UP;

TEST(TouchInput, ContactsReachTheControlsUnderThemAndEveryHandleIsClosed) {
  TestParentWindow parent;
  WindowTestDelegate delegate;
  TouchRecordingControl* left = nullptr;
  TouchRecordingControl* right = nullptr;
  delegate.configure = [](IGraphicsWin& g) {
    g.SetTouchFunctions(TouchFunctions{FakeTouch::GetInfo, FakeTouch::Close});
  };
  delegate.layout = [&](IGraphics& g) {
    left = new TouchRecordingControl(IRect(20, 150, 120, 250));
    right = new TouchRecordingControl(IRect(220, 150, 320, 250));
    g.AttachControl(left);
    g.AttachControl(right);
  };
  FakeTouch::window = static_cast<HWND>(delegate.OpenEditor(parent.Get()));
  ASSERT_NE(FakeTouch::window, nullptr);
  // The contacts below are in window pixels, which are editor units only at
  // scale 1.
  ASSERT_EQ(delegate.Graphics()->GetTotalScale(), 1.f);

  struct Step {
    const char* what;
    bool readSucceeds;
    std::vector<Contact> contacts;
    std::vector<TouchEvent> left, right;
  };
  const std::vector<Step> steps = {
      {"two fingers go down, one on each control",
       true,
       {{1, kDown, 40, 170}, {2, kDown, 240, 170}},
       {{'d', 40, 170, 0, 0, 1}},
       {{'d', 240, 170, 0, 0, 2}}},
      {"both move; each drag is measured from that finger's last point",
       true,
       {{1, kMove, 50, 185}, {2, kMove, 230, 160}},
       {{'m', 50, 185, 10, 15, 1}},
       {{'m', 230, 160, -10, -10, 2}}},
      {"the contacts cannot be read", false, {{1, kMove, 90, 200}, {2, kUp, 230, 160}}, {}, {}},
      {"the first leaves its control, still held by it, as the second lifts",
       true,
       {{1, kMove, 150, 200}, {2, kUp, 230, 160}},
       {{'m', 150, 200, 100, 15, 1}},
       {{'u', 230, 160, 0, 0, 2}}},
      {"the first lifts outside its control",
       true,
       {{1, kUp, 150, 200}},
       {{'u', 150, 200, 0, 0, 1}},
       {}},
  };

  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE(step.what);
    left->events.clear();
    right->events.clear();
    FakeTouch::read.clear();
    FakeTouch::closed.clear();
    FakeTouch::contacts = step.contacts;
    FakeTouch::readSucceeds = step.readSucceeds;
    const auto handle = reinterpret_cast<HTOUCHINPUT>(0x7000 + i);
    SendMessageW(FakeTouch::window, WM_TOUCH, MAKEWPARAM(step.contacts.size(), 0),
                 reinterpret_cast<LPARAM>(handle));
    EXPECT_EQ(FakeTouch::read, std::vector<HTOUCHINPUT>{handle});
    EXPECT_EQ(FakeTouch::closed, std::vector<HTOUCHINPUT>{handle});
    EXPECT_EQ(left->events, step.left);
    EXPECT_EQ(right->events, step.right);
  }

  delegate.CloseEditor();
}

} // namespace
} // namespace plugkit::igraphics
