#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "gfx/ShaderSource.h"

void PrintTo(const GlslVersion& version, std::ostream* out)
{
    *out << "GLSL " << version.Printed();
}

namespace {

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A Bonzomatic shader as its template starts one: its own #version and
// output, the names Bonzomatic sets, no newline at the end.
const std::string bonzomaticShader =
    "#version 410 core\n"
    "\n"
    "uniform float fGlobalTime; // seconds\n"
    "uniform vec2 v2Resolution; // pixels\n"
    "uniform float fFrameTime;\n"
    "\n"
    "uniform sampler1D texFFT;\n"
    "uniform sampler1D texFFTSmoothed;\n"
    "uniform sampler1D texFFTIntegrated;\n"
    "uniform sampler2D texPreviousFrame;\n"
    "\n"
    "in vec2 out_texcoord;\n"
    "layout(location = 0) out vec4 out_color; // out_color must be written\n"
    "\n"
    "vec4 waves(vec2 v, float time)\n"
    "{\n"
    "\treturn vec4(sin(v.x * 10.0 + time), cos(v.y * 20.0), 0.5, 1.0);\n"
    "}\n"
    "void main(void)\n"
    "{\n"
    "\tvec2 uv = vec2(gl_FragCoord.x / v2Resolution.x, gl_FragCoord.y / v2Resolution.y);\n"
    "\tfloat f = texture(texFFT, uv.x).r * 100;\n"
    "\tout_color = f + waves(out_texcoord, fGlobalTime);\n"
    "}";

// A new Shadertoy shader as its editor starts one.
const std::string shadertoyShader =
    "void mainImage( out vec4 fragColor, in vec2 fragCoord )\n"
    "{\n"
    "    vec2 uv = fragCoord/iResolution.xy;\n"
    "    vec3 col = 0.5 + 0.5*cos(iTime+uv.xyx+vec3(0,2,4));\n"
    "    fragColor = vec4(col,1.0);\n"
    "}\n";

const std::vector<std::string> shadertoyNames = {
    "iResolution", "iTime",  "iTimeDelta", "iFrameRate",  "iFrame",    "iChannelTime", "iChannelResolution",
    "iMouse",      "iDate",  "iSampleRate", "iChannel0",  "iChannel1", "iChannel2",    "iChannel3",
};

// How often the text declares a uniform of the name.
int UniformDeclarations(const std::string& text, const std::string& name)
{
    const std::regex declaration("uniform\\s+\\w+\\s+" + name + "\\b");
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), declaration), std::sregex_iterator()));
}

// The text before the #line directive: what is added before the source.
std::string Prologue(const std::string& fragment)
{
    return fragment.substr(0, fragment.find("#line"));
}

// The text from the line after the #line directive on.
std::string FromLineOne(const std::string& fragment)
{
    const std::size_t directive = fragment.find("#line");
    return directive == std::string::npos ? std::string() : fragment.substr(fragment.find('\n', directive) + 1);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

std::set<std::string> VertexOutputs(const std::string& vertex)
{
    std::set<std::string> names;
    const std::regex output("\\bout\\s+vec2\\s+(\\w+)\\s*;");
    for (auto match = std::sregex_iterator(vertex.begin(), vertex.end(), output); match != std::sregex_iterator(); ++match) {
        names.insert((*match)[1]);
    }
    return names;
}

constexpr GlslVersion glsl450{450, false};
constexpr GlslVersion glsl300es{300, true};

}  // namespace

// Every shader the show ships is written as the show always wrote them, but
// for the examples of the other tools' styles.
TEST(ShaderStyles, EveryShippedShaderOutsideTheExamplesIsClassic)
{
    int shaders = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SOURCE_DATA_DIR)) {
        const std::filesystem::path& path = entry.path();
        const std::string extension = path.extension().string();
        if (!entry.is_regular_file() || (extension != ".fs" && extension != ".txt" && extension != ".vs") ||
            path.filename() == "demo.txt" || path.parent_path().filename() == "examples") {
            continue;
        }
        SCOPED_TRACE(path.string());
        const std::string source = FileText(path);
        EXPECT_EQ(StyleOf(source), ShaderStyle::Classic);
        EXPECT_EQ(DeclaredVersion(source), (GlslVersion{110, false}));
        ++shaders;
    }
    EXPECT_GE(shaders, 7);
}

TEST(ShaderStyles, TheShippedExamplesAreShadertoyAndBonzomaticShaders)
{
    const std::filesystem::path examples = std::filesystem::path(SOURCE_DATA_DIR) / "examples";
    EXPECT_EQ(StyleOf(FileText(examples / "shadertoy-rings.fs")), ShaderStyle::Shadertoy);
    EXPECT_EQ(StyleOf(FileText(examples / "bonzomatic-bars.fs")), ShaderStyle::Modern);
}

TEST(ShaderStyles, ShadertoyShadersDefineMainImageAndNoMain)
{
    EXPECT_EQ(StyleOf(shadertoyShader), ShaderStyle::Shadertoy);
    EXPECT_EQ(StyleOf("// Our main() is added for us.\n/* void main() { } */\n" + shadertoyShader), ShaderStyle::Shadertoy)
        << "a main in comments does not count";
    EXPECT_EQ(StyleOf("float domain(float x) { return x; }\nfloat remain (float x) { return x; }\n" + shadertoyShader),
              ShaderStyle::Shadertoy)
        << "names that end in main are not main";
    EXPECT_EQ(StyleOf("void mainImage(out vec4 c, in vec2 p);\n" + shadertoyShader), ShaderStyle::Shadertoy);
    EXPECT_EQ(StyleOf("#version 300 es\n" + shadertoyShader), ShaderStyle::Shadertoy);
    EXPECT_EQ(StyleOf("void mainImage\n(\n out vec4 c,\n in vec2 p\n)\n{\n c = vec4(1.0);\n}\n"), ShaderStyle::Shadertoy);

    // With a main of its own, mainImage is just another function.
    const std::string withMain = shadertoyShader + "void main() { mainImage(gl_FragColor, gl_FragCoord.xy); }\n";
    EXPECT_EQ(StyleOf(withMain), ShaderStyle::Classic);
    EXPECT_EQ(StyleOf("#version 330\nout vec4 c;\n" + withMain), ShaderStyle::Modern);
}

TEST(ShaderStyles, ModernShadersNameGlsl130OrNewerOr300EsAndHaveTheirMain)
{
    EXPECT_EQ(StyleOf(bonzomaticShader), ShaderStyle::Modern);
    EXPECT_EQ(StyleOf("#version 130\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n"), ShaderStyle::Modern);
    EXPECT_EQ(StyleOf("#version 150 compatibility\nvoid main() { gl_FragColor = vec4(1.0); }\n"), ShaderStyle::Modern);
    EXPECT_EQ(StyleOf("#version 300 es\nprecision highp float;\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n"),
              ShaderStyle::Modern);
    EXPECT_EQ(StyleOf("/* Bars */\r\n#version 410 core\r\nin vec2 out_texcoord;\r\nout vec4 out_color;\r\n"
                      "void main(void)\r\n{\r\n out_color = vec4(out_texcoord, 0.0, 1.0);\r\n}\r\n"),
              ShaderStyle::Modern);

    EXPECT_EQ(StyleOf("#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n"), ShaderStyle::Classic);
    EXPECT_EQ(StyleOf("#version 100\nvoid main() { gl_FragColor = vec4(1.0); }\n"), ShaderStyle::Classic) << "GLSL ES 1.00";
    EXPECT_EQ(StyleOf("void main() { gl_FragColor = vec4(1.0); }\n"), ShaderStyle::Classic);
    EXPECT_EQ(StyleOf("// #version 450\nvoid main() { gl_FragColor = vec4(1.0); }\n"), ShaderStyle::Classic);
    EXPECT_EQ(StyleOf("#version 410 core\nvoid helper() { }\n"), ShaderStyle::Classic) << "neither main nor mainImage";
    EXPECT_EQ(StyleOf(""), ShaderStyle::Classic);
}

TEST(GlslVersions, TheDeclaredVersionIsRead)
{
    EXPECT_EQ(DeclaredVersion(bonzomaticShader), (GlslVersion{410, false}));
    EXPECT_EQ(DeclaredVersion("  #  version   300   es  \nvoid main() {}\n"), glsl300es);
    EXPECT_EQ(DeclaredVersion("/* A header\n   over lines */\n#version 130\n"), (GlslVersion{130, false}));
    EXPECT_EQ(DeclaredVersion("#version 450 compatibility\r\n"), glsl450);
    EXPECT_EQ(DeclaredVersion("#version 100\n"), (GlslVersion{100, true})) << "GLSL ES 1.00 has no suffix";
    EXPECT_EQ(DeclaredVersion("#version 460"), (GlslVersion{460, false})) << "without a line end";
    EXPECT_EQ(DeclaredVersion(shadertoyShader), std::nullopt);
    EXPECT_EQ(DeclaredVersion("// #version 330\nvoid main() {}\n"), std::nullopt);
    EXPECT_EQ(DeclaredVersion("#version three\n"), std::nullopt);
    EXPECT_EQ(DeclaredVersion("#version 330 strict\n"), std::nullopt);
}

TEST(GlslVersions, ArePrintedAndSelectedAsGlslWritesThem)
{
    EXPECT_EQ((GlslVersion{410, false}).Printed(), "4.10");
    EXPECT_EQ(glsl300es.Printed(), "3.00 es");
    EXPECT_EQ((GlslVersion{110, false}).Printed(), "1.10");
    EXPECT_EQ((GlslVersion{100, true}).Printed(), "1.00 es");
    EXPECT_EQ(glsl450.Directive(), "#version 450");
    EXPECT_EQ(glsl300es.Directive(), "#version 300 es");
    EXPECT_EQ((GlslVersion{100, true}).Directive(), "#version 100");
}

TEST(GlslVersions, InsAndOutsBeginWithDesktop130AndEs300)
{
    EXPECT_FALSE((GlslVersion{120, false}).HasInsAndOuts());
    EXPECT_TRUE((GlslVersion{130, false}).HasInsAndOuts());
    EXPECT_FALSE((GlslVersion{100, true}).HasInsAndOuts());
    EXPECT_TRUE(glsl300es.HasInsAndOuts());
    EXPECT_TRUE((GlslVersion{320, true}).HasInsAndOuts());
}

TEST(GlslVersions, TheDriversListEntriesAreRead)
{
    EXPECT_EQ(ParseGlslVersion("450"), glsl450);
    EXPECT_EQ(ParseGlslVersion("450 core"), glsl450);
    EXPECT_EQ(ParseGlslVersion("330 compatibility"), (GlslVersion{330, false}));
    EXPECT_EQ(ParseGlslVersion("300 es"), glsl300es);
    EXPECT_EQ(ParseGlslVersion("100"), (GlslVersion{100, true}));
    EXPECT_EQ(ParseGlslVersion(""), (GlslVersion{110, false})) << "shaders without #version";
    EXPECT_EQ(ParseGlslVersion("  "), (GlslVersion{110, false}));
    EXPECT_EQ(ParseGlslVersion("4.50"), std::nullopt);
    EXPECT_EQ(ParseGlslVersion("es"), std::nullopt);
}

TEST(GlslVersions, TheDriversNewestVersionIsRead)
{
    EXPECT_EQ(ParseShadingLanguageVersion("4.50"), glsl450);
    EXPECT_EQ(ParseShadingLanguageVersion("1.10 Mesa 22.3.6"), (GlslVersion{110, false}));
    EXPECT_EQ(ParseShadingLanguageVersion("4.60 NVIDIA"), (GlslVersion{460, false}));
    EXPECT_EQ(ParseShadingLanguageVersion("OpenGL ES GLSL ES 3.20"), (GlslVersion{320, true}));
    EXPECT_EQ(ParseShadingLanguageVersion("4.5"), glsl450);
    EXPECT_EQ(ParseShadingLanguageVersion(""), std::nullopt);
    EXPECT_EQ(ParseShadingLanguageVersion("4"), std::nullopt);
}

TEST(GlslVersions, AnOlderDriverTakesEveryDesktopVersionUpToItsNewest)
{
    EXPECT_EQ(DesktopVersionsUpTo({150, false}),
              (std::vector<GlslVersion>{{150, false}, {140, false}, {130, false}, {120, false}, {110, false}}));
    EXPECT_EQ(DesktopVersionsUpTo({110, false}), (std::vector<GlslVersion>{{110, false}}));
    EXPECT_EQ(DesktopVersionsUpTo({330, false}).front(), (GlslVersion{330, false}));
    EXPECT_EQ(DesktopVersionsUpTo({330, false}).size(), 6u);
}

TEST(GlslVersions, AreSortedNewestFirstAndDescribed)
{
    // As Mesa lists them, with one twice.
    const std::vector<GlslVersion> mesa = {{450, false}, {440, false}, {430, false}, {420, false}, {410, false},
                                           {400, false}, {330, false}, {150, false}, {140, false}, {130, false},
                                           {120, false}, {110, false}, {320, true},  {310, true},  {300, true},
                                           {100, true},  {450, false}};
    const std::vector<GlslVersion> sorted = NewestFirst(mesa);
    ASSERT_EQ(sorted.size(), mesa.size() - 1);
    EXPECT_EQ(sorted.front(), glsl450);
    EXPECT_EQ(sorted[6], (GlslVersion{330, false}));
    EXPECT_EQ(sorted[7], (GlslVersion{320, true}));
    EXPECT_EQ(sorted.back(), (GlslVersion{100, true}));
    EXPECT_EQ(NewestFirst({glsl300es, {300, false}}), (std::vector<GlslVersion>{{300, false}, glsl300es}));

    EXPECT_EQ(DescribeVersions(mesa), "1.10 to 4.50, 1.00 es, 3.00 es, 3.10 es and 3.20 es");
    EXPECT_EQ(DescribeVersions({{110, false}}), "1.10");
    EXPECT_EQ(DescribeVersions({glsl300es, {130, false}}), "1.30 and 3.00 es");
    EXPECT_EQ(DescribeVersions({}), "none");
}

TEST(ShadertoyFragments, DeclareEveryInputOnceWhereTheSourceDoesNot)
{
    for (const GlslVersion version : {glsl450, glsl300es}) {
        const std::string fragment = ShadertoyFragment(shadertoyShader, version);
        for (const std::string& name : shadertoyNames) {
            EXPECT_EQ(UniformDeclarations(fragment, name), 1) << name << " in " << version.Printed();
        }
    }

    const std::string ownInputs = "uniform vec3 iResolution;\nuniform float iChannelTime[4];\n"
                                  "uniform  sampler2D  iChannel0 ; // the picture\n" + shadertoyShader;
    const std::string fragment = ShadertoyFragment(ownInputs, glsl450);
    for (const std::string& name : shadertoyNames) {
        EXPECT_EQ(UniformDeclarations(fragment, name), 1) << name;
    }
    const std::string prologue = Prologue(fragment);
    for (const char* own : {"iResolution", "iChannelTime", "iChannel0;"}) {
        EXPECT_EQ(prologue.find(own), std::string::npos) << own << " is the source's own";
    }
    EXPECT_NE(prologue.find("uniform float iTime;"), std::string::npos);
    EXPECT_NE(prologue.find("uniform sampler2D iChannel1;"), std::string::npos);
}

TEST(ShadertoyFragments, NamesInCommentsParametersAndLocalsAreNotDeclarations)
{
    const std::string source = "// iTime and iMouse drive it\n"
                               "float fade(float iTime) { return iTime; }\n"
                               "struct Pointer { vec4 iMouse; };\n"
                               "void mainImage(out vec4 c, in vec2 p) { float iDate = 1.0; c = vec4(fade(iDate)); }\n";
    const std::string prologue = Prologue(ShadertoyFragment(source, glsl450));
    for (const char* declaration : {"uniform float iTime;", "uniform vec4 iMouse;", "uniform vec4 iDate;"}) {
        EXPECT_NE(prologue.find(declaration), std::string::npos) << declaration;
    }
}

TEST(ShadertoyFragments, TheSourceStartsAtLineOneRightAfterTheLineDirective)
{
    const std::string fragment = ShadertoyFragment(shadertoyShader, glsl450);
    EXPECT_EQ(fragment.rfind("#version 450\n", 0), 0u);
    const std::vector<std::string> lines = Lines(fragment);
    const auto directive = std::find(lines.begin(), lines.end(), "#line 1");
    ASSERT_NE(directive, lines.end()) << fragment;
    EXPECT_EQ(*(directive + 1), Lines(shadertoyShader).front());
    EXPECT_EQ(FromLineOne(fragment).rfind(shadertoyShader, 0), 0u) << "the source follows as written";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "#line 1"), 1);

    EXPECT_EQ(ShadertoyFragment(shadertoyShader, glsl300es).rfind("#version 300 es\n", 0), 0u);
    EXPECT_EQ(FromLineOne(ShadertoyFragment(shadertoyShader, glsl300es)).rfind(shadertoyShader, 0), 0u);
}

// GLSL up to 1.50 numbers the line after `#line n` n + 1, as the compiler
// also does: the directive says 0 there.
TEST(ShadertoyFragments, OlderVersionsCountTheLineDirectiveAsTheLineBefore)
{
    for (const int number : {130, 140, 150}) {
        const std::vector<std::string> lines = Lines(ShadertoyFragment(shadertoyShader, {number, false}));
        const auto directive = std::find(lines.begin(), lines.end(), "#line 0");
        ASSERT_NE(directive, lines.end()) << number;
        EXPECT_EQ(*(directive + 1), Lines(shadertoyShader).front());
    }
    const std::string fragment = ShadertoyFragment(shadertoyShader, {330, false});
    EXPECT_NE(fragment.find("\n#line 1\n"), std::string::npos);
}

TEST(ShadertoyFragments, ASourcesOwnVersionLineIsLeftEmptyInPlace)
{
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        const std::string source = "#version 300 es" + lineEnd + "// line two" + lineEnd + shadertoyShader;
        const std::string fragment = ShadertoyFragment(source, glsl450);
        EXPECT_EQ(fragment.find("#version 300 es"), std::string::npos);
        EXPECT_EQ(fragment.find("#version"), fragment.rfind("#version")) << "one #version only";
        EXPECT_EQ(FromLineOne(fragment).rfind(lineEnd + "// line two" + lineEnd, 0), 0u) << "line 2 stays line 2";
    }
}

TEST(ShadertoyFragments, PrecisionIsWhatTheVersionNeeds)
{
    const std::string desktop = Prologue(ShadertoyFragment(shadertoyShader, glsl450));
    const std::string es = Prologue(ShadertoyFragment(shadertoyShader, glsl300es));
    for (const std::string& prologue : {desktop, es}) {
        EXPECT_NE(prologue.find("precision highp float;"), std::string::npos);
        EXPECT_NE(prologue.find("precision highp int;"), std::string::npos);
    }
    EXPECT_NE(es.find("precision highp sampler2D;"), std::string::npos) << "ES samplers default to lowp";
    EXPECT_EQ(desktop.find("precision highp sampler"), std::string::npos) << "desktop samplers need none";
}

TEST(ShadertoyFragments, EndWithAMainThatCallsMainImageWithTheWindowPosition)
{
    const std::string unterminated = "void mainImage(out vec4 c, in vec2 p) { c = vec4(p, 0.0, 1.0); }";
    const std::string fragment = ShadertoyFragment(unterminated, glsl450);
    const std::string afterSource = FromLineOne(fragment).substr(unterminated.size());
    EXPECT_EQ(afterSource.rfind("\nvoid main()", 0), 0u) << "main starts on a line of its own";
    EXPECT_TRUE(std::regex_search(afterSource, std::regex("mainImage\\(\\s*\\w+\\s*,\\s*gl_FragCoord\\.xy\\s*\\)")));
    EXPECT_TRUE(std::regex_search(Prologue(fragment), std::regex("\\bout\\s+vec4\\s+\\w+;")));
}

TEST(VertexStages, AModernShaderGetsItsOwnVersionLineAndEveryVec2ItReads)
{
    const std::string bonzomatic = ModernVertex(bonzomaticShader);
    EXPECT_EQ(bonzomatic.rfind("#version 410 core\n", 0), 0u);
    EXPECT_EQ(VertexOutputs(bonzomatic), (std::set<std::string>{"out_texcoord"}));
    EXPECT_NE(bonzomatic.find(positionAttribute), std::string::npos);

    const std::string several = "#version 300 es\nprecision highp float;\n"
                                "in vec2 uv, screen;\nin vec3 normal;\nlayout(location = 1) in highp vec2 extra;\n"
                                "in vec2 pair[2];\nuniform vec2 size;\n"
                                "vec4 f(in vec2 p) { return vec4(p, 0.0, 1.0); }\n"
                                "out vec4 c;\nvoid main() { c = f(uv + screen + extra) + vec4(normal, 0.0); }\n";
    const std::string vertex = ModernVertex(several);
    EXPECT_EQ(vertex.rfind("#version 300 es\n", 0), 0u);
    EXPECT_EQ(VertexOutputs(vertex), (std::set<std::string>{"uv", "screen", "extra"}));
    for (const char* name : {"uv", "screen", "extra"}) {
        EXPECT_TRUE(std::regex_search(vertex, std::regex(std::string("\\b") + name + "\\s*="))) << name << " is written";
    }
}

TEST(VertexStages, AShadertoyShaderGetsItsVersionAndNoOutputs)
{
    const std::string vertex = ShadertoyVertex(glsl300es);
    EXPECT_EQ(vertex.rfind("#version 300 es\n", 0), 0u);
    EXPECT_EQ(VertexOutputs(vertex), std::set<std::string>());
    EXPECT_NE(vertex.find(std::string("in vec4 ") + positionAttribute + ";"), std::string::npos);
}

// The lines a compiler's message points at, as each driver writes them.
TEST(CompilerLogLines, EachDriversFormIsReadAndEachLineShownOnce)
{
    const std::string source = "#version 110\nuniform float time;\r\nvoid main()\n{\n    gl_FragColor = vec4(time)\n}\n";
    EXPECT_EQ(LinesTheLogNames(source, "0:6(1): error: syntax error, unexpected '}'\n"), "    6: }\n") << "Mesa";
    EXPECT_EQ(LinesTheLogNames(source, "0(5) : error C0000: syntax error\n0(6) : error C0000: ...\n"),
              "    5:     gl_FragColor = vec4(time)\n    6: }\n")
        << "NVIDIA";
    EXPECT_EQ(LinesTheLogNames(source, "ERROR: 0:2: 'time' : redefinition\nERROR: 0:2: more\n"),
              "    2: uniform float time;\n")
        << "others; a carriage return is no part of the line";
    EXPECT_EQ(LinesTheLogNames(source, "0:4(2): error: a\n0:1(1): error: b\n"), "    4: {\n    1: #version 110\n")
        << "in the order named";
}

TEST(CompilerLogLines, NothingIsMadeUp)
{
    const std::string source = "void main() {}\n";
    EXPECT_EQ(LinesTheLogNames(source, ""), "");
    EXPECT_EQ(LinesTheLogNames(source, "error: no line here, nor at 10:3 or 20(4)\n"), "") << "only source string 0";
    EXPECT_EQ(LinesTheLogNames(source, "0:0(1): error\n0:9(1): error: past the end\n"), "");
    std::string log;
    for (int line = 1; line <= 20; ++line) {
        log += "0:1(" + std::to_string(line) + "): error\n";
    }
    EXPECT_EQ(LinesTheLogNames(source, log), "    1: void main() {}\n");

    std::string many;
    std::string everyLine;
    for (int line = 1; line <= 20; ++line) {
        many += "x" + std::to_string(line) + "\n";
        everyLine += "0:" + std::to_string(line) + "(1): error\n";
    }
    EXPECT_EQ(LinesTheLogNames(many, everyLine, 3), "    1: x1\n    2: x2\n    3: x3\n") << "at most as many as asked";
    const std::string longLine(500, 'a');
    EXPECT_EQ(LinesTheLogNames(longLine, "0:1(1): error\n"), "    1: " + std::string(200, 'a') + "...\n");
}
