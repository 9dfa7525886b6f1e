#include "XFileWriter.h"

#include <cstdio>

namespace artgen {

namespace {

// Fixed notation, so the file is the same on every machine.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value) + 0.0);
    return text;
}

template <std::size_t N> std::string vector(const std::array<float, N>& values) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i)
        out += number(values[i]) + ";";
    return out;
}

// Element separators: a comma between items, a semicolon after the last.
const char* separator(std::size_t i, std::size_t count) {
    return i + 1 < count ? ",\n" : ";\n";
}

std::string faceList(const std::vector<std::array<int, 3>>& faces) {
    std::string out = "  " + std::to_string(faces.size()) + ";\n";
    for (std::size_t i = 0; i < faces.size(); ++i)
        out += "  3;" + std::to_string(faces[i][0]) + "," + std::to_string(faces[i][1]) + "," +
               std::to_string(faces[i][2]) + ";" + separator(i, faces.size());
    return out;
}

std::string material(const XMaterial& m) {
    std::string out = "   Material {\n    " + vector(m.faceColor) + ";\n    " + number(m.power) +
                      ";\n    " + vector(m.specularColor) + ";\n    " + vector(m.emissiveColor) +
                      ";\n";
    if (!m.textureFile.empty())
        out += "    TextureFilename {\n     \"" + m.textureFile + "\";\n    }\n";
    return out + "   }\n";
}

} // namespace

std::string writeXFile(const XMesh& mesh, const std::string& name) {
    std::string out = "xof 0303txt 0032\n\nMesh " + name + " {\n";
    out += "  " + std::to_string(mesh.positions.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.positions.size(); ++i)
        out += "  " + vector(mesh.positions[i]) + separator(i, mesh.positions.size());
    out += faceList(mesh.faces);

    out += "\n  MeshMaterialList {\n   " + std::to_string(mesh.materials.size()) + ";\n   " +
           std::to_string(mesh.faceMaterials.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.faceMaterials.size(); ++i)
        out +=
            "   " + std::to_string(mesh.faceMaterials[i]) + separator(i, mesh.faceMaterials.size());
    for (const XMaterial& m : mesh.materials)
        out += material(m);
    out += "  }\n";

    out += "\n  MeshNormals {\n  " + std::to_string(mesh.normals.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.normals.size(); ++i)
        out += "  " + vector(mesh.normals[i]) + separator(i, mesh.normals.size());
    out += faceList(mesh.faces) + "  }\n";

    out += "\n  MeshTextureCoords {\n  " + std::to_string(mesh.uvs.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.uvs.size(); ++i)
        out += "  " + vector(mesh.uvs[i]) + separator(i, mesh.uvs.size());
    return out + "  }\n}\n";
}

} // namespace artgen
