#include "gfx/Camera.h"

D3DXMATRIX Camera::identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

int Camera::init(IDirect3DDevice9* device_, int width_, int height_) {
    device = device_;
    width = width_;
    height = height_;
    position = {0, 0, 0};
    return 0;
}

void Camera::setPosition(float x, float y, float z) {
    position = {x, y, z};
}

D3DXMATRIX* Camera::getView(D3DXMATRIX* out) {
    *out = view;
    return out;
}

D3DXMATRIX* Camera::getProjection(D3DXMATRIX* out) {
    *out = projection;
    return out;
}

void Camera::setPerspective(float fovY, float zNear, float zFar) {
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    D3DXMatrixPerspectiveFovLH(&projection, fovY, aspect, zNear, zFar);
}

void Camera::lookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at, D3DXVECTOR3 up) {
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
}

void Camera::apply() {
    if (!device) return;
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

float Camera::getX() {
    return position.x;
}
float Camera::getY() {
    return position.y;
}
float Camera::getZ() {
    return position.z;
}
