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

#define MCS_MATERIAL 0
#define MCS_COLOR1 1
#define MCS_COLOR2 2
#define LIGHT_POINT 1
#define LIGHT_SPOT 2

#ifdef VERTEX_STAGE
layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec4 inDiffuse;
layout(location = 3) in vec4 inSpecular;
layout(location = 4) in vec2 inTexCoord0;

uniform vec4 uViewport; // x, y, width, height of the Direct3D viewport, in pixels
uniform float uResolutionScale; // stored pixels per Direct3D pixel
uniform mat4 uWorldViewProjection;
uniform mat4 uWorldView;
uniform mat3 uNormalMatrix; // inverse transpose of world x view

uniform vec4 uMaterialDiffuse, uMaterialAmbient, uMaterialSpecular, uMaterialEmissive;
uniform float uMaterialPower;
uniform vec4 uGlobalAmbient;
#if LIGHT_COUNT > 0
// In view space. Attenuation: (att0, att1, att2, range); spot: (cos theta/2, cos phi/2,
// falloff, type).
uniform vec3 uLightPosition[LIGHT_COUNT], uLightDirection[LIGHT_COUNT];
uniform vec4 uLightDiffuse[LIGHT_COUNT], uLightSpecular[LIGHT_COUNT], uLightAmbient[LIGHT_COUNT];
uniform vec4 uLightAttenuation[LIGHT_COUNT], uLightSpot[LIGHT_COUNT];
#endif
uniform vec4 uPointSize;  // size, minimum, maximum (already within the device's cap)
uniform vec3 uPointScale; // A, B, C

COLOR_INTERPOLATION out vec4 vDiffuse;
COLOR_INTERPOLATION out vec4 vSpecular;
out vec2 vTexCoord0;

// D3DCOLOR's bytes are B, G, R, A; where they cannot be declared so, they are swapped here.
#if VERTEX_BGRA
#define VERTEX_COLOUR(c) (c).bgra
#else
#define VERTEX_COLOUR(c) (c)
#endif

vec4 vertexDiffuse() {
#if HAS_DIFFUSE
    return VERTEX_COLOUR(inDiffuse);
#else
    return vec4(1.0);
#endif
}

vec4 vertexSpecular() {
#if HAS_SPECULAR
    return VERTEX_COLOUR(inSpecular);
#else
    return vec4(0.0, 0.0, 0.0, 1.0);
#endif
}

vec4 materialColour(int source, vec4 material) {
    return source == MCS_COLOR1 ? vertexDiffuse() : source == MCS_COLOR2 ? vertexSpecular() : material;
}

#if LIGHTING
// Direct3D's vertex lighting, in view space, clamped per vertex.
void light(vec3 position) {
    vec3 ambient = uGlobalAmbient.rgb, diffuse = vec3(0.0), specular = vec3(0.0);
#if HAS_NORMAL
    vec3 normal = uNormalMatrix * inNormal;
#if NORMALIZE_NORMALS
    float length2 = dot(normal, normal);
    normal = length2 > 0.0 ? normal * inversesqrt(length2) : normal;
#endif
#if LOCAL_VIEWER
    vec3 toEye = dot(position, position) > 0.0 ? normalize(-position) : vec3(0.0, 0.0, -1.0);
#else
    vec3 toEye = vec3(0.0, 0.0, -1.0);
#endif
#endif
#if LIGHT_COUNT > 0
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        int type = int(uLightSpot[i].w);
        vec3 toLight = -uLightDirection[i];
        float strength = 1.0;
        if (type == LIGHT_POINT || type == LIGHT_SPOT) {
            vec3 offset = uLightPosition[i] - position;
            float d = length(offset);
            toLight = d > 0.0 ? offset / d : vec3(0.0, 0.0, -1.0);
            vec4 att = uLightAttenuation[i];
            float denominator = att.x + att.y * d + att.z * d * d;
            strength = d > att.w ? 0.0 : denominator > 0.0 ? min(1.0 / denominator, 3.4e38) : 3.4e38;
            if (type == LIGHT_SPOT) {
                float rho = dot(-toLight, uLightDirection[i]);
                vec4 spot = uLightSpot[i];
                strength *= rho > spot.x ? 1.0
                          : rho <= spot.y ? 0.0
                          : pow((rho - spot.y) / (spot.x - spot.y), spot.z);
            }
        }
        ambient += uLightAmbient[i].rgb * strength;
#if HAS_NORMAL
        float nDotL = dot(normal, toLight);
        diffuse += uLightDiffuse[i].rgb * clamp(nDotL, 0.0, 1.0) * strength;
#if SPECULAR_ENABLE
        if (nDotL > 0.0) {
            float nDotH = dot(normal, normalize(toLight + toEye));
            if (nDotH > 0.0) // Power 0 is full specular wherever the surface faces the light
                specular += uLightSpecular[i].rgb * pow(min(nDotH, 1.0), uMaterialPower) * strength;
        }
#endif
#endif
    }
#endif
    vec4 cd = materialColour(DIFFUSE_SOURCE, uMaterialDiffuse);
    vec4 ca = materialColour(AMBIENT_SOURCE, uMaterialAmbient);
    vec4 ce = materialColour(EMISSIVE_SOURCE, uMaterialEmissive);
    vDiffuse = vec4(clamp(ce.rgb + ca.rgb * ambient + cd.rgb * diffuse, 0.0, 1.0), cd.a);
#if SPECULAR_ENABLE
    vec4 cs = materialColour(SPECULAR_SOURCE, uMaterialSpecular);
    vSpecular = vec4(clamp(cs.rgb * specular, 0.0, 1.0), cs.a);
#else
    vSpecular = vertexSpecular();
#endif
}
#endif

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
    vec3 eye = (uWorldView * vec4(inPosition.xyz, 1.0)).xyz;
#endif
    // Direct3D samples pixel centres on integers: shift 63/128 of a stored pixel right and down.
    clip.x += (2.0 * 63.0 / 128.0) / (uViewport.z * uResolutionScale) * clip.w;
    clip.y -= (2.0 * 63.0 / 128.0) / (uViewport.w * uResolutionScale) * clip.w;
    // Surfaces are stored top row first, and Direct3D's clip depth runs 0..w.
    clip.y = -clip.y;
    clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;

#if LIGHTING
    light(eye);
#else
    vDiffuse = vertexDiffuse();
    vSpecular = vertexSpecular();
#endif
#if POINTS
#if POINT_SCALE
    float distance = length(eye);
    float scale = uPointScale.x + uPointScale.y * distance + uPointScale.z * distance * distance;
    float size = uViewport.w * uPointSize.x * (scale > 0.0 ? inversesqrt(scale) : 3.4e38);
#else
    float size = uPointSize.x;
#endif
    gl_PointSize = clamp(size, uPointSize.y, uPointSize.z) * uResolutionScale;
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
COLOR_INTERPOLATION in vec4 vSpecular;
in vec2 vTexCoord0;

uniform sampler2D uTexture0;
uniform vec4 uTextureFactor;

#if BORDER_U || BORDER_V
uniform vec4 uBorderColour;

// The share of a sample's taps that fall inside the texture on one axis. The sampler clamps to
// the edge, where the one tap inside is what the clamped sample reads, so the border takes the
// rest: exact for magnified and 1:1 sampling.
float insideShare(float coordinate, float size) {
#if BORDER_LINEAR
    float t = coordinate * size - 0.5;
    float first = floor(t), f = t - first;
    float firstInside = step(0.0, first) * step(first, size - 1.0);
    float secondInside = step(-1.0, first) * step(first + 1.0, size - 1.0);
    return (1.0 - f) * firstInside + f * secondInside;
#else
    float texel = floor(coordinate * size);
    return step(0.0, texel) * step(texel, size - 1.0);
#endif
}
#endif

// At another scale than 1 an edge on a whole Direct3D coordinate still falls between Direct3D's
// pixels, but textures are sampled where Direct3D's pixel centres lie: the stored pixels of one
// Direct3D pixel sample around its centre, 63/128 (scale - 1) stored pixels up and left of
// their own; point sampling takes one texel for the whole Direct3D pixel, at its centre.
uniform float uSampleScale; // stored pixels per Direct3D pixel; 0 samples where the pixel is
uniform bool uPointSampled;

vec2 whereSampled(vec2 coordinate) {
    vec2 across = dFdx(coordinate), down = dFdy(coordinate);
    if (uSampleScale == 0.0) return coordinate;
    float s = uSampleScale;
    vec2 offset = uPointSampled
                      ? floor(gl_FragCoord.xy / s) * s + (s + 63.0) / 128.0 - gl_FragCoord.xy
                      : vec2(-63.0 / 128.0 * (s - 1.0));
    return coordinate + across * offset.x + down * offset.y;
}

vec4 sampleTexture(vec2 coordinate) {
    coordinate = whereSampled(coordinate);
    vec4 texel = texture(uTexture0, coordinate);
#if BORDER_U || BORDER_V
    vec2 size = vec2(textureSize(uTexture0, 0));
    float share = 1.0;
#if BORDER_U
    share *= insideShare(coordinate.x, size.x);
#endif
#if BORDER_V
    share *= insideShare(coordinate.y, size.y);
#endif
    texel = mix(uBorderColour, texel, share);
#endif
    return texel;
}

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
#if POINT_SPRITE
    vec2 coordinate = gl_PointCoord; // (0, 0) at the sprite's top left
#if FLIP_POINT_COORD
    coordinate.y = 1.0 - coordinate.y; // where the origin could not be put there
#endif
#else
    vec2 coordinate = vTexCoord0;
#endif
#if TEXTURED
    vec4 texel = sampleTexture(coordinate);
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
#if SPECULAR_ENABLE
    current.rgb = min(current.rgb + vSpecular.rgb, vec3(1.0)); // after the stages, colour only
#endif
    outColor = current;
}
#endif
)GLSL";

} // namespace d3d9
