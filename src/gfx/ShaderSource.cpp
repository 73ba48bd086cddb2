#include "gfx/ShaderSource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "core/DemoMessage.h"

namespace {

// Every desktop version there is, oldest first.
constexpr int desktopVersions[] = {110, 120, 130, 140, 150, 330, 400, 410, 420, 430, 440, 450, 460};

// What Shadertoy declares for its shaders, and the name each declares.
struct ShadertoyInput {
    const char* name;
    const char* declaration;
};

constexpr ShadertoyInput shadertoyInputs[] = {
    {"iResolution", "uniform vec3 iResolution;"},
    {"iTime", "uniform float iTime;"},
    {"iTimeDelta", "uniform float iTimeDelta;"},
    {"iFrameRate", "uniform float iFrameRate;"},
    {"iFrame", "uniform int iFrame;"},
    {"iChannelTime", "uniform float iChannelTime[4];"},
    {"iChannelResolution", "uniform vec3 iChannelResolution[4];"},
    {"iMouse", "uniform vec4 iMouse;"},
    {"iDate", "uniform vec4 iDate;"},
    {"iSampleRate", "uniform float iSampleRate;"},
    {"iChannel0", "uniform sampler2D iChannel0;"},
    {"iChannel1", "uniform sampler2D iChannel1;"},
    {"iChannel2", "uniform sampler2D iChannel2;"},
    {"iChannel3", "uniform sampler2D iChannel3;"},
};

constexpr const char* colourOutput = "kestrovaFragColor";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool IsWordCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsIdentifier(const std::string& token)
{
    return !token.empty() && (std::isalpha(static_cast<unsigned char>(token[0])) != 0 || token[0] == '_');
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\n')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

// The source with its comments turned to spaces and their line ends kept, so
// that every offset and line number stays that of the source.
std::string WithoutComments(std::string_view source)
{
    std::string text(source);
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n') {
                text[i++] = ' ';
            }
        } else if (text.compare(i, 2, "/*") == 0) {
            const std::size_t end = text.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? text.size() : end + 2;
            for (; i < stop; ++i) {
                if (text[i] != '\n') {
                    text[i] = ' ';
                }
            }
        } else {
            ++i;
        }
    }
    return text;
}

// A preprocessor directive of the comment-free text: the line it fills and
// what follows its name.
struct Directive {
    std::size_t lineBegin;
    std::size_t lineEnd;
    std::string_view name;
    std::string_view rest;
};

std::vector<Directive> Directives(std::string_view text)
{
    std::vector<Directive> directives;
    std::size_t lineBegin = 0;
    while (lineBegin < text.size()) {
        std::size_t lineEnd = text.find('\n', lineBegin);
        if (lineEnd == std::string_view::npos) {
            lineEnd = text.size();
        }
        std::string_view line = text.substr(lineBegin, lineEnd - lineBegin);
        while (!line.empty() && IsBlank(line.front())) {
            line.remove_prefix(1);
        }
        if (!line.empty() && line.front() == '#') {
            line.remove_prefix(1);
            while (!line.empty() && IsBlank(line.front())) {
                line.remove_prefix(1);
            }
            std::size_t nameLength = 0;
            while (nameLength < line.size() && IsWordCharacter(line[nameLength])) {
                ++nameLength;
            }
            directives.push_back({lineBegin, lineEnd, line.substr(0, nameLength), Trimmed(line.substr(nameLength))});
        }
        lineBegin = lineEnd + 1;
    }
    return directives;
}

std::optional<Directive> VersionDirective(std::string_view withoutComments)
{
    for (const Directive& directive : Directives(withoutComments)) {
        if (directive.name == "version") {
            return directive;
        }
    }
    return std::nullopt;
}

// The words and marks of a source's code, outside comments and directives.
class SourceTokens {
public:
    explicit SourceTokens(const std::string& withoutComments)
    {
        std::string code = withoutComments;
        for (const Directive& directive : Directives(withoutComments)) {
            std::fill(code.begin() + static_cast<long>(directive.lineBegin), code.begin() + static_cast<long>(directive.lineEnd), ' ');
        }
        std::size_t i = 0;
        while (i < code.size()) {
            const char c = code[i];
            if (IsBlank(c) || c == '\n') {
                ++i;
            } else if (IsWordCharacter(c) || c == '.') {
                // Numbers such as 1.5 stay whole, so that their parts are not taken for names.
                const std::size_t begin = i;
                while (i < code.size() && (IsWordCharacter(code[i]) || code[i] == '.')) {
                    ++i;
                }
                tokens.push_back(code.substr(begin, i - begin));
            } else {
                tokens.emplace_back(1, c);
                ++i;
            }
        }
    }

    // A function of the name is defined, declared or called.
    bool HasFunction(std::string_view name) const
    {
        for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (tokens[i] == name && tokens[i + 1] == "(") {
                return true;
            }
        }
        return false;
    }

    // The names declared outside every function: those of globals and of
    // functions, with their types and qualifiers, but no parameters and no
    // struct members.
    std::set<std::string> FileScopeNames() const
    {
        std::set<std::string> names;
        int braces = 0;
        int parentheses = 0;
        for (const std::string& token : tokens) {
            braces += token == "{" ? 1 : token == "}" ? -1 : 0;
            parentheses += token == "(" ? 1 : token == ")" ? -1 : 0;
            if (braces == 0 && parentheses == 0 && IsIdentifier(token)) {
                names.insert(token);
            }
        }
        return names;
    }

    // The names of the `in vec2` variables declared outside every function.
    std::vector<std::string> TexcoordInputs() const
    {
        std::vector<std::string> names;
        std::vector<std::string> statement;
        int braces = 0;
        int parentheses = 0;
        for (const std::string& token : tokens) {
            if (token == "{" || token == "}") {
                braces += token == "{" ? 1 : -1;
                statement.clear();
            } else if (braces > 0) {
                continue;
            } else if (token == "(" || token == ")") {
                parentheses += token == "(" ? 1 : -1;
            } else if (parentheses > 0) {
                // Layout qualifiers and parameter lists declare nothing here.
                continue;
            } else if (token == ";") {
                AddTexcoordNames(statement, names);
                statement.clear();
            } else {
                statement.push_back(token);
            }
        }
        return names;
    }

private:
    // The declarators of one `in vec2` statement: "a, b[2], c" gives a and c.
    static void AddTexcoordNames(const std::vector<std::string>& statement, std::vector<std::string>& names)
    {
        const auto type = std::find(statement.begin(), statement.end(), "vec2");
        if (type == statement.end() || std::find(statement.begin(), type, "in") == type) {
            return;
        }
        bool expectName = true;
        for (auto token = type + 1; token != statement.end(); ++token) {
            if (expectName && IsIdentifier(*token) && (token + 1 == statement.end() || *(token + 1) != "[")) {
                names.push_back(*token);
            }
            expectName = *token == ",";
        }
    }

    std::vector<std::string> tokens;
};

// The vertex stage both styles share: the window-filling quad where the
// fixed-function stage puts it under OrthoScope, whose y points down the
// window, and the texture coordinates the fragment stage reads.
std::string FullWindowVertex(const std::string& versionLine, const std::vector<std::string>& texcoords)
{
    std::string text = versionLine + "\n";
    text += FormatText("in vec4 %s;\n", positionAttribute);
    for (const std::string& name : texcoords) {
        text += "out vec2 " + name + ";\n";
    }
    text += "void main()\n{\n";
    text += FormatText("    vec2 corner = vec2(%s.x, -%s.y);\n", positionAttribute, positionAttribute);
    text += "    gl_Position = vec4(corner, 0.0, 1.0);\n";
    for (const std::string& name : texcoords) {
        text += "    " + name + " = corner * 0.5 + 0.5;\n";
    }
    text += "}\n";
    return text;
}

}  // namespace

std::string GlslVersion::Printed() const
{
    return FormatText("%d.%02d%s", number / 100, number % 100, es ? " es" : "");
}

std::string GlslVersion::Directive() const
{
    // GLSL ES 1.00 is named without the suffix.
    return FormatText("#version %d%s", number, es && number >= 300 ? " es" : "");
}

bool GlslVersion::HasInsAndOuts() const
{
    return number >= (es ? 300 : 130);
}

std::optional<GlslVersion> ParseGlslVersion(std::string_view text)
{
    text = Trimmed(text);
    if (text.empty()) {
        return GlslVersion{110, false};
    }
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || number <= 0) {
        return std::nullopt;
    }
    const std::string_view profile = Trimmed(text.substr(static_cast<std::size_t>(end - text.data())));
    if (profile == "es") {
        return GlslVersion{number, true};
    }
    if (profile.empty() || profile == "core" || profile == "compatibility") {
        return GlslVersion{number, number == 100};
    }
    return std::nullopt;
}

std::optional<GlslVersion> ParseShadingLanguageVersion(std::string_view text)
{
    const std::size_t digit = text.find_first_of("0123456789");
    if (digit == std::string_view::npos) {
        return std::nullopt;
    }
    const bool es = text.substr(0, digit).find("ES") != std::string_view::npos;
    const char* const last = text.data() + text.size();
    int major = 0;
    const auto [dot, majorError] = std::from_chars(text.data() + digit, last, major);
    if (majorError != std::errc() || dot == last || *dot != '.') {
        return std::nullopt;
    }
    int minor = 0;
    const auto [end, minorError] = std::from_chars(dot + 1, last, minor);
    if (minorError != std::errc()) {
        return std::nullopt;
    }
    // "4.5" means 4.50.
    if (end - (dot + 1) == 1) {
        minor *= 10;
    }
    return GlslVersion{major * 100 + minor, es};
}

std::vector<GlslVersion> DesktopVersionsUpTo(GlslVersion newest)
{
    if (newest.es) {
        return {newest};
    }
    std::vector<GlslVersion> versions{newest};
    for (const int number : desktopVersions) {
        if (number < newest.number) {
            versions.push_back({number, false});
        }
    }
    return NewestFirst(std::move(versions));
}

std::vector<GlslVersion> NewestFirst(std::vector<GlslVersion> versions)
{
    std::sort(versions.begin(), versions.end(), [](const GlslVersion& a, const GlslVersion& b) {
        return a.number != b.number ? a.number > b.number : !a.es && b.es;
    });
    versions.erase(std::unique(versions.begin(), versions.end()), versions.end());
    return versions;
}

std::string DescribeVersions(const std::vector<GlslVersion>& versions)
{
    std::vector<GlslVersion> oldestFirst = NewestFirst(versions);
    std::reverse(oldestFirst.begin(), oldestFirst.end());
    std::vector<GlslVersion> desktop;
    std::vector<GlslVersion> es;
    for (const GlslVersion& version : oldestFirst) {
        (version.es ? es : desktop).push_back(version);
    }
    std::vector<std::string> parts;
    if (desktop.size() == 1) {
        parts.push_back(desktop.front().Printed());
    } else if (desktop.size() > 1) {
        parts.push_back(desktop.front().Printed() + " to " + desktop.back().Printed());
    }
    for (const GlslVersion& version : es) {
        parts.push_back(version.Printed());
    }
    if (parts.empty()) {
        return "none";
    }
    std::string text = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) {
        text += (i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return text;
}

std::optional<GlslVersion> DeclaredVersion(std::string_view source)
{
    const std::string withoutComments = WithoutComments(source);
    const std::optional<Directive> directive = VersionDirective(withoutComments);
    if (!directive) {
        return std::nullopt;
    }
    return ParseGlslVersion(directive->rest);
}

ShaderStyle StyleOf(std::string_view source)
{
    const SourceTokens tokens(WithoutComments(source));
    const bool hasMain = tokens.HasFunction("main");
    if (!hasMain && tokens.HasFunction("mainImage")) {
        return ShaderStyle::Shadertoy;
    }
    const std::optional<GlslVersion> version = DeclaredVersion(source);
    if (hasMain && version && version->HasInsAndOuts()) {
        return ShaderStyle::Modern;
    }
    return ShaderStyle::Classic;
}

std::string ShadertoyFragment(std::string_view source, GlslVersion version)
{
    const std::string withoutComments = WithoutComments(source);
    const std::set<std::string> declared = SourceTokens(withoutComments).FileScopeNames();

    std::string text = version.Directive() + "\n";
    text += "precision highp float;\nprecision highp int;\n";
    if (version.es) {
        // ES samplers default to low precision, or to none for 3D ones.
        text += "precision highp sampler2D;\nprecision highp sampler3D;\n";
    }
    for (const ShadertoyInput& input : shadertoyInputs) {
        if (!declared.contains(input.name)) {
            text += std::string(input.declaration) + "\n";
        }
    }
    text += FormatText("out vec4 %s;\n", colourOutput);
    // Up to GLSL 1.50 and ES 1.00, #line gives the number of the line before
    // the next one; from 3.30 and ES 3.00 on, that of the next one.
    text += FormatText("#line %d\n", version.number >= (version.es ? 300 : 330) ? 1 : 0);

    // A #version of the source's own must not follow ours; its line stays,
    // empty, so that the lines keep their numbers.
    std::string body(source);
    if (const std::optional<Directive> directive = VersionDirective(withoutComments)) {
        std::size_t end = directive->lineEnd;
        if (end > directive->lineBegin && body[end - 1] == '\r') {
            --end;
        }
        body.erase(directive->lineBegin, end - directive->lineBegin);
    }
    text += body;
    if (!text.ends_with('\n')) {
        text += '\n';
    }
    text += FormatText("void main()\n{\n    mainImage(%s, gl_FragCoord.xy);\n}\n", colourOutput);
    return text;
}

std::string ShadertoyVertex(GlslVersion version)
{
    return FullWindowVertex(version.Directive(), {});
}

std::string ModernVertex(std::string_view fragmentSource)
{
    const std::string withoutComments = WithoutComments(fragmentSource);
    const std::optional<Directive> directive = VersionDirective(withoutComments);
    const std::string versionLine = directive ? "#version " + std::string(directive->rest) : GlslVersion{}.Directive();
    return FullWindowVertex(versionLine, SourceTokens(withoutComments).TexcoordInputs());
}

std::string LinesTheLogNames(std::string_view source, std::string_view log, std::size_t most)
{
    std::vector<int> named;
    for (std::size_t at = log.find('0'); at != std::string_view::npos && named.size() < most; at = log.find('0', at + 1)) {
        // Source string 0, the only one given, then its line, where a word
        // starts (not a column's 0 after "0:").
        const bool alone = at == 0 || std::isspace(static_cast<unsigned char>(log[at - 1]));
        if (!alone || at + 2 >= log.size() || (log[at + 1] != ':' && log[at + 1] != '(')) {
            continue;
        }
        int line = 0;
        const auto [end, error] = std::from_chars(log.data() + at + 2, log.data() + log.size(), line);
        if (error == std::errc() && line > 0 && std::find(named.begin(), named.end(), line) == named.end()) {
            named.push_back(line);
        }
    }
    constexpr std::size_t longest = 200;
    std::string excerpt;
    for (const int wanted : named) {
        std::size_t start = 0;
        for (int line = 1; line < wanted && start != std::string_view::npos; ++line) {
            start = source.find('\n', start);
            start = start == std::string_view::npos ? start : start + 1;
        }
        if (start == std::string_view::npos || start >= source.size()) {
            continue;
        }
        std::string_view text = source.substr(start, source.find('\n', start) - start);
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        excerpt += FormatText("%5d: %.*s%s\n", wanted, static_cast<int>(std::min(text.size(), longest)), text.data(),
                              text.size() > longest ? "..." : "");
    }
    return excerpt;
}
