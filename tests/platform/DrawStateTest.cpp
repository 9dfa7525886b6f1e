#include "DrawState.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

TEST(DrawState, ALineOfNineWordsAndNothingElseIsAState) {
    const auto state = d3d9::DrawState::parse(
        "00000847 00020000 00000001 00fd3000 00000002 0000001f 000000f9 00000144 0006001c");
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->program[0], 0x847u);
    EXPECT_EQ(state->program[1], 0x20000u);
    EXPECT_EQ(state->program[2], 1u);
    EXPECT_EQ(state->output, 0xfd3000u);
    EXPECT_EQ(state->texture, 0x1fu);
    EXPECT_EQ(state->layout, 0x6001cu);
    EXPECT_EQ(state->text(),
              "00000847 00020000 00000001 00fd3000 00000002 0000001f 000000f9 00000144 0006001c");
    for (const char* broken :
         {"", "00000847 00020000 00000001 00fd3000 00000002 0000001f 000000f9 00000144",
          "00000847 00020000 00000001 00fd3000 00000002 0000001f 000000f9 00000144 0006001c x",
          "# 00000847 00020000 00000001 00fd3000 00000002 0000001f 000000f9 00000144 0006001c"})
        EXPECT_FALSE(d3d9::DrawState::parse(broken).has_value()) << broken;
}

// A device asked to write its states down lists each once, as the draw asked for it.
TEST(DrawState, ADeviceWritesEachStateItDrawsInOnce) {
    const std::string list = test::makeTempFolder() + "/states.txt";
    setenv("LUMIFLUX_DRAW_STATES", list.c_str(), 1);
    {
        test::OffscreenDevice offscreen;
        unsetenv("LUMIFLUX_DRAW_STATES");
        IDirect3DDevice9* d = offscreen.device();
        ASSERT_NE(d, nullptr);
        struct Vertex {
            float x, y, z, rhw;
            DWORD colour;
        } triangle[3] = {{10, 10, 0.5f, 1, 0xFFFF0000},
                         {100, 10, 0.5f, 1, 0xFFFF0000},
                         {10, 100, 0.5f, 1, 0xFFFF0000}};
        d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
        d->BeginScene();
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(Vertex));
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(Vertex)); // the same state
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, triangle, sizeof(Vertex));
        d->EndScene();
    }
    std::istringstream lines(test::readFile(list));
    std::vector<d3d9::DrawState> states;
    for (std::string line; std::getline(lines, line);)
        if (const auto state = d3d9::DrawState::parse(line)) states.push_back(*state);
    ASSERT_EQ(states.size(), 2u);
    // Direct3D's defaults: no blending; depth test LESSEQUAL (4 << 14) and writes; culling
    // counter-clockwise (3 << 18); all four colours written (0xF << 20).
    EXPECT_EQ(states[0].output, 0x1000u | 4u << 14 | 0x2000u | 3u << 18 | 0xFu << 20);
    EXPECT_EQ(states[0].target, d3d9::DrawState::targetDepth); // X8R8G8B8 with its depth buffer
    EXPECT_EQ(states[0].texture, 0u);
    EXPECT_EQ(states[0].sampler, 0u); // POINT filters, WRAP: NEAREST and REPEAT
    EXPECT_EQ(states[0].fvf, static_cast<std::uint32_t>(D3DFVF_XYZRHW | D3DFVF_DIFFUSE));
    EXPECT_EQ(states[0].layout, 20u | d3d9::DrawState::Triangles << 16);
    // Blending on with ONE, ZERO, ADD: the enable bit and the factors' codes 2 and 1.
    EXPECT_EQ(states[1].output, states[0].output | 1u | 2u << 1 | 1u << 5 | 1u << 9);
    EXPECT_EQ(states[1].layout, 20u | d3d9::DrawState::Points << 16);
}
