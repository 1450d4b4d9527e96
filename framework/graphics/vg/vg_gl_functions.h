#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// On Windows the GL headers bring in windows.h, which maps these names to
// its narrow functions; in the graphics toolkit they are its own operations.
#undef LoadBitmap
#undef GetModuleHandle

namespace plugkit {

// Every OpenGL entry point the renderer's back end and its framebuffers use.
// None is linked: the platform layer runs VgLoadGlFunctions once a context
// is current, so the same code runs on whatever the driver offers beyond
// OpenGL 1.1 (Windows exports nothing newer from opengl32.dll).
#define VG_GL_FUNCTIONS(X)                                                                     \
  X(decltype(&::glBindTexture), BindTexture, "glBindTexture")                                  \
  X(decltype(&::glClear), Clear, "glClear")                                                    \
  X(decltype(&::glClearColor), ClearColor, "glClearColor")                                     \
  X(decltype(&::glColorMask), ColorMask, "glColorMask")                                        \
  X(decltype(&::glCullFace), CullFace, "glCullFace")                                           \
  X(decltype(&::glDeleteTextures), DeleteTextures, "glDeleteTextures")                         \
  X(decltype(&::glDisable), Disable, "glDisable")                                              \
  X(decltype(&::glDrawArrays), DrawArrays, "glDrawArrays")                                     \
  X(decltype(&::glEnable), Enable, "glEnable")                                                 \
  X(decltype(&::glFinish), Finish, "glFinish")                                                 \
  X(decltype(&::glFrontFace), FrontFace, "glFrontFace")                                        \
  X(decltype(&::glGenTextures), GenTextures, "glGenTextures")                                  \
  X(decltype(&::glGetError), GetError, "glGetError")                                           \
  X(decltype(&::glGetIntegerv), GetIntegerv, "glGetIntegerv")                                  \
  X(decltype(&::glPixelStorei), PixelStorei, "glPixelStorei")                                  \
  X(decltype(&::glReadPixels), ReadPixels, "glReadPixels")                                     \
  X(decltype(&::glScissor), Scissor, "glScissor")                                              \
  X(decltype(&::glStencilFunc), StencilFunc, "glStencilFunc")                                  \
  X(decltype(&::glStencilMask), StencilMask, "glStencilMask")                                  \
  X(decltype(&::glStencilOp), StencilOp, "glStencilOp")                                        \
  X(decltype(&::glTexImage2D), TexImage2D, "glTexImage2D")                                     \
  X(decltype(&::glTexParameteri), TexParameteri, "glTexParameteri")                            \
  X(decltype(&::glTexSubImage2D), TexSubImage2D, "glTexSubImage2D")                            \
  X(decltype(&::glViewport), Viewport, "glViewport")                                           \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture, "glActiveTexture")                                  \
  X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate, "glBlendFuncSeparate")                      \
  X(PFNGLBINDBUFFERPROC, BindBuffer, "glBindBuffer")                                           \
  X(PFNGLBUFFERDATAPROC, BufferData, "glBufferData")                                           \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers, "glDeleteBuffers")                                  \
  X(PFNGLGENBUFFERSPROC, GenBuffers, "glGenBuffers")                                           \
  X(PFNGLATTACHSHADERPROC, AttachShader, "glAttachShader")                                     \
  X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation, "glBindAttribLocation")                   \
  X(PFNGLCOMPILESHADERPROC, CompileShader, "glCompileShader")                                  \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram, "glCreateProgram")                                  \
  X(PFNGLCREATESHADERPROC, CreateShader, "glCreateShader")                                     \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram, "glDeleteProgram")                                  \
  X(PFNGLDELETESHADERPROC, DeleteShader, "glDeleteShader")                                     \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray, "glDisableVertexAttribArray") \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray, "glEnableVertexAttribArray")    \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog, "glGetProgramInfoLog")                      \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv, "glGetProgramiv")                                     \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog, "glGetShaderInfoLog")                         \
  X(PFNGLGETSHADERIVPROC, GetShaderiv, "glGetShaderiv")                                        \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation, "glGetUniformLocation")                   \
  X(PFNGLLINKPROGRAMPROC, LinkProgram, "glLinkProgram")                                        \
  X(PFNGLSHADERSOURCEPROC, ShaderSource, "glShaderSource")                                     \
  X(PFNGLSTENCILOPSEPARATEPROC, StencilOpSeparate, "glStencilOpSeparate")                      \
  X(PFNGLUNIFORM1IPROC, Uniform1i, "glUniform1i")                                              \
  X(PFNGLUNIFORM2FVPROC, Uniform2fv, "glUniform2fv")                                           \
  X(PFNGLUNIFORM4FVPROC, Uniform4fv, "glUniform4fv")                                           \
  X(PFNGLUSEPROGRAMPROC, UseProgram, "glUseProgram")                                           \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer, "glVertexAttribPointer")                \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer, "glBindFramebuffer")                            \
  X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer, "glBindRenderbuffer")                         \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus, "glCheckFramebufferStatus")       \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers, "glDeleteFramebuffers")                   \
  X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers, "glDeleteRenderbuffers")                \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer, "glFramebufferRenderbuffer")    \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D, "glFramebufferTexture2D")             \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers, "glGenFramebuffers")                            \
  X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers, "glGenRenderbuffers")                         \
  X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage, "glRenderbufferStorage")

struct VgGlFunctions {
#define VG_GL_DECLARE(type, member, name) type member = nullptr;
  VG_GL_FUNCTIONS(VG_GL_DECLARE)
#undef VG_GL_DECLARE
};

// The process-wide table. Every GL context of the process shares it: the
// editor's contexts are all made alike, so their entry points are the same.
extern VgGlFunctions vgGl;

// Looks an entry point up by its name; null when the driver lacks it.
using VgGlGetProcAddress = void* (*)(void* user, const char* name);

// Fills vgGl through getProcAddress. Returns false when any entry point is
// missing; the table then holds only those that were found, and the caller
// must not draw.
bool VgLoadGlFunctions(VgGlGetProcAddress getProcAddress, void* user);

} // namespace plugkit
