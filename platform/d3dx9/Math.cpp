#include "VertexFormat.h"
#include "d3dx9.h"

#include <cmath>

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX{};
    out->_11 = out->_22 = out->_33 = out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX r{}; // out may be a or b
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] +
                        a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x, out->_42 = y, out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    D3DXMatrixIdentity(out);
    out->_11 = sx, out->_22 = sy, out->_33 = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_22 = c, out->_23 = s, out->_32 = -s, out->_33 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_11 = c, out->_13 = -s, out->_31 = s, out->_33 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_11 = c, out->_12 = s, out->_21 = -s, out->_22 = c;
    return out;
}

// A zero vector stays zero, so a look-at whose eye is its target stays finite.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
    if (length == 0.0f) {
        *out = D3DXVECTOR3{0, 0, 0};
        return out;
    }
    *out = D3DXVECTOR3{v->x / length, v->y / length, v->z / length};
    return out;
}

namespace {

D3DXVECTOR3 cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 z{at->x - eye->x, at->y - eye->y, at->z - eye->z};
    D3DXVec3Normalize(&z, &z);
    D3DXVECTOR3 x = cross(*up, z);
    D3DXVec3Normalize(&x, &x);
    const D3DXVECTOR3 y = cross(z, x);
    D3DXMatrixIdentity(out);
    out->_11 = x.x, out->_12 = y.x, out->_13 = z.x;
    out->_21 = x.y, out->_22 = y.y, out->_23 = z.y;
    out->_31 = x.z, out->_32 = y.z, out->_33 = z.z;
    out->_41 = -dot(x, *eye), out->_42 = -dot(y, *eye), out->_43 = -dot(z, *eye);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear,
                                       float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2), xScale = yScale / aspect;
    *out = D3DXMATRIX{};
    out->_11 = xScale;
    out->_22 = yScale;
    out->_33 = zFar / (zFar - zNear);
    out->_34 = 1.0f;
    out->_43 = -zNear * zFar / (zFar - zNear);
    return out;
}

UINT D3DXGetFVFVertexSize(DWORD fvf) {
    return d3d9::vertexSize(fvf);
}
