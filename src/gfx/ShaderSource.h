#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How an author wrote a fragment shader, which decides how it is built.
enum class ShaderStyle {
    Classic,    // anything else, as the show's own: GLSL 1.10 or 1.20 with main, over the fixed-function vertex stage
    Shadertoy,  // defines mainImage(out vec4, in vec2) and no main
    Modern,     // #version 130 or above, or 300 es, with its own main, as Bonzomatic writes them
};

// A GLSL language version: 450 desktop, 300 ES. GLSL ES 1.00 is 100 ES.
struct GlslVersion {
    int number = 110;
    bool es = false;

    // As GL prints it: "4.50", "3.00 es".
    std::string Printed() const;
    // The directive that selects it: "#version 450", "#version 300 es".
    std::string Directive() const;
    // Whether shaders of this version have in and out variables and
    // texture(), as Shadertoy's do: desktop 1.30 or ES 3.00 and newer.
    bool HasInsAndOuts() const;

    bool operator==(const GlslVersion&) const = default;
};

// A version as GL lists it among those it offers ("450", "450 core",
// "330 compatibility", "300 es", "100", and "" for shaders without #version,
// which are GLSL 1.10); nothing for anything else.
std::optional<GlslVersion> ParseGlslVersion(std::string_view text);

// The newest version a GL_SHADING_LANGUAGE_VERSION string names ("4.50",
// "1.10 Mesa 22.3.6", "OpenGL ES GLSL ES 3.20").
std::optional<GlslVersion> ParseShadingLanguageVersion(std::string_view text);

// Every desktop version up to the given one: what a driver that names only
// its newest accepts.
std::vector<GlslVersion> DesktopVersionsUpTo(GlslVersion newest);

// Sorted newest first, each once; of equal numbers the desktop one first.
std::vector<GlslVersion> NewestFirst(std::vector<GlslVersion> versions);

// The versions for a message: "1.10 to 4.50 and 3.00 es".
std::string DescribeVersions(const std::vector<GlslVersion>& versions);

// The source's #version directive; nothing when it has none (or one in a
// comment only).
std::optional<GlslVersion> DeclaredVersion(std::string_view source);

ShaderStyle StyleOf(std::string_view source);

// The attribute the vertex stages below read the quad's corners from. It
// must be bound to location 0, where glVertex puts them.
inline constexpr const char* positionAttribute = "kestrovaPosition";

// A Shadertoy shader as a fragment shader of the version: its #version line,
// the precision and the inputs Shadertoy declares (those the source does not
// declare itself), the colour output, the source from its line 1 on (its own
// #version line, if any, left blank), then a main that calls mainImage with
// the window position.
std::string ShadertoyFragment(std::string_view source, GlslVersion version);

// The vertex stage for ShadertoyFragment of the same version.
std::string ShadertoyVertex(GlslVersion version);

// The vertex stage for a Modern fragment shader: the fragment's own #version
// line, and every `in vec2` the fragment reads (Bonzomatic's out_texcoord)
// set to the window's texture coordinate, (0, 0) at the bottom left to
// (1, 1) at the top right.
std::string ModernVertex(std::string_view fragmentSource);

// The lines of the source a compiler's log names ("0:12(3): error" from
// Mesa, "0(12) : error" from NVIDIA, "ERROR: 0:12:" from others), each once,
// in the order first named, at most `most` of them, as "   12: text\n" with
// a line cut at 200 characters; empty when the log names none.
std::string LinesTheLogNames(std::string_view source, std::string_view log, std::size_t most = 8);
