// Prints the device stand-in's figures: the cost of the draws the scenes make most, and the
// whole program's start-up and capture speed. Figures, not pass or fail.
#include "Device.h"
#include "GLApi.h"
#include "app/GraphicsDevice.h"
#include "core/Clock.h"
#include "core/RunMode.h"
#include "demo/ColorRect.h"
#include "gfx/ScreenVertex.h"
#include "scenes/CoreScene.h"
#include "scenes/LogoScene.h"
#include "scenes/RingScene.h"
#include "scenes/TargetScene.h"
#include "scenes/TitleScene.h"
#include "scenes/WarningScene.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"
#include "support/XServer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Names on the command line pick the figures to print (for profiling one scene); none, all.
std::vector<std::string> chosen;

bool selected(const std::string& name) {
    if (chosen.empty()) return true;
    for (const auto& c : chosen)
        if (name.find(c) != std::string::npos) return true;
    return false;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Small quads by the thousand, as the cube fields and particle drawers will issue them.
void drawQuads(test::OffscreenDevice& offscreen, int quads, int frames) {
    IDirect3DDevice9* d = offscreen.device();
    ColorRect rect;
    rect.init(d);
    const auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        for (int i = 0; i < quads; ++i) {
            rect.setColor(i & 255, (i * 7) & 255, 128);
            rect.drawRect(static_cast<float>(i % 780), static_cast<float>((i / 780) * 8 % 590), 0,
                          12, 8);
        }
        offscreen.present();
    }
    const double ms = millisecondsSince(start) / frames;
    std::printf("%6d quads a frame: %8.2f ms a frame, %6.2f us a draw\n", quads, ms,
                1000.0 * ms / quads);
}

void fullScreenPasses(test::OffscreenDevice& offscreen, int passes, int frames) {
    IDirect3DDevice9* d = offscreen.device();
    ColorRect rect;
    rect.init(d);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < passes; ++i)
            rect.drawRect(0, 0, 0, 800, 600);
        offscreen.present();
    }
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    std::printf("%6d blended full-screen passes: %8.2f ms a frame\n", passes,
                millisecondsSince(start) / frames);
}

DWORD bits(float f) {
    DWORD b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

D3DMATRIX translation(float x, float y, float z, float scale) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = scale;
    m._44 = 1;
    m._41 = x, m._42 = y, m._43 = z;
    return m;
}

// A unit cube, 24 vertices with face normals and 36 indices, in static buffers.
void makeCube(IDirect3DDevice9* d, IDirect3DVertexBuffer9*& vb, IDirect3DIndexBuffer9*& ib) {
    struct V {
        float x, y, z, nx, ny, nz;
    };
    std::vector<V> vertices;
    std::vector<WORD> indices;
    const float n[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int f = 0; f < 6; ++f) {
        const float* a = n[f];
        const float u[3] = {a[1], a[2], a[0]}, v[3] = {a[2], a[0], a[1]};
        const auto base = static_cast<WORD>(vertices.size());
        for (int c = 0; c < 4; ++c) {
            const float su = c == 1 || c == 2 ? 0.5f : -0.5f, sv = c >= 2 ? 0.5f : -0.5f;
            vertices.push_back({a[0] * 0.5f + u[0] * su + v[0] * sv,
                                a[1] * 0.5f + u[1] * su + v[1] * sv,
                                a[2] * 0.5f + u[2] * su + v[2] * sv, a[0], a[1], a[2]});
        }
        for (WORD i : {0, 1, 2, 0, 2, 3})
            indices.push_back(static_cast<WORD>(base + i));
    }
    void* data = nullptr;
    d->CreateVertexBuffer(static_cast<UINT>(vertices.size() * sizeof(V)), D3DUSAGE_WRITEONLY,
                          D3DFVF_XYZ | D3DFVF_NORMAL, D3DPOOL_MANAGED, &vb, nullptr);
    vb->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(V));
    vb->Unlock();
    d->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                         D3DPOOL_MANAGED, &ib, nullptr);
    ib->Lock(0, 0, &data, 0);
    std::memcpy(data, indices.data(), indices.size() * 2);
    ib->Unlock();
}

// The warning scene's heaviest frame: a field of lit cubes, each with its own world matrix,
// then a glow built from full-screen textured passes.
void cubeField(test::OffscreenDevice& offscreen, int frames) {
    IDirect3DDevice9* d = offscreen.device();
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    makeCube(d, vb, ib);
    IDirect3DTexture9* target = nullptr;
    d->CreateTexture(800, 600, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                     nullptr);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0.3f, -0.5f, 0.8f};
    d->SetLight(0, &light);
    d->LightEnable(0, TRUE);
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 0.1f, 0.1f, 1};
    material.Ambient = {0.2f, 0.2f, 0.2f, 1};
    d->SetMaterial(&material);
    D3DMATRIX projection{};
    projection._11 = 1.3f, projection._22 = 1.7f, projection._33 = 1.001f, projection._34 = 1;
    projection._43 = -1.001f;
    d->SetTransform(D3DTS_PROJECTION, &projection);
    const ScreenVertex pass[4] = {{-0.5f, -0.5f, 0, 1, 0x40FFFFFF, 0, 0},
                                  {799.5f, -0.5f, 0, 1, 0x40FFFFFF, 1, 0},
                                  {799.5f, 599.5f, 0, 1, 0x40FFFFFF, 1, 1},
                                  {-0.5f, 599.5f, 0, 1, 0x40FFFFFF, 0, 1}};
    const auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
        d->SetRenderState(D3DRS_LIGHTING, TRUE);
        d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        d->SetStreamSource(0, vb, 0, 24);
        d->SetIndices(ib);
        for (int i = 0; i < 3375; ++i) {
            const D3DMATRIX world = translation(static_cast<float>(i % 15) - 7.0f,
                                                static_cast<float>((i / 15) % 15) - 7.0f,
                                                static_cast<float>(i / 225) + 10.0f, 0.4f);
            d->SetTransform(D3DTS_WORLD, &world);
            d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 24, 0, 12);
        }
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        d->SetTexture(0, target);
        d->SetFVF(ScreenVertex::format);
        for (int p = 0; p < 13; ++p)
            d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, pass, sizeof(ScreenVertex));
        d->SetTexture(0, nullptr);
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        offscreen.present();
    }
    const double ms = millisecondsSince(start) / frames;
    const auto& stats = static_cast<d3d9::Device*>(d)->lastFrameStats();
    std::printf("3375 lit cubes + 13 textured passes: %8.2f ms a frame (%u draws, %u GL state "
                "changes, %u program binds)\n",
                ms, stats.drawCalls, stats.gl.stateChanges, stats.gl.programBinds);
    target->Release();
    vb->Release();
    ib->Release();
}

// The ring scene's cloud: 10,240 point sprites from one dynamic buffer, rewritten every frame.
void sprites(test::OffscreenDevice& offscreen, int frames) {
    IDirect3DDevice9* d = offscreen.device();
    struct P {
        float x, y, z;
        D3DCOLOR c;
    };
    const UINT count = 10240;
    IDirect3DVertexBuffer9* vb = nullptr;
    d->CreateVertexBuffer(count * sizeof(P),
                          D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS,
                          D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_DEFAULT, &vb, nullptr);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE, bits(2.0f));
    d->SetRenderState(D3DRS_POINTSCALE_A, bits(0));
    d->SetRenderState(D3DRS_POINTSCALE_C, bits(1));
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        void* data = nullptr;
        vb->Lock(0, 0, &data, D3DLOCK_DISCARD);
        auto* points = static_cast<P*>(data);
        for (UINT i = 0; i < count; ++i) {
            const float a = 0.000613f * static_cast<float>(i) + 0.05f * static_cast<float>(f);
            points[i] = {30 * std::cos(a), 30 * std::sin(a * 3), 40 + 30 * std::sin(a), 0xFF806040};
        }
        vb->Unlock();
        d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        d->SetStreamSource(0, vb, 0, sizeof(P));
        d->DrawPrimitive(D3DPT_POINTLIST, 0, count);
        offscreen.present();
    }
    std::printf("10240 point sprites: %8.2f ms a frame\n", millisecondsSince(start) / frames);
    d->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();
}

// One scene's update, draw and present per frame, at a chosen music bar, with the built art.
void sceneFrames(Scene& scene, const char* name, int bar, int warmUp, int frames) {
    if (!selected(name)) return;
    test::FrameCatcher catcher;
    test::catchFrames(&catcher);
    GraphicsDevice graphics;
    graphics.init(test::createTestWindow(), nullptr, 800, 600);
    graphics.setMusicBar(&bar);
    scene.init(&graphics);
    scene.start();
    IDirect3DDevice9* d = graphics.getDevice();
    auto frame = [&] {
        scene.update();
        scene.draw();
        d->Present(nullptr, nullptr, nullptr, nullptr);
    };
    const auto first = Clock::now();
    frame();
    const double firstMs = millisecondsSince(first);
    for (int i = 1; i < warmUp; ++i)
        frame();
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i)
        frame();
    const auto& stats = static_cast<d3d9::Device*>(d)->lastFrameStats();
    std::printf("%-24s bar %2d: %6.2f ms a frame, %4u draws (%u trimmed to ink), first frame "
                "%5.1f ms\n",
                name, bar, millisecondsSince(start) / frames, stats.drawCalls,
                stats.drawsTrimmedToInk, firstMs);
    test::catchFrames(nullptr);
}

// The median, 99th percentile and longest of a set of frame times.
struct Spread {
    double median = 0, p99 = 0, longest = 0;
};

Spread spread(std::vector<double> ms) {
    if (ms.empty()) return {};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back()};
}

// A scene played from its first bar to its last at the main loop's 16 ms steps, one step a
// frame: the spread of its frame times and the bar where the slowest second of frames falls.
template <class SceneType> void sceneThrough(const char* name, int firstBar, int endBar) {
    if (!selected(name)) return;
    SceneType scene;
    test::FrameCatcher catcher;
    test::catchFrames(&catcher);
    GraphicsDevice graphics;
    graphics.init(test::createTestWindow(), nullptr, 800, 600);
    int bar = firstBar;
    graphics.setMusicBar(&bar);
    scene.init(&graphics);
    scene.start();
    IDirect3DDevice9* d = graphics.getDevice();
    const double barSeconds = 240.0 / 144.0;
    std::vector<double> ms, fragments;
    GLuint query = 0;
    glGenQueries(1, &query);
    for (int step = 0;; ++step) {
        bar = static_cast<int>(firstBar + step * 0.016 / barSeconds);
        if (bar >= endBar) break;
        const auto start = Clock::now();
        glBeginQuery(GL_SAMPLES_PASSED, query);
        scene.update();
        scene.draw();
        glEndQuery(GL_SAMPLES_PASSED);
        d->Present(nullptr, nullptr, nullptr, nullptr);
        ms.push_back(millisecondsSince(start));
        GLuint count = 0; // read after the frame's time is taken: reading waits for the drawing
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        fragments.push_back(count);
    }
    glDeleteQueries(1, &query);
    const int window = 62; // about a second of steps
    double worst = 0;
    std::size_t worstAt = 0;
    for (std::size_t i = 0; i + window <= ms.size(); ++i) {
        double sum = 0;
        for (int k = 0; k < window; ++k)
            sum += ms[i + static_cast<std::size_t>(k)];
        if (sum > worst) worst = sum, worstAt = i;
    }
    // A frame over 50 ms after the first second is a hitch a viewer sees.
    const auto hitches = std::count_if(ms.begin() + std::min<std::ptrdiff_t>(window, std::ssize(ms)),
                                       ms.end(), [](double t) { return t > 50; });
    const Spread t = spread(ms);
    std::printf("%-14s bars %2d-%2d: median %6.2f ms, p99 %6.2f ms, slowest %6.2f ms, %3td over "
                "50 ms after the first second; slowest second %6.2f ms a frame from bar %.1f\n",
                name, firstBar, endBar, t.median, t.p99, t.longest, hitches, worst / window,
                firstBar + static_cast<double>(worstAt) * 0.016 / barSeconds);
    // The pixels the frame fills, against the 480,000 of one full-screen pass.
    const double fill = spread(fragments).median;
    std::printf("%-14s fill: median %.2f million fragments a frame, %.1f full screens\n", name,
                fill / 1e6, fill / (800.0 * 600.0));
    test::catchFrames(nullptr);
}

void scenes() {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(ART_DIR).parent_path());
    {
        TitleScene title;
        sceneFrames(title, "title scene", 2, 10, 30);
    }
    {
        WarningScene lattice;
        sceneFrames(lattice, "warning scene, lattice", 9, 10, 20);
    }
    {
        WarningScene field;
        sceneFrames(field, "warning scene, field", 20, 10, 20);
    }
    {
        TargetScene panels;
        sceneFrames(panels, "target scene, panels", 30, 10, 20);
    }
    {
        TargetScene swing;
        sceneFrames(swing, "target scene, swinging", 34, 10, 20);
    }
    {
        CoreScene core; // the heaviest frame: boxes, glyphs, overlays and trails
        sceneFrames(core, "core scene", 48, 10, 20);
    }
    {
        RingScene ring; // 10,240 point colours rewritten every step
        sceneFrames(ring, "ring scene", 60, 10, 20);
    }
    {
        LogoScene logo;
        sceneFrames(logo, "logo scene", 76, 10, 20);
    }
    sceneThrough<TitleScene>("title through", 0, 8);
    sceneThrough<WarningScene>("warning through", 8, 24);
    sceneThrough<TargetScene>("target through", 24, 40);
    sceneThrough<CoreScene>("core through", 40, 56);
    sceneThrough<RingScene>("ring through", 56, 72);
    sceneThrough<LogoScene>("logo through", 72, 83);
    std::filesystem::current_path(previous);
}

long peakResidentKilobytes(const std::string& statusText) {
    const auto at = statusText.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atol(statusText.c_str() + at + 6);
}

// The program itself, from the build folder where its art and music are: start-up, then the
// whole show captured to a video as a user would, against the show's own length.
void captureProgram() {
    const std::string work = test::makeTempFolder();
    const std::string build = std::filesystem::path(ART_DIR).parent_path().string();
    const std::vector<std::string> headless = {"DISPLAY=", "WAYLAND_DISPLAY="};
    const auto start = Clock::now();
    const auto first = test::runProcess(
        {LUMIFLUX_EXE, "--capture", work + "/f/", "--frames", "0-0"}, build, headless, 120);
    std::printf("start-up to the first captured frame: %8.1f ms (exit %d)\n",
                millisecondsSince(start), first.exitCode);
    const double showSeconds = 138.35; // 8,301 frames at 60 a second
    const auto begin = Clock::now();
    const auto show =
        test::runProcess({LUMIFLUX_EXE, "--capture", work + "/show.mp4"}, build, headless, 1800);
    const double seconds = millisecondsSince(begin) / 1000.0;
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(work + "/show.mp4", ec);
    std::printf("whole show captured to H.264: %6.1f s, %.2fx its length, %.0f MB (exit %d)\n",
                seconds, seconds / showSeconds, ec ? 0.0 : bytes / 1e6, show.exitCode);
}

long residentKilobytes(int pid) {
    const std::string status = test::readFile("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("VmRSS:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 6);
}

// Resident memory of a capture of the whole show every eight bars (800 frames at 60 a second),
// from bar 8 to bar 80: a show that holds on to what it no longer needs grows between them.
void captureMemory() {
    const std::string work = test::makeTempFolder();
    const std::string build = std::filesystem::path(ART_DIR).parent_path().string();
    test::BackgroundProcess capture({LUMIFLUX_EXE, "--capture", work + "/f/", "--frames",
                                     "800-8100", "--every", "800"},
                                    build, {"DISPLAY=", "WAYLAND_DISPLAY="});
    std::printf("resident memory of a capture:");
    long first = -1, last = -1;
    for (int bar = 8; bar <= 80; bar += 8) {
        char frame[32];
        std::snprintf(frame, sizeof frame, "/f/frame_%05d.png", bar * 100);
        if (!test::waitUntil([&] { return std::filesystem::exists(work + frame); }, 1800)) break;
        last = residentKilobytes(capture.pid());
        if (first < 0) first = last;
        std::printf(" bar %d %ld MiB,", bar, last / 1024);
        std::fflush(stdout);
    }
    capture.wait(600);
    std::printf(" bar 80 against bar 8 %+.1f%%\n", first > 0 ? 100.0 * (last - first) / first : 0.0);
}

// Video captures at larger sizes: the first 30 s of the show at 10 frames a second.
void captureSizes() {
    const std::string work = test::makeTempFolder();
    const std::string build = std::filesystem::path(ART_DIR).parent_path().string();
    for (const char* size : {"800x600", "1600x1200", "3840x2160"}) {
        const auto begin = Clock::now();
        const auto run = test::runProcess({LUMIFLUX_EXE, "--capture", work + "/sized.mp4", "--size",
                                           size, "--fps", "10", "--frames", "0-299"},
                                          build, {"DISPLAY=", "WAYLAND_DISPLAY="}, 1800);
        std::printf("capture at %-9s: %6.1f frames a second (exit %d)\n", size,
                    300 * 1000.0 / millisecondsSince(begin), run.exitCode);
    }
}

// The program played in real time in an 800 x 600 window under a virtual X server with silent
// sound, every swap timed: per scene, the spread of the time between frames shown.
void pacing() {
    test::XServer server;
    if (server.display().empty()) {
        std::printf("pacing: no virtual X server: %s\n", server.why().c_str());
        return;
    }
    const std::string work = test::makeTempFolder();
    const std::string build = std::filesystem::path(ART_DIR).parent_path().string();
    const auto run = test::runProcess(
        {LUMIFLUX_EXE, "--windowed"}, build,
        {"DISPLAY=" + server.display(), "WAYLAND_DISPLAY=", "SDL_AUDIODRIVER=dummy",
         "LUMIFLUX_PRESENT_LOG=" + work + "/presents.txt"},
        300);
    std::ifstream log(work + "/presents.txt");
    const int sceneStarts[] = {0, 8, 24, 40, 56, 72, 83};
    const char* names[] = {"title", "warning", "target", "core", "ring", "logo"};
    const double barMs = 240000.0 / 144.0;
    std::vector<double> bySceneMs[6];
    int frames = 0, hitches = 0;
    double first = -1, previous = -1, wall = 0, music = 0;
    while (log >> wall >> music) {
        ++frames;
        if (first < 0) first = wall;
        const double ms = previous < 0 ? 0 : wall - previous;
        previous = wall;
        if (music < 0 || frames == 1) continue;
        if (music > 1000 && ms > 50) ++hitches; // the first second may load
        const double bar = music / barMs;
        for (int s = 0; s < 6; ++s)
            if (bar >= sceneStarts[s] && bar < sceneStarts[s + 1]) bySceneMs[s].push_back(ms);
    }
    std::printf("pacing, %d frames in %.1f s (exit %d), %d over 50 ms after the first second\n",
                frames, (previous - first) / 1000.0, run.exitCode, hitches);
    std::printf("%-8s %7s %9s %8s %8s\n", "scene", "frames", "median ms", "p99 ms", "longest");
    for (int s = 0; s < 6; ++s) {
        const Spread t = spread(bySceneMs[s]);
        std::printf("%-8s %7zu %9.1f %8.1f %8.1f\n", names[s], bySceneMs[s].size(), t.median,
                    t.p99, t.longest);
    }
}

} // namespace

int main(int argc, char** argv) {
    chosen.assign(argv + 1, argv + argc);
    platform::runMode().capture = true;
    platform::Clock::instance().useVirtual(0.0);
    if (selected("draws")) {
        test::OffscreenDevice offscreen;
        if (!offscreen.device()) return 1;
        drawQuads(offscreen, 100, 20);
        drawQuads(offscreen, 3375, 5);
        fullScreenPasses(offscreen, 13, 10);
        cubeField(offscreen, 5);
    }
    if (selected("draws")) {
        test::OffscreenDevice offscreen;
        sprites(offscreen, 10);
    }
    scenes();
    if (selected("sizes")) captureSizes();
    if (selected("capture")) captureProgram();
    if (selected("pacing")) pacing();
    if (selected("memory")) captureMemory();
    std::printf("peak memory of this process: %ld KiB\n",
                peakResidentKilobytes(test::readFile("/proc/self/status")));
    return 0;
}
