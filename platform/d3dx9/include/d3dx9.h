#pragma once
// The Direct3D 9 utility library calls the demo makes: matrices, textures from image files,
// blank textures, stock meshes and mesh objects. Built on the public Direct3D 9 calls, as the
// platform's own library is.
#include "d3d9.h"

using D3DXMATRIX = D3DMATRIX;
// The vector with the constructors the platform's library gives it.
struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() = default;
    constexpr D3DXVECTOR3(float x, float y, float z) : D3DVECTOR{x, y, z} {}
    constexpr D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
};

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFF;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFE;
constexpr UINT D3DX_FROM_FILE = 0xFFFFFFFD;
constexpr D3DFORMAT D3DFMT_FROM_FILE = static_cast<D3DFORMAT>(0xFFFFFFFD);
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59);

constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
constexpr DWORD D3DXMESH_MANAGED = 0x220;

struct D3DXIMAGE_INFO {
    UINT Width, Height, Depth, MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    DWORD ImageFileFormat;
};

struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

// A block of memory handed out by the library (materials, adjacency).
struct ID3DXBuffer : IUnknown {
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

struct ID3DXMesh : IUnknown {
    virtual HRESULT DrawSubset(DWORD attributeId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device,
                                 ID3DXMesh** clone) = 0;
    virtual HRESULT LockVertexBuffer(DWORD flags, LPVOID* data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, LPVOID* data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
};

using LPD3DXMESH = ID3DXMesh*;
using LPD3DXBUFFER = ID3DXBuffer*;

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear,
                                       float zFar);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);

UINT D3DXGetFVFVertexSize(DWORD fvf);

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels,
                          DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName,
                                   IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR fileName, UINT width,
                                     UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

HRESULT D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth,
                      ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks,
                         ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT D3DXCreateCylinder(IDirect3DDevice9* device, float radius1, float radius2, float length,
                           UINT slices, UINT stacks, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT D3DXCreateTorus(IDirect3DDevice9* device, float innerRadius, float outerRadius, UINT sides,
                        UINT rings, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT D3DXComputeNormals(ID3DXMesh* mesh, const DWORD* adjacency);

HRESULT D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                           ID3DXBuffer** effectInstances, DWORD* materialCount, ID3DXMesh** mesh);
HRESULT D3DXLoadMeshFromXInMemory(LPCVOID memory, DWORD size, DWORD options,
                                  IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                                  DWORD* materialCount, ID3DXMesh** mesh);
