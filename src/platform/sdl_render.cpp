// sdl_render.cpp -- the SDL backend's drawing: OpenGL 3.3 core, quads queued in runs of one
// draw state and drawn from one vertex buffer, the scene rendered straight into a window of its
// own size or into a framebuffer of that size and scaled into the window.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/image.h"
#include "platform/sdl_backend.h"
#include "platform/sdl_gl.h"


namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec4 colour;  // the bytes of 0xAARRGGBB in memory: B, G, R, A
layout(location = 2) in vec2 uv;
layout(location = 3) in float over;
uniform vec2 sceneSize;
noperspective out vec4 vertexColour;
noperspective out vec2 vertexUv;
flat out float vertexOver;
void main() {
    gl_Position = vec4(position.x * 2.0 / sceneSize.x - 1.0, 1.0 - position.y * 2.0 / sceneSize.y,
                       0.0, 1.0);
    vertexColour = colour.bgra;
    vertexUv = uv;
    vertexOver = over;
}
)";

// One small program per way of colouring, with no branches, so software renderers can take
// their fast paths: the texel multiplied by the vertex colour; the vertex colour added to the
// texel with the alphas multiplied; and the vertex colour alone for untextured quads.
const char* const kColourStatements[] = {
    "    fragColour = texture(picture, vertexUv) * vertexColour;\n",
    "    vec4 texel = texture(picture, vertexUv);\n"
    "    fragColour = vec4(texel.rgb + vertexColour.rgb, texel.a * vertexColour.a);\n",
    "    fragColour = vertexColour;\n",
};

// The fragment program for a colouring. A mixed run's program also gives the blend its second
// source, drawn with GL_ONE_MINUS_SRC1_ALPHA: the screen keeps 1 - its alpha, which is the
// fragment's alpha where the quad is blended over and 0 where it is added. That is the same sum
// as GL_ONE_MINUS_SRC_ALPHA or GL_ONE, though not always the same rounding: Mesa's software
// renderer works the usual blend out as one interpolation and this one as two products, so now
// and then a pixel comes out one level apart in one channel.
std::string FragmentShader(const char* colouring, bool mixed) {
    std::string source =
        "#version 330 core\n"
        "noperspective in vec4 vertexColour;\n"
        "noperspective in vec2 vertexUv;\n"
        "flat in float vertexOver;\n"
        "uniform sampler2D picture;\n"
        "layout(location = 0, index = 0) out vec4 fragColour;\n";
    if (mixed) source += "layout(location = 0, index = 1) out vec4 screenTaken;\n";
    source += "void main() {\n";
    source += colouring;
    if (mixed) source += "    screenTaken = vec4(fragColour.a * vertexOver);\n";
    return source + "}\n";
}

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

// Quads at least this big get a run without blending or filtering when they need neither;
// smaller ones join a run that has them, as another draw call costs more than they save.
constexpr float kOwnRunArea = 32 * 32;

// A split quad may have at most one piece per this many of its pixels.
constexpr float kPixelsPerPiece = 1024;

// The most quads in one draw call. Mesa's software pipeline cuts a longer draw into pieces of
// 1023 indices, which splits every pair of triangles after the first cut; within one piece it
// recognises a quad whose two triangles make an axis-aligned rectangle and rasterises it as
// one, which shades about a fifth less than two triangles meeting on a diagonal. Whole quads
// that fit in one piece are never cut. The picture is the same, to the bit.
constexpr int kMesaIndicesPerPiece = 1023;
constexpr int kQuadsPerDraw = kMesaIndicesPerPiece / 6;

QuadBounds Bounds(const hgeQuad& q) {
    QuadBounds b{q.v[0].x, q.v[0].y, q.v[0].x, q.v[0].y};
    for (const hgeVertex& v : q.v) {
        b.x0 = std::min(b.x0, v.x), b.x1 = std::max(b.x1, v.x);
        b.y0 = std::min(b.y0, v.y), b.y1 = std::max(b.y1, v.y);
    }
    return b;
}

float Area(const QuadBounds& b) { return (b.x1 - b.x0) * (b.y1 - b.y0); }

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

    std::string error;
    const GLuint vs = CompileShader(GL_VERTEX_SHADER, kVertexShader, error);
    if (vs == 0) {
        System_Log("Shader does not compile: %s", error.c_str());
        return false;
    }
    for (int i = 0; i < 2 * kColourings; ++i) {
        const bool mixed = i >= kColourings;
        const std::string fragment = FragmentShader(kColourStatements[i % kColourings], mixed);
        GLuint fs = CompileShader(GL_FRAGMENT_SHADER, fragment.c_str(), error);
        if (fs == 0) {
            System_Log("Shader does not compile: %s", error.c_str());
            gl.DeleteShader(vs);
            return false;
        }
        GLuint program = gl.CreateProgram();
        programs_[mixed][i % kColourings] = program;
        gl.AttachShader(program, vs);
        gl.AttachShader(program, fs);
        gl.LinkProgram(program);
        gl.DeleteShader(fs);
        GLint linked = 0;
        gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            char log[1024] = {};
            gl.GetProgramInfoLog(program, sizeof log, nullptr, log);
            System_Log("Shader does not link: %s", log);
            gl.DeleteShader(vs);
            return false;
        }
        gl.UseProgram(program);
        GLint picture = gl.GetUniformLocation(program, "picture");
        if (picture >= 0) gl.Uniform1i(picture, 0);
        gl.Uniform2f(gl.GetUniformLocation(program, "sceneSize"), float(screenWidth_),
                     float(screenHeight_));
    }
    gl.DeleteShader(vs);

    // One vertex buffer refilled at every flush, and a fixed index list of two triangles per quad.
    gl.GenVertexArrays(1, &vertexArray_);
    gl.BindVertexArray(vertexArray_);
    gl.GenBuffers(1, &vertexBuffer_);
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    gl.EnableVertexAttribArray(0);
    gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(QueuedVertex),
                           reinterpret_cast<void*>(offsetof(QueuedVertex, x)));
    gl.EnableVertexAttribArray(1);
    gl.VertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(QueuedVertex),
                           reinterpret_cast<void*>(offsetof(QueuedVertex, col)));
    gl.EnableVertexAttribArray(2);
    gl.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(QueuedVertex),
                           reinterpret_cast<void*>(offsetof(QueuedVertex, u)));
    gl.EnableVertexAttribArray(3);
    gl.VertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, sizeof(QueuedVertex),
                           reinterpret_cast<void*>(offsetof(QueuedVertex, over)));
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
    queue_.SetScene(screenWidth_, screenHeight_);

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

    // Sampler objects override the textures' own sampling: nearest where it gives the same
    // picture as bilinear, which a software rasteriser does several times faster, and the
    // picture repeated for quads that tile it.
    gl.GenSamplers(4, &samplers_[0][0]);
    for (int tiles = 0; tiles < 2; ++tiles) {
        for (int bilinear = 0; bilinear < 2; ++bilinear) {
            const GLuint sampler = samplers_[tiles][bilinear];
            const GLint filter = bilinear != 0 ? GL_LINEAR : GL_NEAREST;
            const GLint wrap = tiles != 0 ? GL_REPEAT : GL_CLAMP_TO_EDGE;
            gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter);
            gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter);
            gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap);
            gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap);
        }
    }
    const char* stats = std::getenv("MIRRORFALL_DRAW_STATS");
    drawStatsOn_ = stats != nullptr && stats[0] != '\0' && stats[0] != '0';
    const char* plain = std::getenv("MIRRORFALL_PLAIN_DRAW");
    plainDraw_ = plain != nullptr && plain[0] != '\0' && plain[0] != '0';
    if (plainDraw_) {
        queue_.SetLookBack(0);
        queue_.SetMixing(false);
    }
    rendererReady_ = true;
    return true;
}

void SdlEngine::CloseRenderer() {
    if (!rendererReady_) return;
    for (auto& [handle, texture] : textures_) gl.DeleteTextures(1, &texture.id);
    textures_.clear();
    foundHandle_ = 0;
    found_ = nullptr;
    gl.DeleteFramebuffers(1, &sceneFramebuffer_);
    gl.DeleteTextures(1, &sceneTexture_);
    gl.DeleteBuffers(1, &vertexBuffer_);
    gl.DeleteBuffers(1, &indexBuffer_);
    gl.DeleteVertexArrays(1, &vertexArray_);
    gl.DeleteSamplers(4, &samplers_[0][0]);
    for (auto& programs : programs_) {
        for (unsigned int& program : programs) {
            if (program != 0) gl.DeleteProgram(program);
            program = 0;
        }
    }
    rendererReady_ = false;
}

void SdlEngine::Flush() {
    const int quads = queue_.Quads();
    if (quads == 0) return;
    // The runs one after another in a fresh store, so the driver never waits for the draws
    // before to finish.
    const size_t quadBytes = sizeof(QueuedVertex) * 4;
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    gl.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(quadBytes * size_t(quads)), nullptr, GL_STREAM_DRAW);
    size_t first = 0;  // quads before the run
    for (int i = 0; i < queue_.Runs(); ++i) {
        const std::vector<QueuedVertex>& v = queue_.RunAt(i).vertices;
        gl.BufferSubData(GL_ARRAY_BUFFER, GLintptr(first * quadBytes),
                         GLsizeiptr(v.size() * sizeof(QueuedVertex)), v.data());
        first += v.size() / 4;
    }
    first = 0;
    for (int i = 0; i < queue_.Runs(); ++i) {
        const DrawQueue::Run& run = queue_.RunAt(i);
        const size_t n = run.vertices.size() / 4;
        ApplyDrawState(run.state);
        for (size_t done = 0; done < n;) {
            const size_t part = plainDraw_ ? n : std::min(n - done, size_t(kQuadsPerDraw));
            gl.DrawElements(GL_TRIANGLES, GLsizei(part * 6), GL_UNSIGNED_INT,
                            reinterpret_cast<void*>((first + done) * 6 * sizeof(GLuint)));
            done += part;
            ++drawStats_.draws;
        }
        first += n;
    }
    queue_.Clear();
}

const SdlEngine::Texture* SdlEngine::FindTexture(HTEXTURE tex) {
    if (tex == 0) return nullptr;
    if (tex != foundHandle_) {
        auto it = textures_.find(tex);
        found_ = it != textures_.end() ? &it->second : nullptr;
        foundHandle_ = tex;
    }
    return found_;
}

void SdlEngine::ApplyDrawState(const DrawState& state) {
    const bool sameKind = appliedValid_ && state.tex == applied_.tex &&
                          state.blend == applied_.blend && state.mixed == applied_.mixed;
    const bool sameSampler =
        state.filtering == applied_.filtering && state.tiling == applied_.tiling;
    if (sameKind && state.blending == applied_.blending && sameSampler) return;
    ++drawStats_.stateChanges;
    if (!sameKind) {
        const Texture* t = FindTexture(state.tex);
        if (t != nullptr) gl.BindTexture(GL_TEXTURE_2D, t->id);
        const int colouring = t == nullptr                           ? kColourOnly
                              : (state.blend & BLEND_COLORADD) != 0 ? kColourAdd
                                                                    : kColourMultiply;
        gl.UseProgram(programs_[state.mixed][colouring]);
        // What the screen keeps: 1 - alpha blended over, all of it added to, or as each vertex
        // says (see FragmentShader).
        const GLenum kept = state.mixed                               ? GL_ONE_MINUS_SRC1_ALPHA
                            : (state.blend & BLEND_ALPHABLEND) != 0 ? GL_ONE_MINUS_SRC_ALPHA
                                                                    : GL_ONE;
        gl.BlendFunc(GL_SRC_ALPHA, kept);
    }
    if (!sameKind || state.blending != applied_.blending) {
        if (state.blending) gl.Enable(GL_BLEND);
        else gl.Disable(GL_BLEND);
    }
    if (!sameKind || !sameSampler) {
        gl.BindSampler(0, samplers_[state.tiling ? 1 : 0][state.filtering ? 1 : 0]);
    }
    applied_ = state;
    appliedValid_ = true;
}

void SdlEngine::Queue(HTEXTURE tex, int blend, const QuadNeeds& needs,
                      const QueuedVertex (&corners)[4], const QuadBounds& bounds) {
    if (queue_.Quads() == kBatchQuads) Flush();
    queue_.Add(tex, blend, needs, corners, bounds);
}

bool SdlEngine::Gfx_BeginScene(HTEXTURE) {
    if (sceneOpen_) return true;  // the loading frame runs inside an open scene
    if (!rendererReady_) return false;
    sceneOpen_ = true;
    // A window of the scene's size takes the scene directly: copying a whole frame from a
    // framebuffer of its own costs a software renderer about a millisecond.
    int w = 0, h = 0;
    WindowPixels(w, h);
    direct_ = w == screenWidth_ && h == screenHeight_ && !plainDraw_ && !capture_;
    gl.BindFramebuffer(GL_FRAMEBUFFER, direct_ ? 0 : sceneFramebuffer_);
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
    if (drawStatsOn_) LogDrawStats();
    Present();
    sceneOpen_ = false;
}

void SdlEngine::Present() {
    if (screenshotPending_) SaveScreenshot();
    if (capture_) return;  // the frame stays in the scene's framebuffer, to be read back
    if (direct_) {
        SDL_GL_SwapWindow(windowHandle_);
        return;
    }
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
    const Texture* t = FindTexture(quad->tex);
    const AlphaCells* cells = t != nullptr ? &t->alpha : nullptr;
    const int tw = t != nullptr ? t->width : 0;
    const int th = t != nullptr ? t->height : 0;
    QuadPlan plan = plainDraw_ ? QuadPlan{} : PlanQuad(*quad, cells, tw, th);
    // The plain drawing takes no shortcut, but a tiled picture repeats all the same.
    if (plainDraw_) plan.tile = t != nullptr && TilesPicture(*quad);
    if (!plan.draw) {
        if (drawStatsOn_) CountDrawStats(*quad, plan);
        return;
    }
    const QuadBounds bounds = Bounds(*quad);
    if (plan.split) {
        pieces_.clear();
        SplitAlignedQuad(*quad, *cells, tw, th, pieces_);
        // A ragged picture (lettering, say) cuts into so many pieces that their set-up costs
        // more than the pixels they leave out.
        if (float(pieces_.size()) > Area(bounds) / kPixelsPerPiece) plan.split = false;
    }
    if (drawStatsOn_) CountDrawStats(*quad, plan);
    if (plan.split) {
        // The pieces never overlap, so their order does not change the picture: the blended
        // ones first and the opaque ones after make two runs at most, where alternating bands
        // would need a draw call and a change of state each.
        for (const bool opaque : {false, true}) {
            for (const QuadPiece& piece : pieces_) {
                if (piece.opaque == opaque) AddPiece(*quad, piece);
            }
        }
        return;
    }
    QueuedVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        const hgeVertex& v = quad->v[i];
        corners[i] = {v.x, v.y, v.col, v.tx, v.ty};
    }
    Queue(quad->tex, quad->blend,
          {.blend = plan.blend, .filter = plan.filter, .tiles = plan.tile,
           .big = Area(bounds) >= kOwnRunArea},
          corners, bounds);
}

void SdlEngine::AddPiece(const hgeQuad& quad, const QuadPiece& p) {
    uint32_t c = quad.v[0].col;
    const QueuedVertex corners[4] = {
        {p.x0, p.y0, c, p.u0, p.v0}, {p.x1, p.y0, c, p.u1, p.v0},
        {p.x1, p.y1, c, p.u1, p.v1}, {p.x0, p.y1, c, p.u0, p.v1}};
    Queue(quad.tex, quad.blend, {.blend = !p.opaque, .filter = false, .big = true}, corners,
          {p.x0, p.y0, p.x1, p.y1});
    if (drawStatsOn_) {
        ++drawStats_.pieces;
        float area = (p.x1 - p.x0) * (p.y1 - p.y0);
        (p.opaque ? drawStats_.unblendedPixels : drawStats_.blendedPixels) += area;
    }
}

void SdlEngine::CountDrawStats(const hgeQuad& quad, const QuadPlan& plan) {
    DrawStats& s = drawStats_;
    ++s.quads;
    float area = Area(Bounds(quad));
    if (!plan.draw) {
        ++s.skipped;
        s.skippedPixels += area;
        return;
    }
    if (plan.split) {
        ++s.split;
        return;  // the pieces count their own pixels
    }
    if (!plan.blend) ++s.unblended;
    if (!plan.filter) ++s.nearest;
    (plan.blend ? s.blendedPixels : s.unblendedPixels) += area;
}

void SdlEngine::LogDrawStats() {
    DrawStats& s = drawStats_;
    if (++s.frames < 300) return;
    double n = double(s.frames);
    System_Log("draw stats per frame: %.0f quads (%.0f left out, %.0f unblended, %.0f nearest, "
               "%.0f split into %.0f pieces), %.0f draw calls, %.0f state changes; pixels "
               "(bounding boxes): %.0f blended, %.0f unblended, %.0f left out",
               double(s.quads) / n, double(s.skipped) / n, double(s.unblended) / n,
               double(s.nearest) / n, double(s.split) / n, double(s.pieces) / n,
               double(s.draws) / n, double(s.stateChanges) / n, s.blendedPixels / n,
               s.unblendedPixels / n, s.skippedPixels / n);
    s = DrawStats{};
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

bool SdlEngine::ReadScene(Image& image) {
    if (!rendererReady_) return false;
    Flush();
    image.width = screenWidth_;
    image.height = screenHeight_;
    std::vector<uint32_t> rows(size_t(screenWidth_) * size_t(screenHeight_));
    if (direct_) {
        // Drawn straight into the window: the frame is the back buffer until it is swapped.
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.ReadBuffer(GL_BACK);
    } else {
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    }
    gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.ReadPixels(0, 0, screenWidth_, screenHeight_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                  rows.data());
    if (direct_) gl.ReadBuffer(GL_BACK);
    image.pixels.resize(rows.size());
    for (int y = 0; y < screenHeight_; ++y) {
        const uint32_t* from = &rows[size_t(screenHeight_ - 1 - y) * size_t(screenWidth_)];
        uint32_t* to = &image.pixels[size_t(y) * size_t(screenWidth_)];
        for (int x = 0; x < screenWidth_; ++x) to[x] = from[x] | 0xFF000000u;  // the frame is opaque
    }
    return true;
}

bool SdlEngine::ReadFrame(std::vector<uint32_t>& pixels) {
    Image image;
    if (!ReadScene(image)) return false;
    pixels.swap(image.pixels);
    return true;
}

bool SdlEngine::System_Snapshot(const char* filename) {
    Image image;
    std::string why = "the frame could not be read";
    if (filename == nullptr || !ReadScene(image) || !SavePng(filename, image, PngPacking::Stored, &why)) {
        System_Log("Snapshot to %s failed: %s", filename != nullptr ? filename : "(null)", why.c_str());
        return false;
    }
    return true;
}

void SdlEngine::SaveScreenshot() {
    screenshotPending_ = false;
    Image image;
    if (!ReadScene(image)) return;
    // Beside the settings file, which is in the working folder.
    std::error_code ec;
    std::filesystem::create_directories("Screenshots", ec);
    if (ec) {
        System_Log("Can't make the Screenshots folder: %s", ec.message().c_str());
        return;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    // Two in one second get a number rather than overwrite each other.
    std::string name = std::string("Screenshots/mirrorfall_") + stamp + ".png";
    for (int n = 2; std::filesystem::exists(name, ec) && n < 1000; ++n) {
        name = std::string("Screenshots/mirrorfall_") + stamp + "_" + std::to_string(n) + ".png";
    }
    std::string why;
    if (!SavePng(name, image, PngPacking::Compressed, &why)) {
        System_Log("Can't save the screenshot %s: %s", name.c_str(), why.c_str());
        return;
    }
    System_Log("Screenshot saved: %s", name.c_str());
}

void SdlEngine::Upload(Texture& texture, const uint32_t* pixels) {
    Flush();
    gl.BindTexture(GL_TEXTURE_2D, texture.id);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.width, texture.height, 0, GL_BGRA,
                  GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    SetFiltering();
    texture.alpha.Build(pixels, texture.width, texture.height);
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
    Flush();  // quads waiting in the queue may still use it
    gl.DeleteTextures(1, &it->second.id);
    textures_.erase(it);
    foundHandle_ = 0;
    found_ = nullptr;
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
