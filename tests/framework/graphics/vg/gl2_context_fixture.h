#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/graphics/vg/vg_context.h"
#include "tests/support/gl/headless_gl_context.h"

namespace plugkit {

// The renderer with its OpenGL 2 back end on a headless window of
// kWidth x kHeight pixels; frames are drawn at device pixel ratio 1.
class Gl2ContextTest : public ::testing::Test {
protected:
  static constexpr int kWidth = 128;
  static constexpr int kHeight = 128;

  void SetUp() override;
  void TearDown() override;

  void BeginFrame() { VgBeginFrame(ctx_, kWidth, kHeight, 1.0f); }
  // Ends the frame, checks that GL reported no error and reads the window.
  testsupport::RgbaImage EndFrame();
  void Save(const testsupport::RgbaImage& image, const std::string& name, int enlarge = 2) const;

  std::unique_ptr<testsupport::HeadlessGlContext> gl_;
  VgContext* ctx_ = nullptr;
};

} // namespace plugkit
