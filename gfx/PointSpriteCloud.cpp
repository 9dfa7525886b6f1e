#include "gfx/PointSpriteCloud.h"

#include <cstring>

namespace {

struct PointVertex {
    float x, y, z;
    D3DCOLOR color;
    static constexpr DWORD format = D3DFVF_XYZ | D3DFVF_DIFFUSE;
};
static_assert(sizeof(PointVertex) == 16);

DWORD bits(float value) {
    DWORD b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

// Friction pulls a speed towards 0 and never past it.
float slowed(float v, float by) {
    if (v > 0) return v - by > 0 ? v - by : 0.0f;
    if (v < 0) return v + by < 0 ? v + by : 0.0f;
    return v;
}

} // namespace

PointSpriteCloud::Point* PointSpriteCloud::getPoint(int index) {
    return contains(index) ? &points[static_cast<std::size_t>(index)] : nullptr;
}

void PointSpriteCloud::setPoint(D3DXVECTOR3 position, D3DXVECTOR3 velocity, D3DCOLOR color,
                                int index) {
    if (!contains(index)) return;
    Point& p = points[static_cast<std::size_t>(index)];
    p.position = position;
    p.velocity = velocity;
    p.color = color;
    p.life = static_cast<int>(lifeDefault);
    useCommonColor = false;
}

void PointSpriteCloud::setPointColor(D3DCOLOR color, int index) {
    if (contains(index)) points[static_cast<std::size_t>(index)].color = color;
}

void PointSpriteCloud::setCommonColor(D3DCOLOR color, bool enabled) {
    commonColor = color;
    useCommonColor = enabled;
}

void PointSpriteCloud::release() {
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
    if (vertexBuffer) {
        vertexBuffer->Release();
        vertexBuffer = nullptr;
    }
}

void PointSpriteCloud::init(IDirect3DDevice9* device_, int count_, const char* textureFile) {
    device = device_;
    release();
    // The defaults first, and the count stored, so the points are seeded from them.
    useCommonColor = false;
    pointSize = 1.0f;
    bounce = 0.5f;
    gravity = 0.02f;
    floorY = -1.0f;
    timeStep = 0.005f;
    friction = 0.005f;
    lifeDefault = 256.0f;
    count = count_ > 0 ? count_ : 0; // a count of 0 or less is an empty cloud
    points.assign(static_cast<std::size_t>(count), Point{});
    for (int i = 0; i < count; ++i) {
        setPoint({0, 0, 0}, {0, 0, 0}, 0, i);
        points[static_cast<std::size_t>(i)].life = 0;
    }
    if (!device || count == 0) return;
    device->CreateVertexBuffer(static_cast<UINT>(count) * sizeof(PointVertex),
                               D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS,
                               PointVertex::format, D3DPOOL_DEFAULT, &vertexBuffer, nullptr);
    D3DXCreateTextureFromFileA(device, textureFile, &texture);
}

void PointSpriteCloud::setLifeDefault(float life) {
    lifeDefault = life;
}
void PointSpriteCloud::setFriction(float value) {
    friction = value;
}
void PointSpriteCloud::setTimeStep(float value) {
    timeStep = value;
}
void PointSpriteCloud::setPointSize(float value) {
    pointSize = value;
}
void PointSpriteCloud::setBounce(float value) {
    bounce = value;
}
void PointSpriteCloud::setGravity(float value) {
    gravity = value;
}
void PointSpriteCloud::setFloor(float y) {
    floorY = y;
}

PointSpriteCloud::~PointSpriteCloud() {
    release();
}

void PointSpriteCloud::update() {
    for (Point& p : points) {
        p.position.x += p.velocity.x * 0.005f * timeStep;
        p.position.y += p.velocity.y * 0.005f * timeStep;
        p.position.z += p.velocity.z * 0.005f * timeStep;
        p.velocity.y -= gravity * timeStep;
        if (p.position.y <= floorY) {
            p.position.y = floorY;
            p.velocity.y = -(bounce * p.velocity.y * timeStep);
            p.velocity.x = slowed(p.velocity.x, friction * timeStep);
            p.velocity.z = slowed(p.velocity.z, friction * timeStep);
        }
    }
}

void PointSpriteCloud::draw() {
    if (!device || !vertexBuffer) return; // an empty or unbuffered cloud draws nothing
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, bits(pointSize));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, bits(1.0f));
    device->SetRenderState(D3DRS_POINTSCALE_A, bits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, bits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, bits(1.0f));
    void* data = nullptr;
    if (SUCCEEDED(vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        auto* out = static_cast<PointVertex*>(data);
        for (const Point& p : points)
            *out++ = {p.position.x, p.position.y, p.position.z,
                      useCommonColor ? commonColor : p.color};
        vertexBuffer->Unlock();
        device->SetStreamSource(0, vertexBuffer, 0, sizeof(PointVertex));
        device->SetFVF(PointVertex::format);
        device->DrawPrimitive(D3DPT_POINTLIST, 0, static_cast<UINT>(count));
    }
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetTexture(0, nullptr);
}
