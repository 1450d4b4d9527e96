#include "framework/graphics/vg/vg_gl2_shader.h"

#include <cstdio>

namespace plugkit {

const char* const kVgGl2VertexShader = R"glsl(
uniform vec2 viewSize;
attribute vec2 vertex;
attribute vec2 tcoord;
varying vec2 ftcoord;
varying vec2 fpos;

void main(void) {
  ftcoord = tcoord;
  fpos = vertex;
  // Frame units, y growing downward.
  gl_Position = vec4(2.0 * vertex.x / viewSize.x - 1.0, 1.0 - 2.0 * vertex.y / viewSize.y, 0.0, 1.0);
}
)glsl";

// Image fills and text share one texture read, and the paint kinds choose
// between finished values instead of branching: a software rasteriser such
// as llvmpipe shades a whole frame noticeably faster that way.
const char* const kVgGl2FragmentShader = R"glsl(
uniform vec4 frag[UNIFORMARRAY_SIZE];
uniform sampler2D tex;
varying vec2 ftcoord;
varying vec2 fpos;

#define scissorMat mat3(frag[0].xyz, frag[1].xyz, frag[2].xyz)
#define paintMat mat3(frag[3].xyz, frag[4].xyz, frag[5].xyz)
#define innerCol frag[6]
#define outerCol frag[7]
#define scissorExt frag[8].xy
#define scissorScale frag[8].zw
#define extent frag[9].xy
#define radius frag[9].z
#define feather frag[9].w
#define strokeMult frag[10].x
#define strokeThr frag[10].y
#define texType int(frag[10].z)
#define type int(frag[10].w)

// Signed distance from pt to a rectangle of half size ext whose corners are
// rounded with radius rad, both centred on the origin.
float roundedRectDistance(vec2 pt, vec2 ext, float rad) {
  vec2 inner = ext - vec2(rad, rad);
  vec2 d = abs(pt) - inner;
  return min(max(d.x, d.y), 0.0) + length(max(d, 0.0)) - rad;
}

// 1 inside the scissor rectangle, falling to 0 over one fringe at its edge.
float scissorMask(vec2 p) {
  vec2 outside = abs((scissorMat * vec3(p, 1.0)).xy) - scissorExt;
  vec2 coverage = vec2(0.5, 0.5) - outside * scissorScale;
  return clamp(coverage.x, 0.0, 1.0) * clamp(coverage.y, 0.0, 1.0);
}

#ifdef EDGE_AA
// u runs across the fringe (0 and 1 at the outer edges); v is 0 on the
// pushed-out ends of caps.
float strokeMask() {
  return min(1.0, (1.0 - abs(ftcoord.x * 2.0 - 1.0)) * strokeMult) * min(1.0, ftcoord.y);
}
#endif

void main(void) {
  float scissor = scissorMask(fpos);
#ifdef EDGE_AA
  float strokeAlpha = strokeMask();
  if (strokeAlpha < strokeThr) discard;
#else
  float strokeAlpha = 1.0;
#endif
  vec2 pt = (paintMat * vec3(fpos, 1.0)).xy;
  vec4 color = texture2D(tex, type == 3 ? ftcoord : pt / extent);
  if (texType == 1) color = vec4(color.xyz * color.w, color.w);
  if (texType == 2) color = vec4(color.x);
  float d = clamp((roundedRectDistance(pt, extent, radius) + feather * 0.5) / feather, 0.0, 1.0);
  vec4 paint = type == 0 ? mix(innerCol, outerCol, d) : color * innerCol;
  float coverage = type == 3 ? scissor : strokeAlpha * scissor;
  gl_FragColor = type == 2 ? vec4(1.0) : paint * coverage;
}
)glsl";

namespace {

constexpr int kLogLength = 512;

void PrintShaderLog(const char* name, const char* stage, GLuint shader) {
  GLchar log[kLogLength + 1] = {};
  GLsizei length = 0;
  vgGl.GetShaderInfoLog(shader, kLogLength, &length, log);
  std::printf("Shader %s/%s error:\n%s\n", name, stage, log);
}

void PrintProgramLog(const char* name, GLuint program) {
  GLchar log[kLogLength + 1] = {};
  GLsizei length = 0;
  vgGl.GetProgramInfoLog(program, kLogLength, &length, log);
  std::printf("Program %s error:\n%s\n", name, log);
}

bool CompileStage(GLuint shader, const char* header, const char* options, const char* text) {
  const GLchar* sources[3] = {header, options, text};
  vgGl.ShaderSource(shader, 3, sources, nullptr);
  vgGl.CompileShader(shader);
  GLint status = GL_FALSE;
  vgGl.GetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

void DeleteShader(VgGl2Shader* shader) {
  if (shader->program) vgGl.DeleteProgram(shader->program);
  if (shader->vertex) vgGl.DeleteShader(shader->vertex);
  if (shader->fragment) vgGl.DeleteShader(shader->fragment);
  *shader = VgGl2Shader{};
}

} // namespace

bool VgGl2CompileShader(VgGl2Shader* shader, const char* name, const char* header,
                        const char* options, const char* vertexText, const char* fragmentText) {
  *shader = VgGl2Shader{};
  shader->program = vgGl.CreateProgram();
  shader->vertex = vgGl.CreateShader(GL_VERTEX_SHADER);
  shader->fragment = vgGl.CreateShader(GL_FRAGMENT_SHADER);
  if (!CompileStage(shader->vertex, header, options, vertexText)) {
    PrintShaderLog(name, "vert", shader->vertex);
    DeleteShader(shader);
    return false;
  }
  if (!CompileStage(shader->fragment, header, options, fragmentText)) {
    PrintShaderLog(name, "frag", shader->fragment);
    DeleteShader(shader);
    return false;
  }
  vgGl.AttachShader(shader->program, shader->vertex);
  vgGl.AttachShader(shader->program, shader->fragment);
  vgGl.BindAttribLocation(shader->program, 0, "vertex");
  vgGl.BindAttribLocation(shader->program, 1, "tcoord");
  vgGl.LinkProgram(shader->program);
  GLint status = GL_FALSE;
  vgGl.GetProgramiv(shader->program, GL_LINK_STATUS, &status);
  if (status != GL_TRUE) {
    PrintProgramLog(name, shader->program);
    DeleteShader(shader);
    return false;
  }
  return true;
}

} // namespace plugkit
