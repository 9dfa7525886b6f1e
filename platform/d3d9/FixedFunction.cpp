#include "FixedFunction.h"

#include "FixedFunctionSource.h"
#include "GLProfile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace d3d9 {
namespace {

bool readsTexture(DWORD op, DWORD arg1, DWORD arg2) {
    const bool one = (arg1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
    const bool two = (arg2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
    switch (op) {
    case D3DTOP_DISABLE:
        return false;
    case D3DTOP_SELECTARG1:
        return one;
    case D3DTOP_SELECTARG2:
        return two;
    default:
        return one || two;
    }
}

bool emulated(DWORD op) {
    return op == D3DTOP_DISABLE || op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2 ||
           op == D3DTOP_MODULATE || op == D3DTOP_MODULATE2X || op == D3DTOP_MODULATE4X ||
           op == D3DTOP_ADD;
}

// An operation we do not draw is named once, loudly, rather than drawn wrong in silence.
DWORD checkedOp(DWORD op) {
    if (emulated(op)) return op;
    static std::set<DWORD> reported;
    if (reported.insert(op).second)
        std::fprintf(stderr, "d3d9: texture operation %u is not emulated; using MODULATE\n", op);
    return D3DTOP_MODULATE;
}

void keepArguments(DWORD op, std::uint32_t& arg1, std::uint32_t& arg2) {
    if (op == D3DTOP_SELECTARG1)
        arg2 = 0;
    else if (op == D3DTOP_SELECTARG2)
        arg1 = 0;
}

GLuint compile(GLenum type, const std::string& source) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "d3d9: fixed-function shader does not compile:\n%s\n", log);
    }
    return shader;
}

void dump(const FixedFunctionKey& key, const std::string& vertex, const std::string& fragment) {
    const char* folder = std::getenv("LUMIFLUX_DUMP_SHADERS");
    if (!folder || !*folder) return;
    char name[64];
    const auto b = key.bits();
    std::snprintf(name, sizeof name, "/ff_%08x%08x%08x", b[2], b[1], b[0]);
    std::ofstream(std::string(folder) + name + ".vert") << vertex;
    std::ofstream(std::string(folder) + name + ".frag") << fragment;
}

Program link(const FixedFunctionKey& key) {
    const std::string vertexSource = fixedFunctionSource(key, true);
    const std::string fragmentSource = fixedFunctionSource(key, false);
    dump(key, vertexSource, fragmentSource);
    GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    Program program;
    program.name = glCreateProgram();
    glAttachShader(program.name, vertex);
    glAttachShader(program.name, fragment);
    glLinkProgram(program.name);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program.name, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetProgramInfoLog(program.name, sizeof log, nullptr, log);
        std::fprintf(stderr, "d3d9: fixed-function program does not link:\n%s\n", log);
    }
    program.viewport = glGetUniformLocation(program.name, "uViewport");
    program.resolutionScale = glGetUniformLocation(program.name, "uResolutionScale");
    program.worldViewProjection = glGetUniformLocation(program.name, "uWorldViewProjection");
    program.textureFactor = glGetUniformLocation(program.name, "uTextureFactor");
    auto at = [&program](const char* name) { return glGetUniformLocation(program.name, name); };
    program.worldView = at("uWorldView");
    program.normalMatrix = at("uNormalMatrix");
    program.materialDiffuse = at("uMaterialDiffuse");
    program.materialAmbient = at("uMaterialAmbient");
    program.materialSpecular = at("uMaterialSpecular");
    program.materialEmissive = at("uMaterialEmissive");
    program.materialPower = at("uMaterialPower");
    program.globalAmbient = at("uGlobalAmbient");
    program.lightPosition = at("uLightPosition");
    program.lightDirection = at("uLightDirection");
    program.lightDiffuse = at("uLightDiffuse");
    program.lightSpecular = at("uLightSpecular");
    program.lightAmbient = at("uLightAmbient");
    program.lightAttenuation = at("uLightAttenuation");
    program.lightSpot = at("uLightSpot");
    program.pointSize = at("uPointSize");
    program.pointScale = at("uPointScale");
    program.borderColour = at("uBorderColour");
    program.sampleScale = at("uSampleScale");
    program.pointSampled = at("uPointSampled");
    program.lit = key.lighting;
    program.lightCount = static_cast<int>(key.lightCount);
    const GLint texture0 = glGetUniformLocation(program.name, "uTexture0");
    if (texture0 >= 0) {
        glUseProgram(program.name);
        glUniform1i(texture0, 0);
        glUseProgram(0);
    }
    return program;
}

} // namespace

FixedFunctionKey::Bits FixedFunctionKey::bits() const {
    Bits packed{};
    static_assert(sizeof(FixedFunctionKey) <= sizeof packed);
    std::memcpy(packed.data(), this, sizeof(FixedFunctionKey));
    return packed;
}

FixedFunctionKey FixedFunctionKey::fromBits(const Bits& bits) {
    FixedFunctionKey key;
    std::memcpy(&key, bits.data(), sizeof key);
    return key;
}

std::string FixedFunctionKey::describe() const {
    std::ostringstream out;
    out << "pretransformed=" << pretransformed << " diffuse=" << hasDiffuse
        << " texcoord=" << hasTexCoord << " zeroDepth=" << zeroDepth << " textured=" << textured
        << " flat=" << flat << " colorOp=" << colorOp << '(' << colorArg1 << ',' << colorArg2
        << ") alphaOp=" << alphaOp << '(' << alphaArg1 << ',' << alphaArg2 << ')'
        << " lighting=" << lighting << " normal=" << hasNormal << " specular=" << hasSpecular
        << " normalize=" << normalizeNormals << " localViewer=" << localViewer
        << " specularEnable=" << specularEnable << " lights=" << lightCount
        << " sources=" << diffuseSource << ambientSource << specularSource << emissiveSource
        << " points=" << points << " pointScale=" << pointScale << " sprite=" << pointSprite
        << " border=" << borderU << borderV << borderLinear;
    return out.str();
}

namespace {

// Which colour feeds a material term: a vertex colour only where the vertex has it.
std::uint32_t materialSource(DWORD source, bool colorVertex, bool hasDiffuse, bool hasSpecular) {
    if (colorVertex && source == D3DMCS_COLOR1 && hasDiffuse) return D3DMCS_COLOR1;
    if (colorVertex && source == D3DMCS_COLOR2 && hasSpecular) return D3DMCS_COLOR2;
    return D3DMCS_MATERIAL;
}

void fillVertexProcessing(FixedFunctionKey& key, const DeviceState& state, bool points) {
    const auto& rs = state.renderStates;
    key.specularEnable = rs[D3DRS_SPECULARENABLE] != FALSE;
    key.points = points;
    if (points && !key.pretransformed) {
        key.pointScale = rs[D3DRS_POINTSCALEENABLE] != FALSE;
    }
    key.pointSprite = points && rs[D3DRS_POINTSPRITEENABLE] != FALSE;
    if (key.pretransformed || rs[D3DRS_LIGHTING] == FALSE) return;
    key.lighting = 1;
    key.normalizeNormals = key.hasNormal && rs[D3DRS_NORMALIZENORMALS] != FALSE;
    key.localViewer = key.hasNormal && key.specularEnable && rs[D3DRS_LOCALVIEWER] != FALSE;
    int lights = 0;
    for (const auto& [index, slot] : state.lights)
        if (slot.enabled && lights < 8) ++lights;
    key.lightCount = static_cast<std::uint32_t>(lights);
    const bool colorVertex = rs[D3DRS_COLORVERTEX] != FALSE;
    auto source = [&](D3DRENDERSTATETYPE s) {
        return materialSource(rs[s], colorVertex, key.hasDiffuse, key.hasSpecular);
    };
    key.diffuseSource = source(D3DRS_DIFFUSEMATERIALSOURCE);
    key.ambientSource = source(D3DRS_AMBIENTMATERIALSOURCE);
    key.specularSource = key.specularEnable ? source(D3DRS_SPECULARMATERIALSOURCE) : 0;
    key.emissiveSource = source(D3DRS_EMISSIVEMATERIALSOURCE);
}

} // namespace

FixedFunctionKey makeKey(const DeviceState& state, DWORD fvf, bool textureBound, bool points) {
    FixedFunctionKey key;
    std::memset(&key, 0, sizeof key);
    const auto& rs = state.renderStates;
    key.pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    key.hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
    key.hasNormal = !key.pretransformed && (fvf & D3DFVF_NORMAL) != 0;
    key.hasSpecular = (fvf & D3DFVF_SPECULAR) != 0;
    fillVertexProcessing(key, state, points);
    key.hasTexCoord = (fvf & D3DFVF_TEXCOUNT_MASK) != 0 && !key.pointSprite;
    key.zeroDepth = key.pretransformed && rs[D3DRS_ZENABLE] == D3DZB_FALSE;
    key.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;

    const auto& stage = state.stageStates[0];
    DWORD colorOp = checkedOp(stage[D3DTSS_COLOROP]);
    DWORD alphaOp = checkedOp(stage[D3DTSS_ALPHAOP]);
    const DWORD colorArg1 = stage[D3DTSS_COLORARG1], colorArg2 = stage[D3DTSS_COLORARG2];
    // A stage whose colour reads an empty texture slot is disabled, and the chain ends there.
    if (colorOp == D3DTOP_DISABLE ||
        (!textureBound && readsTexture(colorOp, colorArg1, colorArg2))) {
        key.colorOp = D3DTOP_DISABLE;
        key.alphaOp = D3DTOP_DISABLE;
        return key;
    }
    std::uint32_t c1 = colorArg1 & 0x3F, c2 = colorArg2 & 0x3F;
    std::uint32_t a1 = stage[D3DTSS_ALPHAARG1] & 0x3F, a2 = stage[D3DTSS_ALPHAARG2] & 0x3F;
    if (alphaOp == D3DTOP_DISABLE) { // invalid beside an enabled colour: alpha passes through
        alphaOp = D3DTOP_SELECTARG1;
        a1 = D3DTA_CURRENT;
    }
    keepArguments(colorOp, c1, c2);
    keepArguments(alphaOp, a1, a2);
    key.colorOp = colorOp;
    key.alphaOp = alphaOp;
    key.colorArg1 = c1, key.colorArg2 = c2, key.alphaArg1 = a1, key.alphaArg2 = a2;
    key.textured = textureBound && (readsTexture(colorOp, c1, c2) || readsTexture(alphaOp, a1, a2));
    if (key.textured && !glProfile().borderAddressing) {
        const auto& sampler = state.samplerStates[0];
        key.borderU = sampler[D3DSAMP_ADDRESSU] == D3DTADDRESS_BORDER;
        key.borderV = sampler[D3DSAMP_ADDRESSV] == D3DTADDRESS_BORDER;
        key.borderLinear = (key.borderU || key.borderV) && sampler[D3DSAMP_MAGFILTER] != D3DTEXF_NONE &&
                           sampler[D3DSAMP_MAGFILTER] != D3DTEXF_POINT;
    }
    return key;
}

std::string fixedFunctionSource(const FixedFunctionKey& key, bool vertexStage) {
    std::ostringstream out;
    const GLProfile& profile = glProfile();
    out << profile.shaderHeader << "// key " << key.describe() << "\n";
    out << (vertexStage ? "#define VERTEX_STAGE\n" : "#define FRAGMENT_STAGE\n");
    out << "#define PRETRANSFORMED " << key.pretransformed << "\n#define HAS_DIFFUSE "
        << key.hasDiffuse << "\n#define HAS_TEXCOORD " << key.hasTexCoord << "\n#define ZERO_DEPTH "
        << key.zeroDepth << "\n#define TEXTURED " << key.textured << "\n#define FLAT " << key.flat
        << "\n#define COLOR_OP " << key.colorOp << "\n#define COLOR_ARG1 " << key.colorArg1
        << "\n#define COLOR_ARG2 " << key.colorArg2 << "\n#define ALPHA_OP " << key.alphaOp
        << "\n#define ALPHA_ARG1 " << key.alphaArg1 << "\n#define ALPHA_ARG2 " << key.alphaArg2
        << "\n#define LIGHTING " << key.lighting << "\n#define HAS_NORMAL " << key.hasNormal
        << "\n#define HAS_SPECULAR " << key.hasSpecular << "\n#define NORMALIZE_NORMALS "
        << key.normalizeNormals << "\n#define LOCAL_VIEWER " << key.localViewer
        << "\n#define SPECULAR_ENABLE " << key.specularEnable << "\n#define LIGHT_COUNT "
        << key.lightCount << "\n#define DIFFUSE_SOURCE " << key.diffuseSource
        << "\n#define AMBIENT_SOURCE " << key.ambientSource << "\n#define SPECULAR_SOURCE "
        << key.specularSource << "\n#define EMISSIVE_SOURCE " << key.emissiveSource
        << "\n#define POINTS " << key.points << "\n#define POINT_SCALE " << key.pointScale
        << "\n#define POINT_SPRITE " << key.pointSprite << "\n#define BORDER_U " << key.borderU
        << "\n#define BORDER_V " << key.borderV << "\n#define BORDER_LINEAR " << key.borderLinear
        << "\n#define VERTEX_BGRA " << !profile.bgraFormats
        << "\n#define FLIP_POINT_COORD " << !profile.pointCoordOrigin << "\n";
    out << fixedFunctionGlsl;
    return out.str();
}

Program& ProgramCache::get(const FixedFunctionKey& key) {
    const FixedFunctionKey::Bits bits = key.bits();
    auto found = programs_.find(bits);
    if (found != programs_.end()) return found->second;
    return programs_.emplace(bits, link(key)).first->second;
}

void ProgramCache::destroy() {
    for (auto& [bits, program] : programs_)
        glDeleteProgram(program.name);
    programs_.clear();
}

} // namespace d3d9
