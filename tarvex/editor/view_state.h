#pragma once

#include "framework/graphics/igraphics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvex {

constexpr int kGlobalPageCount = 3;
constexpr int kPageCount = 27;

// What the controls of one open editor share: the shown page, the selected
// slot, the destructive action armed for confirmation, the help strip and
// the parameter controls with their pages. It lives as long as the last
// control holding it, so it goes with the editor.
class ViewState {
public:
  struct PageControl {
    plugkit::igraphics::IControl* control;
    int page;
  };

  static constexpr std::int64_t kConfirmWindowNs = 6'000'000'000;

  ViewState();

  // Hides every registered control not on the selected page, shows the
  // others and redraws everything.
  void ShowPage(plugkit::igraphics::IGraphics& g);
  void SelectSlot(int slot, plugkit::igraphics::IGraphics& g);
  void SetHelp(const char* title, const char* text);
  // Arms the action while audio is coming out and the same code is not
  // already armed; true when the action may run now.
  bool ConfirmAction(int code, bool outputPresent);
  // Whether the code is armed and its deadline not passed.
  bool IsArmed(int code) const;

  int selectedPage = 0;
  int selectedSlot = 0;
  int pendingConfirm = 0;
  std::int64_t confirmDeadline = 0;
  std::string helpTitle;
  std::string helpText;
  std::vector<PageControl> pageControls;
};

// The steady clock in nanoseconds.
std::int64_t SteadyNowNs();

// Attaches a parameter control and registers it with its page.
void AttachPageControl(plugkit::igraphics::IGraphics& g, plugkit::igraphics::IControl* control,
                       int page, ViewState& view);

} // namespace tarvex
