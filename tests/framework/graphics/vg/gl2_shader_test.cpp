#include "framework/graphics/vg/vg_gl2_shader.h"

#include <string>

#include "tests/framework/graphics/vg/gl2_backend_fixture.h"

namespace plugkit {
namespace {

constexpr const char* kPlainVertex = "void main(void) { gl_Position = vec4(0.0); }\n";
constexpr const char* kPlainFragment = "void main(void) { gl_FragColor = vec4(1.0); }\n";

TEST_F(Gl2BackendTest, ProgramLinksWithItsUniforms) {
  EXPECT_NE(backend_->shader.program, 0u);
  EXPECT_GE(backend_->viewSizeLocation, 0);
  EXPECT_GE(backend_->texLocation, 0);
  EXPECT_GE(backend_->fragLocation, 0);
  EXPECT_NE(backend_->vertexBuffer, 0u);
  EXPECT_EQ(backend_->fragSize, 180);
  EXPECT_NE(VgGl2FindTexture(backend_, backend_->dummyTexture), nullptr);
}

TEST_F(Gl2BackendTest, ProgramBuildsWithoutEdgeAntialiasing) {
  auto* plain = new VgGl2Backend{};
  EXPECT_EQ(VgGl2RenderCreate(plain), 1);
  EXPECT_NE(plain->shader.program, 0u);
  VgGl2RenderDelete(plain);
}

TEST_F(Gl2BackendTest, ShaderFailuresArePrintedAndLeaveNothing) {
  struct FailureCase {
    const char* vertex;
    const char* fragment;
    const char* report;
  };
  const FailureCase cases[] = {
      {"void main(void) { gl_Position = undeclared; }\n", kPlainFragment,
       "Shader broken/vert error:\n"},
      {kPlainVertex, "void main(void) { gl_FragColor = 1; }\n", "Shader broken/frag error:\n"},
      {kPlainVertex, "void notMain(void) {}\n", "Program broken error:\n"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.report);
    VgGl2Shader shader{};
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(VgGl2CompileShader(&shader, "broken", "", "", c.vertex, c.fragment));
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind(c.report, 0), 0u) << printed;
    EXPECT_GT(printed.size(), std::string(c.report).size() + 1) << "the GL log follows";
    EXPECT_EQ(shader.program, 0u);
    EXPECT_EQ(shader.vertex, 0u);
    EXPECT_EQ(shader.fragment, 0u);
  }
}

} // namespace
} // namespace plugkit
