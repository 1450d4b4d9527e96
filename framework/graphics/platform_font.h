#pragma once

namespace plugkit::igraphics {

// A font the platform layer loaded from a file, a resource, memory or the
// installed families; the platform derives its own kind of font from it.
class PlatformFont {
public:
  PlatformFont() = default;
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;
  virtual ~PlatformFont() = default;

  // The platform's font handle; none in the base.
  virtual void* GetHandle() const { return nullptr; }
};

} // namespace plugkit::igraphics
