#pragma once
// The fixed-function pipeline as generated programs. A compact key, zeroed and normalised so
// that states the draw cannot observe are cleared, selects a program built from one GLSL source.
#include "DeviceState.h"

#include <GL/glcorearb.h>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace d3d9 {

struct FixedFunctionKey {
    std::uint32_t pretransformed : 1;
    std::uint32_t hasDiffuse : 1;
    std::uint32_t hasTexCoord : 1;
    std::uint32_t zeroDepth : 1; // pre-transformed z is forced to 0 while ZENABLE is off
    std::uint32_t textured : 1;
    std::uint32_t flat : 1;
    std::uint32_t colorOp : 5;
    std::uint32_t alphaOp : 5;
    std::uint32_t colorArg1 : 6;
    std::uint32_t colorArg2 : 6;
    std::uint32_t alphaArg1 : 6;
    std::uint32_t alphaArg2 : 6;

    std::uint64_t bits() const;
    std::string describe() const;
};

FixedFunctionKey makeKey(const DeviceState& state, DWORD fvf, bool textureBound);
std::string fixedFunctionSource(const FixedFunctionKey& key, bool vertexStage);

struct Program {
    GLuint name = 0;
    GLint viewport = -1;
    GLint worldViewProjection = -1;
    GLint textureFactor = -1;
    std::uint32_t uniformGeneration = 0; // the device's generation last uploaded
};

class ProgramCache {
public:
    // The program for key, built on first use. Dumps the sources when LUMIFLUX_DUMP_SHADERS
    // names a folder.
    Program& get(const FixedFunctionKey& key);
    void destroy();
    std::size_t size() const { return programs_.size(); }

private:
    std::unordered_map<std::uint64_t, Program> programs_;
};

} // namespace d3d9
