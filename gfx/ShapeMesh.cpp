#include "gfx/ShapeMesh.h"

void ShapeMesh::setDevice(IDirect3DDevice9* device_) {
    device = device_;
}

void ShapeMesh::release() {
    if (mesh) {
        mesh->Release();
        mesh = nullptr;
    }
}

void ShapeMesh::cloneWithNormals(DWORD fvf) {
    if (!mesh) return;
    ID3DXMesh* clone = nullptr;
    if (FAILED(mesh->CloneMeshFVF(mesh->GetOptions(), fvf, device, &clone)))
        MessageBoxA(nullptr, "クローン作成", "", MB_OK);
    release();
    mesh = clone;
    // Without a clone there is nothing to compute normals on.
    if (mesh && FAILED(D3DXComputeNormals(mesh, nullptr))) MessageBoxA(nullptr, "法線", "", MB_OK);
}

HRESULT ShapeMesh::createShape(ShapeKind kind, double size) {
    const auto s = static_cast<float>(size);
    if (kind < ShapeKind::Cube || kind > ShapeKind::Teapot)
        return D3DERR_INVALIDCALL; // unknown: the mesh stays as it was
    release();                     // a new shape replaces the old rather than leaking it
    switch (kind) {
    case ShapeKind::Cube:
        return D3DXCreateBox(device, s, s, s, &mesh, nullptr);
    case ShapeKind::Sphere:
        return D3DXCreateSphere(device, s, 16, 16, &mesh, nullptr);
    case ShapeKind::Pyramid:
        return D3DXCreateCylinder(device, s, 0.0f, static_cast<float>(size * 1.3333333333333333), 3,
                                  32, &mesh, nullptr);
    case ShapeKind::Torus:
        return D3DXCreateTorus(device, 0.05f, s, 16, 16, &mesh, nullptr);
    case ShapeKind::FineSphere:
        return D3DXCreateSphere(device, s, 64, 64, &mesh, nullptr);
    default:
        return D3DXCreateTeapot(device, &mesh, nullptr);
    }
}

HRESULT ShapeMesh::createBox(double width, double height, double depth) {
    release();
    return D3DXCreateBox(device, static_cast<float>(width), static_cast<float>(height),
                         static_cast<float>(depth), &mesh, nullptr);
}

void ShapeMesh::placeAt(float x, float y, float z) {
    if (!device) return;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, y, z);
    device->SetTransform(D3DTS_WORLD, &world);
}

void ShapeMesh::setColor(double r, double g, double b) {
    material.setDiffuse(r, g, b);
    material.setAmbient(r, g, b);
    material.setSpecular(1.0, 1.0, 1.0);
    material.setEmissive(0.0, 0.0, 0.0);
    material.setAlpha(1.0);
    material.setPower(1.0);
}

void ShapeMesh::draw() {
    drawWithMaterial(material);
}

void ShapeMesh::drawWithMaterial(const Material& with) {
    if (!device || !mesh) return; // a shape that failed to be made draws nothing
    device->SetMaterial(&with.record());
    mesh->DrawSubset(0);
}

ShapeMesh::~ShapeMesh() {
    release();
}
