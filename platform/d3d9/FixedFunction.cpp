#include "FixedFunction.h"

#include "FixedFunctionSource.h"

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
    case D3DTOP_DISABLE: return false;
    case D3DTOP_SELECTARG1: return one;
    case D3DTOP_SELECTARG2: return two;
    default: return one || two;
    }
}

bool emulated(DWORD op) {
    return op == D3DTOP_DISABLE || op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2 ||
           op == D3DTOP_MODULATE || op == D3DTOP_MODULATE2X || op == D3DTOP_MODULATE4X ||
           op == D3DTOP_ADD;
}

// An operation we do not draw is named once, loudly, rather than drawn wrong in silence.
DWORD checkedOp(DWORD op) {
    if (emulated(op))
        return op;
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
    if (!folder || !*folder)
        return;
    char name[64];
    std::snprintf(name, sizeof name, "/ff_%012llx", static_cast<unsigned long long>(key.bits()));
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
    program.worldViewProjection = glGetUniformLocation(program.name, "uWorldViewProjection");
    program.textureFactor = glGetUniformLocation(program.name, "uTextureFactor");
    const GLint texture0 = glGetUniformLocation(program.name, "uTexture0");
    if (texture0 >= 0) {
        glUseProgram(program.name);
        glUniform1i(texture0, 0);
        glUseProgram(0);
    }
    return program;
}

} // namespace

std::uint64_t FixedFunctionKey::bits() const {
    std::uint64_t packed = 0;
    static_assert(sizeof(FixedFunctionKey) <= sizeof packed);
    std::memcpy(&packed, this, sizeof(FixedFunctionKey));
    return packed;
}

std::string FixedFunctionKey::describe() const {
    std::ostringstream out;
    out << "pretransformed=" << pretransformed << " diffuse=" << hasDiffuse
        << " texcoord=" << hasTexCoord << " zeroDepth=" << zeroDepth << " textured=" << textured
        << " flat=" << flat << " colorOp=" << colorOp << '(' << colorArg1 << ',' << colorArg2
        << ") alphaOp=" << alphaOp << '(' << alphaArg1 << ',' << alphaArg2 << ')';
    return out.str();
}

FixedFunctionKey makeKey(const DeviceState& state, DWORD fvf, bool textureBound) {
    FixedFunctionKey key;
    std::memset(&key, 0, sizeof key);
    const auto& rs = state.renderStates;
    key.pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    key.hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
    key.hasTexCoord = (fvf & D3DFVF_TEXCOUNT_MASK) != 0;
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
    return key;
}

std::string fixedFunctionSource(const FixedFunctionKey& key, bool vertexStage) {
    std::ostringstream out;
    out << "#version 330 core\n// key " << key.describe() << "\n";
    out << (vertexStage ? "#define VERTEX_STAGE\n" : "#define FRAGMENT_STAGE\n");
    out << "#define PRETRANSFORMED " << key.pretransformed << "\n#define HAS_DIFFUSE "
        << key.hasDiffuse << "\n#define HAS_TEXCOORD " << key.hasTexCoord
        << "\n#define ZERO_DEPTH " << key.zeroDepth << "\n#define TEXTURED " << key.textured
        << "\n#define FLAT " << key.flat << "\n#define COLOR_OP " << key.colorOp
        << "\n#define COLOR_ARG1 " << key.colorArg1 << "\n#define COLOR_ARG2 " << key.colorArg2
        << "\n#define ALPHA_OP " << key.alphaOp << "\n#define ALPHA_ARG1 " << key.alphaArg1
        << "\n#define ALPHA_ARG2 " << key.alphaArg2 << "\n";
    out << fixedFunctionGlsl;
    return out.str();
}

Program& ProgramCache::get(const FixedFunctionKey& key) {
    const std::uint64_t bits = key.bits();
    auto found = programs_.find(bits);
    if (found != programs_.end())
        return found->second;
    return programs_.emplace(bits, link(key)).first->second;
}

void ProgramCache::destroy() {
    for (auto& [bits, program] : programs_)
        glDeleteProgram(program.name);
    programs_.clear();
}

} // namespace d3d9
