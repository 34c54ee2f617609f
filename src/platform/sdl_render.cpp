// sdl_render.cpp -- the SDL backend's drawing: OpenGL 3.3 core, quads batched into one vertex
// buffer, the scene rendered into a framebuffer of its own size and scaled into the window.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "platform/image.h"
#include "platform/sdl_backend.h"
#include "platform/sdl_gl.h"


namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec4 colour;  // the bytes of 0xAARRGGBB in memory: B, G, R, A
layout(location = 2) in vec2 uv;
uniform vec2 sceneSize;
noperspective out vec4 vertexColour;
noperspective out vec2 vertexUv;
void main() {
    gl_Position = vec4(position.x * 2.0 / sceneSize.x - 1.0, 1.0 - position.y * 2.0 / sceneSize.y,
                       0.0, 1.0);
    vertexColour = colour.bgra;
    vertexUv = uv;
}
)";

// One small program per way of colouring, with no branches, so software renderers can take
// their fast paths: the texel multiplied by the vertex colour; the vertex colour added to the
// texel with the alphas multiplied; and the vertex colour alone for untextured quads.
const char* const kFragmentShaders[3] = {
    R"(#version 330 core
noperspective in vec4 vertexColour;
noperspective in vec2 vertexUv;
uniform sampler2D picture;
out vec4 fragColour;
void main() { fragColour = texture(picture, vertexUv) * vertexColour; }
)",
    R"(#version 330 core
noperspective in vec4 vertexColour;
noperspective in vec2 vertexUv;
uniform sampler2D picture;
out vec4 fragColour;
void main() {
    vec4 texel = texture(picture, vertexUv);
    fragColour = vec4(texel.rgb + vertexColour.rgb, texel.a * vertexColour.a);
}
)",
    R"(#version 330 core
noperspective in vec4 vertexColour;
out vec4 fragColour;
void main() { fragColour = vertexColour; }
)",
};

GLuint CompileShader(GLenum kind, const char* source, std::string& error) {
    GLuint shader = gl.CreateShader(kind);
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    GLint ok = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        error = log;
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

void SetFiltering() {
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

bool SdlEngine::OpenRenderer() {
    const char* missing = nullptr;
    if (!LoadGlFunctions(&missing)) {
        System_Log("OpenGL function %s is missing", missing);
        return false;
    }
    const char* version = reinterpret_cast<const char*>(gl.GetString(GL_VERSION));
    const char* renderer = reinterpret_cast<const char*>(gl.GetString(GL_RENDERER));
    System_Log("OpenGL %s on %s", version != nullptr ? version : "?",
               renderer != nullptr ? renderer : "?");

    for (int i = 0; i < kProgramCount; ++i) {
        std::string error;
        GLuint vs = CompileShader(GL_VERTEX_SHADER, kVertexShader, error);
        GLuint fs = vs != 0 ? CompileShader(GL_FRAGMENT_SHADER, kFragmentShaders[i], error) : 0;
        if (fs == 0) {
            System_Log("Shader does not compile: %s", error.c_str());
            if (vs != 0) gl.DeleteShader(vs);
            return false;
        }
        GLuint program = gl.CreateProgram();
        programs_[i] = program;
        gl.AttachShader(program, vs);
        gl.AttachShader(program, fs);
        gl.LinkProgram(program);
        gl.DeleteShader(vs);
        gl.DeleteShader(fs);
        GLint linked = 0;
        gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            char log[1024] = {};
            gl.GetProgramInfoLog(program, sizeof log, nullptr, log);
            System_Log("Shader does not link: %s", log);
            return false;
        }
        gl.UseProgram(program);
        GLint picture = gl.GetUniformLocation(program, "picture");
        if (picture >= 0) gl.Uniform1i(picture, 0);
        gl.Uniform2f(gl.GetUniformLocation(program, "sceneSize"), float(screenWidth_),
                     float(screenHeight_));
    }

    // One vertex buffer refilled at every flush, and a fixed index list of two triangles per quad.
    gl.GenVertexArrays(1, &vertexArray_);
    gl.BindVertexArray(vertexArray_);
    gl.GenBuffers(1, &vertexBuffer_);
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    gl.BufferData(GL_ARRAY_BUFFER, sizeof(Vertex) * 4 * kBatchQuads, nullptr, GL_STREAM_DRAW);
    gl.EnableVertexAttribArray(0);
    gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<void*>(offsetof(Vertex, x)));
    gl.EnableVertexAttribArray(1);
    gl.VertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                           reinterpret_cast<void*>(offsetof(Vertex, col)));
    gl.EnableVertexAttribArray(2);
    gl.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<void*>(offsetof(Vertex, u)));
    std::vector<GLuint> indices(size_t(kBatchQuads) * 6);
    for (GLuint q = 0; q < GLuint(kBatchQuads); ++q) {
        GLuint* i = &indices[q * 6];
        i[0] = q * 4; i[1] = q * 4 + 1; i[2] = q * 4 + 2;
        i[3] = q * 4; i[4] = q * 4 + 2; i[5] = q * 4 + 3;
    }
    gl.GenBuffers(1, &indexBuffer_);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(GLuint)),
                  indices.data(), GL_STATIC_DRAW);
    batch_.resize(size_t(kBatchQuads) * 4);

    // The scene's own framebuffer: the game always draws 640 x 480, whatever the window.
    gl.ActiveTexture(GL_TEXTURE0);
    gl.GenTextures(1, &sceneTexture_);
    gl.BindTexture(GL_TEXTURE_2D, sceneTexture_);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, screenWidth_, screenHeight_, 0, GL_BGRA,
                  GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    SetFiltering();
    gl.GenFramebuffers(1, &sceneFramebuffer_);
    gl.BindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer_);
    gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneTexture_, 0);
    if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        System_Log("The scene framebuffer is incomplete");
        return false;
    }
    gl.Viewport(0, 0, screenWidth_, screenHeight_);
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.Enable(GL_BLEND);
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_CULL_FACE);
    rendererReady_ = true;
    return true;
}

void SdlEngine::CloseRenderer() {
    if (!rendererReady_) return;
    for (auto& [handle, texture] : textures_) gl.DeleteTextures(1, &texture.id);
    textures_.clear();
    gl.DeleteFramebuffers(1, &sceneFramebuffer_);
    gl.DeleteTextures(1, &sceneTexture_);
    gl.DeleteBuffers(1, &vertexBuffer_);
    gl.DeleteBuffers(1, &indexBuffer_);
    gl.DeleteVertexArrays(1, &vertexArray_);
    for (unsigned int& program : programs_) {
        if (program != 0) gl.DeleteProgram(program);
        program = 0;
    }
    rendererReady_ = false;
}

void SdlEngine::Flush() {
    if (batchQuads_ == 0) return;
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    // A fresh store each time, so the driver never waits for the previous draw to finish.
    gl.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(sizeof(Vertex) * 4 * size_t(batchQuads_)),
                  batch_.data(), GL_STREAM_DRAW);
    gl.DrawElements(GL_TRIANGLES, batchQuads_ * 6, GL_UNSIGNED_INT, nullptr);
    batchQuads_ = 0;
}

void SdlEngine::SetDrawState(HTEXTURE tex, int blend) {
    if (tex == batchTexture_ && blend == batchBlend_) return;
    Flush();
    auto it = tex != 0 ? textures_.find(tex) : textures_.end();
    bool textured = it != textures_.end();
    if (textured) gl.BindTexture(GL_TEXTURE_2D, it->second.id);
    gl.UseProgram(programs_[!textured ? kColourOnly : (blend & BLEND_COLORADD) != 0 ? kColourAdd
                                                                                    : kColourMultiply]);
    if ((blend & BLEND_ALPHABLEND) != 0) gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    else gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
    batchTexture_ = tex;
    batchBlend_ = blend;
}

bool SdlEngine::Gfx_BeginScene(HTEXTURE) {
    if (sceneOpen_) return true;  // the loading frame runs inside an open scene
    if (!rendererReady_) return false;
    sceneOpen_ = true;
    gl.BindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer_);
    gl.Viewport(0, 0, screenWidth_, screenHeight_);
    gl.Disable(GL_SCISSOR_TEST);
    gl.BindVertexArray(vertexArray_);
    gl.ActiveTexture(GL_TEXTURE0);
    InvalidateDrawState();
    return true;
}

void SdlEngine::Gfx_EndScene() {
    if (!sceneOpen_) return;
    Flush();
    Present();
    sceneOpen_ = false;
}

void SdlEngine::Present() {
    int w = 0, h = 0;
    WindowPixels(w, h);
    float x0, y0, scale;
    Letterbox(w, h, x0, y0, scale);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    gl.Disable(GL_SCISSOR_TEST);
    gl.Viewport(0, 0, w, h);
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    int left = int(std::lround(x0));
    int bottom = int(std::lround(y0));
    int right = int(std::lround(x0 + float(screenWidth_) * scale));
    int top = int(std::lround(y0 + float(screenHeight_) * scale));
    // Filtering only where the scene is scaled; at its own size a plain copy is exact.
    bool sameSize = right - left == screenWidth_ && top - bottom == screenHeight_;
    gl.BlitFramebuffer(0, 0, screenWidth_, screenHeight_, left, bottom, right, top,
                       GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(windowHandle_);
    gl.BindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer_);
}

void SdlEngine::Gfx_Clear(uint32_t color) {
    // Like a draw, a clear after the scene was presented is dropped: the frame (and a
    // snapshot of it) stays as it was shown.
    if (!sceneOpen_) return;
    Flush();
    gl.ClearColor(float((color >> 16) & 255) / 255.0f, float((color >> 8) & 255) / 255.0f,
                  float(color & 255) / 255.0f, float(color >> 24) / 255.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
}

void SdlEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (!sceneOpen_ || quad == nullptr) return;
    SetDrawState(quad->tex, quad->blend);
    if (batchQuads_ == kBatchQuads) Flush();
    Vertex* out = &batch_[size_t(batchQuads_) * 4];
    for (int i = 0; i < 4; ++i) {
        const hgeVertex& v = quad->v[i];
        out[i] = {v.x, v.y, v.col, v.tx, v.ty};
    }
    ++batchQuads_;
}

void SdlEngine::Gfx_RenderLine(float x1, float y1, float x2, float y2, uint32_t color, float z) {
    // A line is a quad one pixel wide along it.
    float dx = x2 - x1;
    float dy = y2 - y1;
    float length = std::sqrt(dx * dx + dy * dy);
    float nx = 0.0f, ny = 0.5f;
    if (length > 0) {
        nx = -dy / length * 0.5f;
        ny = dx / length * 0.5f;
    }
    hgeQuad q;
    q.tex = 0;
    q.blend = BLEND_DEFAULT;
    const float corners[4][2] = {
        {x1 + nx, y1 + ny}, {x2 + nx, y2 + ny}, {x2 - nx, y2 - ny}, {x1 - nx, y1 - ny}};
    for (int i = 0; i < 4; ++i) q.v[i] = {corners[i][0], corners[i][1], z, color, 0, 0};
    Gfx_RenderQuad(&q);
}

void SdlEngine::Gfx_SetClipping(int x, int y, int w, int h) {
    if (!rendererReady_) return;
    Flush();
    if (w == 0 && h == 0) {
        gl.Disable(GL_SCISSOR_TEST);
        return;
    }
    // Scene rectangle, kept inside the scene; the framebuffer's rows run bottom to top.
    int left = std::max(x, 0);
    int top = std::max(y, 0);
    int right = std::min(x + w, screenWidth_);
    int bottom = std::min(y + h, screenHeight_);
    int cw = std::max(right - left, 0);
    int ch = std::max(bottom - top, 0);
    gl.Enable(GL_SCISSOR_TEST);
    gl.Scissor(left, screenHeight_ - top - ch, cw, ch);
}

bool SdlEngine::System_Snapshot(const char* filename) {
    if (filename == nullptr || !rendererReady_) {
        System_Log("Snapshot to %s failed", filename != nullptr ? filename : "(null)");
        return false;
    }
    Flush();
    Image image;
    image.width = screenWidth_;
    image.height = screenHeight_;
    std::vector<uint32_t> rows(size_t(screenWidth_) * size_t(screenHeight_));
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.ReadPixels(0, 0, screenWidth_, screenHeight_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                  rows.data());
    image.pixels.resize(rows.size());
    for (int y = 0; y < screenHeight_; ++y) {
        const uint32_t* from = &rows[size_t(screenHeight_ - 1 - y) * size_t(screenWidth_)];
        uint32_t* to = &image.pixels[size_t(y) * size_t(screenWidth_)];
        for (int x = 0; x < screenWidth_; ++x) to[x] = from[x] | 0xFF000000u;  // the frame is opaque
    }
    if (!SavePng(filename, image)) {
        System_Log("Snapshot to %s failed", filename);
        return false;
    }
    return true;
}

void SdlEngine::Upload(Texture& texture, const uint32_t* pixels) {
    Flush();
    gl.BindTexture(GL_TEXTURE_2D, texture.id);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.width, texture.height, 0, GL_BGRA,
                  GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    SetFiltering();
    InvalidateDrawState();
}

HTEXTURE SdlEngine::Texture_Create(int width, int height) {
    if (!rendererReady_ || width <= 0 || height <= 0) return 0;
    Texture t;
    t.width = width;
    t.height = height;
    t.pixels.assign(size_t(width) * size_t(height), 0);
    gl.GenTextures(1, &t.id);
    Upload(t, t.pixels.data());
    HTEXTURE handle = nextTexture_++;
    textures_.emplace(handle, std::move(t));
    return handle;
}

HTEXTURE SdlEngine::Texture_Load(const char* filename, uint32_t, bool) {
    std::vector<unsigned char> bytes;
    Image image;
    if (!rendererReady_ || !ReadResource(filename, bytes)) return 0;  // ReadResource logged
    if (!DecodeImage(bytes, image)) {
        System_Log("Can't decode texture %s", filename);
        return 0;
    }
    Texture t;
    t.width = image.width;
    t.height = image.height;
    gl.GenTextures(1, &t.id);
    Upload(t, image.pixels.data());
    HTEXTURE handle = nextTexture_++;
    textures_.emplace(handle, std::move(t));
    return handle;
}

void SdlEngine::Texture_Free(HTEXTURE tex) {
    auto it = textures_.find(tex);
    if (it == textures_.end()) return;
    Flush();  // quads waiting in the batch may still use it
    gl.DeleteTextures(1, &it->second.id);
    textures_.erase(it);
    InvalidateDrawState();
}

int SdlEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    auto it = textures_.find(tex);
    return it == textures_.end() ? 0 : it->second.width;
}

int SdlEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    auto it = textures_.find(tex);
    return it == textures_.end() ? 0 : it->second.height;
}

uint32_t* SdlEngine::Texture_Lock(HTEXTURE tex, bool readOnly, int left, int top, int, int) {
    auto it = textures_.find(tex);
    if (it == textures_.end()) return nullptr;
    Texture& t = it->second;
    if (t.pixels.empty()) {
        t.pixels.resize(size_t(t.width) * size_t(t.height));
        gl.BindTexture(GL_TEXTURE_2D, t.id);
        gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
        gl.GetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, t.pixels.data());
        InvalidateDrawState();
    }
    left = std::clamp(left, 0, t.width - 1);
    top = std::clamp(top, 0, t.height - 1);
    t.locked = true;
    t.lockedReadOnly = readOnly;
    return t.pixels.data() + size_t(top) * size_t(t.width) + size_t(left);
}

void SdlEngine::Texture_Unlock(HTEXTURE tex) {
    auto it = textures_.find(tex);
    if (it == textures_.end() || !it->second.locked) return;
    Texture& t = it->second;
    t.locked = false;
    if (!t.lockedReadOnly) Upload(t, t.pixels.data());
}
