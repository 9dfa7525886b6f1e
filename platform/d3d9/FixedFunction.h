#pragma once
// The fixed-function pipeline as generated programs. A compact key, zeroed and normalised so
// that states the draw cannot observe are cleared, selects a program built from one GLSL source.
#include "DeviceState.h"

#include "GLApi.h"
#include <array>
#include <cstdint>
#include <map>
#include <string>

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
    // Vertex processing.
    std::uint32_t lighting : 1;
    std::uint32_t hasNormal : 1;
    std::uint32_t hasSpecular : 1;
    std::uint32_t normalizeNormals : 1;
    std::uint32_t localViewer : 1;
    std::uint32_t specularEnable : 1;
    std::uint32_t lightCount : 4;
    std::uint32_t diffuseSource : 2; // D3DMCS_*, cleared to MATERIAL where the vertex lacks it
    std::uint32_t ambientSource : 2;
    std::uint32_t specularSource : 2;
    std::uint32_t emissiveSource : 2;
    std::uint32_t points : 1;
    std::uint32_t pointScale : 1;
    std::uint32_t pointSprite : 1;
    // Border addressing drawn by the program, where the sampler has none: per axis, and whether
    // the magnification filter is bilinear.
    std::uint32_t borderU : 1;
    std::uint32_t borderV : 1;
    std::uint32_t borderLinear : 1;

    using Bits = std::array<std::uint32_t, 3>;
    Bits bits() const;
    static FixedFunctionKey fromBits(const Bits& bits);
    std::string describe() const;
};

FixedFunctionKey makeKey(const DeviceState& state, DWORD fvf, bool textureBound, bool points);
std::string fixedFunctionSource(const FixedFunctionKey& key, bool vertexStage);

struct Program {
    GLuint name = 0;
    GLint viewport = -1;
    GLint resolutionScale = -1;
    GLint worldViewProjection = -1;
    GLint textureFactor = -1;
    GLint worldView = -1, normalMatrix = -1;
    GLint materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1, materialEmissive = -1,
          materialPower = -1, globalAmbient = -1;
    GLint lightPosition = -1, lightDirection = -1, lightDiffuse = -1, lightSpecular = -1,
          lightAmbient = -1, lightAttenuation = -1, lightSpot = -1;
    GLint pointSize = -1, pointScale = -1;
    GLint borderColour = -1;
    GLint sampleScale = -1, pointSampled = -1;
    bool lit = false; // uniforms the compiler drops read -1, so the key says what to send
    int lightCount = 0;
    // The device's generations last uploaded: transforms change every draw, the rest rarely.
    std::uint32_t transformGeneration = 0;
    std::uint32_t constantsGeneration = 0;
};

class ProgramCache {
  public:
    // The program for key, built on first use. Dumps the sources when LUMIFLUX_DUMP_SHADERS
    // names a folder.
    Program& get(const FixedFunctionKey& key);
    void destroy();
    std::size_t size() const { return programs_.size(); }

  private:
    std::map<FixedFunctionKey::Bits, Program> programs_;
};

} // namespace d3d9
