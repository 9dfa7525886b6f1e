#pragma once
// The one hand-written source every fixed-function program is compiled from; the key's fields
// arrive as #defines in front of it.
namespace d3d9 {

inline constexpr const char* fixedFunctionGlsl = R"GLSL(
#define ARG_DIFFUSE 0
#define ARG_CURRENT 1
#define ARG_TEXTURE 2
#define ARG_TFACTOR 3
#define ARG_SPECULAR 4
#define OP_DISABLE 1
#define OP_SELECTARG1 2
#define OP_SELECTARG2 3
#define OP_MODULATE 4
#define OP_MODULATE2X 5
#define OP_MODULATE4X 6
#define OP_ADD 7

#if FLAT
#define COLOR_INTERPOLATION flat
#else
#define COLOR_INTERPOLATION smooth
#endif

#ifdef VERTEX_STAGE
layout(location = 0) in vec4 inPosition;
layout(location = 2) in vec4 inDiffuse;
layout(location = 4) in vec2 inTexCoord0;

uniform vec4 uViewport; // x, y, width, height of the Direct3D viewport, in pixels
uniform mat4 uWorldViewProjection;

COLOR_INTERPOLATION out vec4 vDiffuse;
out vec2 vTexCoord0;

void main() {
#if PRETRANSFORMED
    // x, y are target pixels; rhw drives perspective-correct interpolation.
    float w = inPosition.w != 0.0 ? 1.0 / inPosition.w : 1.0;
    vec2 ndc = vec2((inPosition.x - uViewport.x) * 2.0 / uViewport.z - 1.0,
                    1.0 - (inPosition.y - uViewport.y) * 2.0 / uViewport.w);
#if ZERO_DEPTH
    float z = 0.0;
#else
    float z = inPosition.z;
#endif
    vec4 clip = vec4(ndc * w, z * w, w);
#else
    vec4 clip = uWorldViewProjection * vec4(inPosition.xyz, 1.0);
#endif
    // Direct3D samples pixel centres on integers: shift 63/128 px right and down.
    clip.x += (2.0 * 63.0 / 128.0) / uViewport.z * clip.w;
    clip.y -= (2.0 * 63.0 / 128.0) / uViewport.w * clip.w;
    // Surfaces are stored top row first, and Direct3D's clip depth runs 0..w.
    clip.y = -clip.y;
    clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;

#if HAS_DIFFUSE
    vDiffuse = inDiffuse;
#else
    vDiffuse = vec4(1.0);
#endif
#if HAS_TEXCOORD
    vTexCoord0 = inTexCoord0;
#else
    vTexCoord0 = vec2(0.0);
#endif
}
#endif

#ifdef FRAGMENT_STAGE
COLOR_INTERPOLATION in vec4 vDiffuse;
in vec2 vTexCoord0;

uniform sampler2D uTexture0;
uniform vec4 uTextureFactor;

out vec4 outColor;

vec4 argument(int code, vec4 diffuse, vec4 current, vec4 texel) {
    int source = code & 15;
    vec4 v = source == ARG_DIFFUSE ? diffuse
           : source == ARG_CURRENT ? current
           : source == ARG_TEXTURE ? texel
           : source == ARG_TFACTOR ? uTextureFactor
           : vec4(0.0, 0.0, 0.0, 1.0);
    if ((code & 0x20) != 0) v = vec4(v.a);
    if ((code & 0x10) != 0) v = vec4(1.0) - v;
    return v;
}

vec4 combine(int op, vec4 a1, vec4 a2, vec4 current) {
    vec4 r = op == OP_SELECTARG1 ? a1
           : op == OP_SELECTARG2 ? a2
           : op == OP_MODULATE ? a1 * a2
           : op == OP_MODULATE2X ? 2.0 * a1 * a2
           : op == OP_MODULATE4X ? 4.0 * a1 * a2
           : op == OP_ADD ? a1 + a2
           : current;
    return clamp(r, 0.0, 1.0);
}

void main() {
    vec4 diffuse = vDiffuse;
    vec4 current = diffuse;
#if TEXTURED
    vec4 texel = texture(uTexture0, vTexCoord0);
#else
    vec4 texel = vec4(0.0); // what a stage reads from an empty slot
#endif
#if COLOR_OP != OP_DISABLE
    vec4 c = combine(COLOR_OP, argument(COLOR_ARG1, diffuse, current, texel),
                     argument(COLOR_ARG2, diffuse, current, texel), current);
    vec4 a = combine(ALPHA_OP, argument(ALPHA_ARG1, diffuse, current, texel),
                     argument(ALPHA_ARG2, diffuse, current, texel), current);
    current = vec4(c.rgb, a.a);
#endif
    outColor = current;
}
#endif
)GLSL";

} // namespace d3d9
