// sdl_gl.h -- the OpenGL 3.3 core functions the SDL backend uses, loaded through
// SDL_GL_GetProcAddress once a context exists. Call them as gl.Name(...).
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
// glcorearb.h would include all of windows.h just for this; its macros (the VK_ key codes
// among them) would then clash with the engine's own names.
#define APIENTRY __stdcall
#endif
#include <GL/glcorearb.h>

#define MIRRORFALL_GL_FUNCTIONS(X)                                          \
    X(PFNGLGETSTRINGPROC, GetString)                                        \
    X(PFNGLGETERRORPROC, GetError)                                          \
    X(PFNGLVIEWPORTPROC, Viewport)                                          \
    X(PFNGLSCISSORPROC, Scissor)                                            \
    X(PFNGLENABLEPROC, Enable)                                              \
    X(PFNGLDISABLEPROC, Disable)                                            \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                                        \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                      \
    X(PFNGLCLEARPROC, Clear)                                                \
    X(PFNGLDRAWELEMENTSPROC, DrawElements)                                  \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                      \
    X(PFNGLREADBUFFERPROC, ReadBuffer)                                      \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                    \
    X(PFNGLFINISHPROC, Finish)                                              \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                      \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                      \
    X(PFNGLBUFFERDATAPROC, BufferData)                                      \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                            \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                            \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                      \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)            \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                    \
    X(PFNGLCREATESHADERPROC, CreateShader)                                  \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                  \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                    \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                          \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                  \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                  \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                      \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                    \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                  \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                        \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                      \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                      \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                        \
    X(PFNGLUNIFORM2FPROC, Uniform2f)                                        \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                    \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                    \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                      \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                                \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                \
    X(PFNGLGETTEXIMAGEPROC, GetTexImage)                                    \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                              \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                            \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                            \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                  \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)              \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                      \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                            \
    X(PFNGLGENSAMPLERSPROC, GenSamplers)                                    \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                              \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                    \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)

struct GlFunctions {
#define MIRRORFALL_GL_MEMBER(type, name) type name = nullptr;
    MIRRORFALL_GL_FUNCTIONS(MIRRORFALL_GL_MEMBER)
#undef MIRRORFALL_GL_MEMBER
};

// The loaded functions; valid after LoadGlFunctions returned true.
extern GlFunctions gl;

// Loads every function from the current context. False (with the first missing name in
// *missing) when one cannot be found.
bool LoadGlFunctions(const char** missing);
