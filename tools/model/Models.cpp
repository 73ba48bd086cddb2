#include "model/Models.h"

#include <cmath>
#include <numbers>

namespace Models {

namespace {

using Vec = std::array<float, 3>;

constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

Vec Add(Vec a, Vec b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec Sub(Vec a, Vec b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Scale(Vec a, float k) { return {a[0] * k, a[1] * k, a[2] * k}; }
float Dot(Vec a, Vec b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Cross(Vec a, Vec b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
Vec Unit(Vec a) { return Scale(a, 1.0f / std::sqrt(Dot(a, a))); }

// 0 at 0 and 1, 1 at 0.5: texture coordinates that run out and back, so
// that a closed surface needs no seam of doubled vertices.
float Triangle(float x)
{
    return 1.0f - std::fabs(2.0f * x - 1.0f);
}

// A closed grid of rings x around vertices, where the vertex after the last
// ring is around index (c + closingShift) of the first. Faces are wound so
// that they face away from inside(ring), the centre of the ring's section.
struct ClosedGrid {
    int rings;
    int around;
    int closingShift;
};

std::uint16_t GridIndex(const ClosedGrid& grid, int ring, int c)
{
    int shift = 0;
    if (ring == grid.rings) {
        ring = 0;
        shift = grid.closingShift;
    }
    const int wrapped = ((c + shift) % grid.around + grid.around) % grid.around;
    return static_cast<std::uint16_t>(ring * grid.around + wrapped);
}

void AddFace(ModelMesh& mesh, std::uint16_t a, std::uint16_t b, std::uint16_t c, Vec inside, std::uint32_t group)
{
    const Vec pa = mesh.positions[a];
    const Vec normal = Cross(Sub(mesh.positions[b], pa), Sub(mesh.positions[c], pa));
    if (Dot(normal, Sub(pa, inside)) < 0.0f) {
        std::swap(b, c);
    }
    mesh.faces.push_back({a, b, c, group});
}

template <typename InsideOf, typename GroupOf>
void ConnectGrid(ModelMesh& mesh, const ClosedGrid& grid, InsideOf insideOf, GroupOf groupOf)
{
    for (int ring = 0; ring < grid.rings; ++ring) {
        for (int c = 0; c < grid.around; ++c) {
            const std::uint16_t p00 = GridIndex(grid, ring, c);
            const std::uint16_t p01 = GridIndex(grid, ring, c + 1);
            const std::uint16_t p10 = GridIndex(grid, ring + 1, c);
            const std::uint16_t p11 = GridIndex(grid, ring + 1, c + 1);
            const Vec inside = insideOf(ring);
            const std::uint32_t group = groupOf(c);
            AddFace(mesh, p00, p10, p11, inside, group);
            AddFace(mesh, p00, p11, p01, inside, group);
        }
    }
}

ModelMaterial Chrome()
{
    ModelMaterial chrome;
    chrome.name = "Chrome";
    chrome.ambient = {0.05f, 0.06f, 0.15f};
    chrome.diffuse = {0.18f, 0.83f, 0.90f};
    chrome.specular = {0.96f, 0.93f, 0.88f};
    chrome.shininess = 0.8f;
    chrome.textureFile = "ENV.JPG";
    return chrome;
}

ModelScene WithChrome(ModelMesh mesh)
{
    MaterialGroup all{"Chrome", {}};
    for (std::size_t i = 0; i < mesh.faces.size(); ++i) {
        all.faces.push_back(static_cast<std::uint16_t>(i));
    }
    mesh.groups = {all};
    return {{Chrome()}, {mesh}};
}

}  // namespace

ModelScene TorusKnot()
{
    constexpr int rings = 256;
    constexpr int around = 16;
    // Large enough to fill a good part of the frame 500 units away.
    constexpr float knotRadius = 115.0f;
    constexpr float windingRadius = 52.0f;
    constexpr float tubeRadius = 33.0f;

    // The knot winds twice round the torus' axis and three times through
    // its hole; the torus surface normal there gives a frame that closes.
    const auto centre = [&](float t) -> Vec {
        const float r = knotRadius + windingRadius * std::cos(3.0f * t);
        return {r * std::cos(2.0f * t), r * std::sin(2.0f * t), windingRadius * std::sin(3.0f * t)};
    };
    const auto outward = [](float t) -> Vec {
        return {std::cos(3.0f * t) * std::cos(2.0f * t), std::cos(3.0f * t) * std::sin(2.0f * t), std::sin(3.0f * t)};
    };

    ModelMesh mesh;
    mesh.name = "TorusKnot";
    std::vector<Vec> centres;
    for (int ring = 0; ring < rings; ++ring) {
        const float t = twoPi * static_cast<float>(ring) / rings;
        const Vec c = centre(t);
        const Vec tangent = Unit(Sub(centre(t + 0.001f), centre(t - 0.001f)));
        const Vec side = Unit(Cross(tangent, outward(t)));
        const Vec up = Cross(side, tangent);
        // The tube swells a little six times along the knot.
        const float radius = tubeRadius * (1.0f + 0.18f * std::sin(6.0f * t));
        for (int c2 = 0; c2 < around; ++c2) {
            const float a = twoPi * static_cast<float>(c2) / around;
            mesh.positions.push_back(Add(c, Add(Scale(up, radius * std::cos(a)), Scale(side, radius * std::sin(a)))));
            mesh.uvs.push_back({Triangle(static_cast<float>(c2) / around), 8.0f * Triangle(static_cast<float>(ring) / rings)});
        }
        centres.push_back(c);
    }
    ConnectGrid(mesh, {rings, around, 0}, [&](int ring) { return centres[static_cast<std::size_t>(ring)]; },
                [](int) { return 1u; });
    return WithChrome(mesh);
}

ModelScene TwistedRing()
{
    constexpr int rings = 128;
    constexpr int sides = 6;
    constexpr int perSide = 4;
    constexpr int around = sides * perSide;
    constexpr int turnInSides = 2;  // even, so that alternating creases meet again
    constexpr float ringRadius = 85.0f;
    constexpr float bulge = 5.0f;

    ModelMesh mesh;
    mesh.name = "TwistedRing";
    std::vector<Vec> centres;
    for (int ring = 0; ring < rings; ++ring) {
        const float t = twoPi * static_cast<float>(ring) / rings;
        const Vec radial{std::cos(t), std::sin(t), 0.0f};
        const Vec axis{0.0f, 0.0f, 1.0f};
        const Vec c = Scale(radial, ringRadius);
        const float sectionRadius = 34.0f + 7.0f * std::sin(3.0f * t);
        const float twist = twoPi * static_cast<float>(turnInSides) / sides * (t / twoPi);
        const auto corner = [&](int s) {
            const float a = twoPi * static_cast<float>(s) / sides + twist;
            return std::array<float, 2>{sectionRadius * std::cos(a), sectionRadius * std::sin(a)};
        };
        for (int c2 = 0; c2 < around; ++c2) {
            const int s = c2 / perSide;
            const int j = c2 % perSide;
            const float f = static_cast<float>(j) / perSide;
            const auto from = corner(s);
            const auto to = corner(s + 1);
            // Each side bows outwards along its middle.
            const float mid = twoPi * (static_cast<float>(s) + 0.5f) / sides + twist;
            const float out = bulge * std::sin(std::numbers::pi_v<float> * f);
            const float a = from[0] + (to[0] - from[0]) * f + out * std::cos(mid);
            const float b = from[1] + (to[1] - from[1]) * f + out * std::sin(mid);
            mesh.positions.push_back(Add(c, Add(Scale(radial, a), Scale(axis, b))));
            const float u = (s % 2 == 0) ? f : 1.0f - f;
            mesh.uvs.push_back({u, 6.0f * Triangle(static_cast<float>(ring) / rings)});
        }
        centres.push_back(c);
    }
    ConnectGrid(mesh, {rings, around, turnInSides * perSide}, [&](int ring) { return centres[static_cast<std::size_t>(ring)]; },
                [](int c) { return 1u << ((c / perSide) % 2); });
    return WithChrome(mesh);
}

}  // namespace Models
