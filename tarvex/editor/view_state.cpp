#include "tarvex/editor/view_state.h"

#include <chrono>

namespace tarvex {

using plugkit::igraphics::IControl;
using plugkit::igraphics::IGraphics;

ViewState::ViewState()
    : helpTitle("LISTEN / IDENTIFY / CONTROL"),
      helpText(
          "Select a stable slot. Start Learn is deliberate; Fixed and Live filters differ. Real "
          "FFT "
          "and applied response require running audio. No test signal is generated.") {}

std::int64_t SteadyNowNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

void ViewState::ShowPage(IGraphics& g) {
  for (const PageControl& entry : pageControls)
    entry.control->Hide(entry.page >= 0 && entry.page != selectedPage);
  g.SetAllControlsDirty();
}

void ViewState::SelectSlot(int slot, IGraphics& g) {
  selectedSlot = slot;
  selectedPage = slot + kGlobalPageCount;
  pendingConfirm = 0;
  ShowPage(g);
  SetHelp("24 STABLE FILTER SLOTS",
          "Manual enable reserves the selected slot. Learned Fixed and adaptive Live values are "
          "actual engine state, not rewritten automation. Inactive manual controls retain their "
          "values.");
}

void ViewState::SetHelp(const char* title, const char* text) {
  helpTitle = title;
  helpText = text;
}

bool ViewState::ConfirmAction(int code, bool outputPresent) {
  if (outputPresent) {
    const std::int64_t now = SteadyNowNs();
    if (code != pendingConfirm || now >= confirmDeadline) {
      pendingConfirm = code;
      confirmDeadline = now + kConfirmWindowNs;
      SetHelp("CONFIRM REMOVING ACTIVE FILTERS",
              "Clearing learned filters or bypassing can expose feedback again. Click the same "
              "highlighted action within six seconds to confirm; no test signal is generated.");
      return false;
    }
  }
  pendingConfirm = 0;
  return true;
}

bool ViewState::IsArmed(int code) const {
  return code != 0 && code == pendingConfirm && SteadyNowNs() < confirmDeadline;
}

void AttachPageControl(IGraphics& g, IControl* control, int page, ViewState& view) {
  g.AttachControl(control, -1, "");
  view.pageControls.push_back({control, page});
}

} // namespace tarvex
