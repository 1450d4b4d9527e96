#pragma once

namespace plugkit::igraphics {

// OLE on the calling thread for the scope of a shell dialog or a drag;
// undone only when this scope was the one to set it up.
class OleScope {
public:
  OleScope();
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;
  ~OleScope();

private:
  bool initialised_;
};

} // namespace plugkit::igraphics
