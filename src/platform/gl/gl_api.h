// The OpenGL 3.3 core entry points the renderer calls, looked up once through the context's loader.
#pragma once

#include <GL/glcorearb.h>

#include <string>

namespace platform::gl {

// Every function the renderer uses, by its GL name.
#define SALTBURST_GL_FUNCTIONS(X)                                \
    X(PFNGLGETERRORPROC, GetError)                               \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                         \
    X(PFNGLGETSTRINGPROC, GetString)                             \
    X(PFNGLENABLEPROC, Enable)                                   \
    X(PFNGLDISABLEPROC, Disable)                                 \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                             \
    X(PFNGLVIEWPORTPROC, Viewport)                               \
    X(PFNGLCLEARCOLORPROC, ClearColor)                           \
    X(PFNGLCLEARPROC, Clear)                                     \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                         \
    X(PFNGLREADPIXELSPROC, ReadPixels)                           \
    X(PFNGLFINISHPROC, Finish)                                   \
    X(PFNGLGENTEXTURESPROC, GenTextures)                         \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                   \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                         \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                     \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                           \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                     \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                     \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                 \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)           \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                 \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)       \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)   \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                 \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                           \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                     \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                           \
    X(PFNGLBUFFERDATAPROC, BufferData)                           \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                     \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                 \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)           \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                 \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray) \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)         \
    X(PFNGLVERTEXATTRIBDIVISORPROC, VertexAttribDivisor)         \
    X(PFNGLDRAWARRAYSINSTANCEDPROC, DrawArraysInstanced)         \
    X(PFNGLCREATESHADERPROC, CreateShader)                       \
    X(PFNGLDELETESHADERPROC, DeleteShader)                       \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                       \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                     \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                         \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)               \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                     \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                     \
    X(PFNGLATTACHSHADERPROC, AttachShader)                       \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                         \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                       \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)             \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                           \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)           \
    X(PFNGLUNIFORM1IPROC, Uniform1i)

struct api {
#define SALTBURST_GL_MEMBER(type, name) type name = nullptr;
    SALTBURST_GL_FUNCTIONS(SALTBURST_GL_MEMBER)
#undef SALTBURST_GL_MEMBER
};

// Looks a GL function up by name in the current context; null when it has none.
using proc_loader = void *(*)(const char *name);

// Fills `out` from the loader; false, naming the first missing function in `error`, when one is absent.
bool load_api(proc_loader loader, api &out, std::string &error);

}  // namespace platform::gl
