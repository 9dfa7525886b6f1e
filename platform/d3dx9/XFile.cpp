#include "XFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace d3dx9 {
namespace {

constexpr HRESULT parseError = static_cast<HRESULT>(0x88760390);   // D3DXFERR_PARSEERROR
constexpr HRESULT badFileType = static_cast<HRESULT>(0x8876038C);  // D3DXFERR_BADFILETYPE
constexpr HRESULT badVersion = static_cast<HRESULT>(0x8876038D);   // D3DXFERR_BADFILEVERSION
constexpr HRESULT badFloatSize = static_cast<HRESULT>(0x8876038E); // D3DXFERR_BADFILEFLOATSIZE
constexpr int deepest = 64;

// One object of the file: its template, its name, its values in order (separators dropped)
// and its children; references name other objects.
struct Node {
    std::string type; // lower case: template names match case-insensitively
    std::string name;
    std::vector<double> numbers;
    std::vector<std::string> strings;
    std::vector<std::unique_ptr<Node>> children;
    std::vector<std::string> references; // in child order, with children as empty entries
    std::vector<bool> childIsReference;
};

class Lexer {
  public:
    Lexer(const char* begin, const char* end) : at_(begin), end_(end) {}

    enum Kind { End, Open, Close, Name, Number, String, Guid, Separator, Other };
    struct Token {
        Kind kind;
        std::string text;
        double number = 0;
    };

    Token next() {
        skipSpaceAndComments();
        if (at_ >= end_) return {End, {}};
        const char c = *at_;
        if (c == '{' || c == '}') {
            ++at_;
            return {c == '{' ? Open : Close, {}};
        }
        if (c == ',' || c == ';') {
            ++at_;
            return {Separator, {}};
        }
        if (c == '"') return string();
        if (c == '<') return guid();
        if (c == '-' || c == '+' || c == '.' || std::isdigit(static_cast<unsigned char>(c)))
            return number();
        if (isNameChar(c)) return name();
        ++at_;
        return {Other, std::string(1, c)};
    }

  private:
    static bool isNameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
    }

    void skipSpaceAndComments() {
        while (at_ < end_) {
            const char c = *at_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
                ++at_;
            } else if (c == '#' || (c == '/' && at_ + 1 < end_ && at_[1] == '/')) {
                while (at_ < end_ && *at_ != '\n')
                    ++at_;
            } else {
                break;
            }
        }
    }

    Token string() {
        const char* start = ++at_;
        while (at_ < end_ && *at_ != '"')
            ++at_;
        if (at_ >= end_) return {Other, "\""}; // unterminated
        Token t{String, std::string(start, at_)};
        ++at_;
        return t;
    }

    Token guid() {
        const char* start = at_;
        while (at_ < end_ && *at_ != '>')
            ++at_;
        if (at_ >= end_ || at_ - start != 37) return {Other, "<"};
        ++at_;
        return {Guid, std::string(start, at_)};
    }

    Token number() {
        const char* start = at_;
        ++at_;
        while (at_ < end_ &&
               (std::isdigit(static_cast<unsigned char>(*at_)) || *at_ == '.' || *at_ == 'e' ||
                *at_ == 'E' || *at_ == '#' || std::isalpha(static_cast<unsigned char>(*at_)) ||
                ((*at_ == '-' || *at_ == '+') && (at_[-1] == 'e' || at_[-1] == 'E'))))
            ++at_;
        const std::string text(start, at_);
        if (text.find('#') != std::string::npos) // exporters' -1.#IND00 and 1.#QNAN0
            return {Number, text, 0.0};
        char* parsed = nullptr;
        const double value = std::strtod(text.c_str(), &parsed);
        if (parsed != text.c_str() + text.size() || !std::isfinite(value)) return {Other, text};
        return {Number, text, value};
    }

    Token name() {
        const char* start = at_;
        while (at_ < end_ && isNameChar(*at_))
            ++at_;
        return {Name, std::string(start, at_)};
    }

    const char* at_;
    const char* end_;
};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class Parser {
  public:
    Parser(const char* begin, const char* end) : lexer_(begin, end) { advance(); }

    bool parseTop(std::vector<std::unique_ptr<Node>>& top) {
        while (token_.kind != Lexer::End) {
            if (token_.kind == Lexer::Separator) {
                advance();
                continue;
            }
            if (token_.kind != Lexer::Name) return false;
            if (lower(token_.text) == "template") {
                if (!skipTemplate()) return false;
                continue;
            }
            auto node = object(0);
            if (!node) return false;
            top.push_back(std::move(node));
        }
        return true;
    }

  private:
    void advance() { token_ = lexer_.next(); }

    bool skipTemplate() {
        advance(); // the template's name
        if (token_.kind != Lexer::Name) return false;
        advance();
        if (token_.kind != Lexer::Open) return false;
        int depth = 0;
        do {
            if (token_.kind == Lexer::End) return false;
            depth += token_.kind == Lexer::Open ? 1 : token_.kind == Lexer::Close ? -1 : 0;
            advance();
        } while (depth > 0);
        return true;
    }

    // TemplateName [objectName] { values, children, references }
    std::unique_ptr<Node> object(int depth) {
        if (depth > deepest) return nullptr;
        auto node = std::make_unique<Node>();
        node->type = lower(token_.text);
        advance();
        if (token_.kind == Lexer::Name) {
            node->name = token_.text;
            advance();
        }
        if (token_.kind != Lexer::Open) return nullptr;
        advance();
        if (token_.kind == Lexer::Guid) advance();
        for (;;) {
            switch (token_.kind) {
            case Lexer::Close:
                advance();
                return node;
            case Lexer::Separator:
                advance();
                break;
            case Lexer::Number:
                node->numbers.push_back(token_.number);
                advance();
                break;
            case Lexer::String:
                node->strings.push_back(token_.text);
                advance();
                break;
            case Lexer::Open: { // a reference: { name } or { name <guid> } or { <guid> }
                advance();
                std::string target;
                if (token_.kind == Lexer::Name) {
                    target = token_.text;
                    advance();
                }
                if (token_.kind == Lexer::Guid) advance();
                if (token_.kind != Lexer::Close) return nullptr;
                advance();
                node->references.push_back(target);
                node->childIsReference.push_back(true);
                break;
            }
            case Lexer::Name: {
                auto child = object(depth + 1);
                if (!child) return nullptr;
                node->children.push_back(std::move(child));
                node->references.emplace_back();
                node->childIsReference.push_back(false);
                break;
            }
            default:
                return nullptr;
            }
        }
    }

    Lexer lexer_;
    Lexer::Token token_;
};

// Reads a node's numbers in order; every read is checked against what is there.
class Reader {
  public:
    explicit Reader(const Node& node) : numbers_(node.numbers) {}
    bool count(std::size_t& out, std::size_t each) {
        double v;
        if (!next(v) || v < 0 || v != std::floor(v) || v > 4294967295.0)
            return false; // a DWORD, or nothing
        out = static_cast<std::size_t>(v);
        return each == 0 || out <= (numbers_.size() - at_) / each; // never more than the file
    }
    bool index(DWORD& out, std::size_t limit) {
        double v;
        if (!next(v) || v < 0 || v != std::floor(v) || v >= static_cast<double>(limit))
            return false;
        out = static_cast<DWORD>(v);
        return true;
    }
    bool next(double& v) {
        if (at_ >= numbers_.size()) return false;
        v = numbers_[at_++];
        return true;
    }
    bool floats(float* out, int n) {
        for (int i = 0; i < n; ++i) {
            double v;
            if (!next(v)) return false;
            out[i] = static_cast<float>(v);
        }
        return true;
    }

  private:
    const std::vector<double>& numbers_;
    std::size_t at_ = 0;
};

using Faces = std::vector<std::vector<DWORD>>;

bool readFaces(Reader& r, std::size_t vertexLimit, Faces& faces) {
    std::size_t count = 0;
    if (!r.count(count, 1)) return false;
    faces.resize(count);
    for (auto& face : faces) {
        std::size_t n = 0;
        if (!r.count(n, 1) || n < 3) return false;
        face.resize(n);
        for (DWORD& index : face)
            if (!r.index(index, vertexLimit)) return false;
    }
    return true;
}

bool readMaterial(const Node& node, XMaterial& out) {
    Reader r(node);
    float v[11];
    if (!r.floats(v, 11)) return false;
    out.material.Diffuse = {v[0], v[1], v[2], v[3]};
    out.material.Ambient = {0, 0, 0, 1}; // the file has no ambient; the library leaves it black
    out.material.Power = v[4];
    out.material.Specular = {v[5], v[6], v[7], 1};
    out.material.Emissive = {v[8], v[9], v[10], 1};
    for (const auto& child : node.children)
        if (child->type == "texturefilename" && !child->strings.empty()) {
            out.textureName = child->strings.front(); // the last one wins
            out.hasTexture = true;
        }
    return true;
}

class Loader {
  public:
    explicit Loader(XScene& scene) : scene_(scene) {}

    void index(const Node& node) {
        if (!node.name.empty()) named_.emplace(node.name, &node);
        for (const auto& child : node.children)
            index(*child);
    }

    bool walk(const Node& node, const D3DXMATRIX& transform, int depth) {
        if (scene_.vertices.size() > largest)
            return false; // references that multiply a mesh beyond reason
        if (node.type == "mesh") return mesh(node, transform);
        if (node.type != "frame") return true; // other objects carry nothing a mesh needs
        // A frame that refers to itself, directly or not, is not a hierarchy.
        if (depth > deepest || std::find(path_.begin(), path_.end(), &node) != path_.end())
            return false;
        path_.push_back(&node);
        const bool walked = walkFrame(node, transform, depth);
        path_.pop_back();
        return walked;
    }

  private:
    static constexpr std::size_t largest = 1u << 22;

    bool walkFrame(const Node& node, const D3DXMATRIX& transform, int depth) {
        D3DXMATRIX current = transform;
        for (std::size_t i = 0; i < node.childIsReference.size(); ++i) {
            const Node* child = childAt(node, i);
            if (!child) return false;
            if (child->type == "frametransformmatrix") {
                D3DXMATRIX local;
                Reader r(*child);
                if (!r.floats(&local._11, 16)) return false;
                D3DXMatrixMultiply(&current, &local, &current); // a row vector meets local first
            } else if (!walk(*child, current, depth + 1)) {
                return false;
            }
        }
        return true;
    }

    // The i-th child, references resolved to the object they name.
    const Node* childAt(const Node& node, std::size_t i) {
        if (!node.childIsReference[i]) {
            std::size_t k = 0;
            for (std::size_t j = 0; j < i; ++j)
                k += node.childIsReference[j] ? 0 : 1;
            return node.children[k].get();
        }
        auto found = named_.find(node.references[i]);
        return found == named_.end() ? nullptr : found->second;
    }

    bool materialList(const Node& node, std::size_t faces, std::vector<DWORD>& perFace,
                      std::vector<XMaterial>& materials) {
        Reader r(node);
        std::size_t count = 0, indices = 0;
        if (!r.count(count, 0) || count > 65536 || !r.count(indices, 1)) return false;
        perFace.assign(faces, 0);
        for (std::size_t i = 0; i < indices; ++i) {
            DWORD id = 0;
            double v;
            if (!r.next(v) || v < 0) return false;
            id = v < static_cast<double>(count) ? static_cast<DWORD>(v) : 0; // out of range: 0
            if (i < faces) perFace[i] = id;
        }
        if (indices == 1) // one index meaning every face, as some exporters write it
            std::fill(perFace.begin(), perFace.end(), perFace.empty() ? 0 : perFace[0]);
        else if (indices < faces)
            return false;
        for (std::size_t i = 0; i < node.childIsReference.size(); ++i) {
            const Node* child = childAt(node, i);
            if (!child) return false;
            if (child->type != "material") continue;
            XMaterial m;
            if (!readMaterial(*child, m)) return false;
            materials.push_back(m);
        }
        if (materials.size() < count) return false;
        materials.resize(count);
        return true;
    }

    bool mesh(const Node& node, const D3DXMATRIX& transform) {
        Reader r(node);
        std::size_t vertexCount = 0;
        if (!r.count(vertexCount, 3)) return false;
        std::vector<XVertex> vertices(vertexCount);
        for (XVertex& v : vertices)
            if (!r.floats(&v.position.x, 3)) return false;
        Faces faces;
        if (!readFaces(r, vertexCount, faces)) return false;
        if (vertexCount == 0) return true; // an empty mesh adds nothing

        std::vector<DWORD> perFace(faces.size(), 0);
        std::vector<XMaterial> materials;
        const Node* normals = nullptr;
        for (std::size_t i = 0; i < node.childIsReference.size(); ++i) {
            const Node* child = childAt(node, i);
            if (!child) return false;
            if (child->type == "meshnormals")
                normals = child;
            else if (child->type == "meshtexturecoords" && !texCoords(*child, vertices))
                return false;
            else if (child->type == "meshvertexcolors" && !colours(*child, vertices))
                return false;
            else if (child->type == "meshmateriallist" &&
                     !materialList(*child, faces.size(), perFace, materials))
                return false;
        }
        std::vector<std::vector<DWORD>> corners = faces;
        if (normals && !splitByNormals(*normals, faces, vertices, corners)) return false;
        if (materials.empty()) { // no list: one default material for every face
            XMaterial m;
            m.material.Diffuse = {0.5f, 0.5f, 0.5f, 0};
            m.material.Specular = {0.5f, 0.5f, 0.5f, 0};
            materials.push_back(m);
            std::fill(perFace.begin(), perFace.end(), 0);
        }
        append(vertices, corners, perFace, materials, transform);
        return true;
    }

    bool texCoords(const Node& node, std::vector<XVertex>& vertices) {
        Reader r(node);
        std::size_t count = 0;
        if (!r.count(count, 2) || count != vertices.size()) return false;
        for (XVertex& v : vertices)
            if (!r.floats(&v.u, 2)) return false;
        scene_.hasTexCoords = true;
        return true;
    }

    bool colours(const Node& node, std::vector<XVertex>& vertices) {
        Reader r(node);
        std::size_t count = 0;
        if (!r.count(count, 5)) return false;
        for (std::size_t i = 0; i < count; ++i) {
            DWORD index = 0;
            float c[4];
            if (!r.index(index, vertices.size()) || !r.floats(c, 4)) return false;
            auto byte = [](float v) {
                return static_cast<unsigned>(std::floor(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f));
            };
            vertices[index].colour = D3DCOLOR_ARGB(byte(c[3]), byte(c[0]), byte(c[1]), byte(c[2]));
        }
        scene_.hasColours = true;
        return true;
    }

    // A position used with different normals becomes one vertex per normal value.
    bool splitByNormals(const Node& node, const Faces& faces, std::vector<XVertex>& vertices,
                        std::vector<std::vector<DWORD>>& corners) {
        Reader r(node);
        std::size_t count = 0;
        if (!r.count(count, 3)) return false;
        std::vector<D3DXVECTOR3> normals(count);
        for (auto& n : normals) {
            if (!r.floats(&n.x, 3)) return false;
            D3DXVec3Normalize(&n, &n);
        }
        Faces faceNormals;
        if (!readFaces(r, count, faceNormals) || faceNormals.size() != faces.size()) return false;
        const std::size_t original = vertices.size();
        std::vector<bool> assigned(original, false);
        std::vector<std::vector<DWORD>> copies(original);
        for (XVertex& v : vertices)
            v.normal = {0, 0, 0};
        auto same = [](const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
            return a.x == b.x && a.y == b.y && a.z == b.z;
        };
        for (std::size_t f = 0; f < faces.size(); ++f) {
            if (faceNormals[f].size() != faces[f].size()) return false;
            for (std::size_t c = 0; c < faces[f].size(); ++c) {
                const DWORD v = faces[f][c];
                const D3DXVECTOR3& n = normals[faceNormals[f][c]];
                if (!assigned[v]) {
                    assigned[v] = true;
                    vertices[v].normal = n;
                    continue;
                }
                if (same(vertices[v].normal, n)) continue;
                DWORD use = 0;
                bool found = false;
                for (DWORD copy : copies[v])
                    if (same(vertices[copy].normal, n)) {
                        use = copy;
                        found = true;
                    }
                if (!found) {
                    use = static_cast<DWORD>(vertices.size());
                    XVertex duplicate = vertices[v];
                    duplicate.normal = n;
                    vertices.push_back(duplicate);
                    copies[v].push_back(use);
                }
                corners[f][c] = use;
            }
        }
        scene_.hasNormals = true;
        return true;
    }

    void append(const std::vector<XVertex>& vertices, const std::vector<std::vector<DWORD>>& faces,
                const std::vector<DWORD>& perFace, const std::vector<XMaterial>& materials,
                const D3DXMATRIX& m) {
        const auto base = static_cast<DWORD>(scene_.vertices.size());
        const auto materialBase = static_cast<DWORD>(scene_.materials.size());
        for (XVertex v : vertices) {
            const D3DXVECTOR3 p = v.position, n = v.normal;
            v.position = {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41,
                          p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
                          p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
            D3DXVECTOR3 turned{n.x * m._11 + n.y * m._21 + n.z * m._31,
                               n.x * m._12 + n.y * m._22 + n.z * m._32,
                               n.x * m._13 + n.y * m._23 + n.z * m._33};
            D3DXVec3Normalize(&v.normal, &turned);
            scene_.vertices.push_back(v);
        }
        for (std::size_t f = 0; f < faces.size(); ++f)
            for (std::size_t c = 1; c + 1 < faces[f].size(); ++c) { // a fan from the first corner
                scene_.indices.insert(scene_.indices.end(), {base + faces[f][0], base + faces[f][c],
                                                             base + faces[f][c + 1]});
                scene_.attributes.push_back(materialBase + perFace[f]);
            }
        scene_.materials.insert(scene_.materials.end(), materials.begin(), materials.end());
    }

    XScene& scene_;
    std::map<std::string, const Node*> named_;
    std::vector<const Node*> path_;
};

HRESULT checkHeader(const char* data, std::size_t size) {
    if (size < 16 || std::memcmp(data, "xof ", 4) != 0) return badFileType;
    const std::string version(data + 4, 4), format(data + 8, 4), floats(data + 12, 4);
    if (version != "0302" && version != "0303") return badVersion;
    if (format != "txt ") return badFileType; // binary and compressed files are not read
    if (floats != "0032" && floats != "0064") return badFloatSize;
    return S_OK;
}

} // namespace

HRESULT parseXFile(const char* data, std::size_t size, XScene& scene) {
    scene = XScene{};
    if (!data) return D3DERR_INVALIDCALL;
    const HRESULT header = checkHeader(data, size);
    if (FAILED(header)) return header;
    std::vector<std::unique_ptr<Node>> top;
    Parser parser(data + 16, data + size);
    if (!parser.parseTop(top)) return parseError;
    Loader loader(scene);
    for (const auto& node : top)
        loader.index(*node);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (const auto& node : top)
        if (!loader.walk(*node, identity, 0)) {
            scene = XScene{};
            return E_FAIL;
        }
    if (scene.indices.empty()) {
        scene = XScene{};
        return E_FAIL; // no mesh anywhere
    }
    return S_OK;
}

} // namespace d3dx9
