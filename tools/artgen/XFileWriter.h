#pragma once
#include <array>
#include <string>
#include <vector>

namespace artgen {

struct XMaterial {
    std::array<float, 4> faceColor;
    float power;
    std::array<float, 3> specularColor;
    std::array<float, 3> emissiveColor;
    std::string textureFile; // written as given, backslashes and all; empty for none
};

// A triangle mesh as the text .x format holds it: one normal and one texture coordinate per
// vertex, one material per face.
struct XMesh {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 3>> normals;
    std::vector<std::array<float, 2>> uvs;
    std::vector<std::array<int, 3>> faces;
    std::vector<int> faceMaterials;
    std::vector<XMaterial> materials;
};

// The mesh as a "xof 0303txt 0032" file: a Mesh with its material list, normals and
// texture coordinates.
std::string writeXFile(const XMesh& mesh, const std::string& name);

} // namespace artgen
