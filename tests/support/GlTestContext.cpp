#include "support/GlTestContext.h"

#include <SDL.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "gfx/Guards.h"
#include "gfx/Screen.h"

namespace {

class HiddenGlWindow {
public:
    HiddenGlWindow()
    {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            throw std::runtime_error(std::string("SDL_Init: ") + SDL_GetError());
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        window = SDL_CreateWindow("tests", 0, 0, testWidth, testHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window == nullptr) {
            throw std::runtime_error(std::string("SDL_CreateWindow: ") + SDL_GetError());
        }
        context = SDL_GL_CreateContext(window);
        if (context == nullptr) {
            throw std::runtime_error(std::string("SDL_GL_CreateContext: ") + SDL_GetError());
        }
        if (glewInit() != GLEW_OK) {
            throw std::runtime_error("GLEW could not load the GL entry points");
        }
        screenWidth = testWidth;
        screenHeight = testHeight;
    }

    ~HiddenGlWindow()
    {
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        SDL_Quit();
    }

private:
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

bool IsEnabled(GLenum cap)
{
    return glIsEnabled(cap) == GL_TRUE;
}

GLint Integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

}  // namespace

void PrintTo(const Rgba& colour, std::ostream* out)
{
    *out << "rgba(" << int(colour.r) << ", " << int(colour.g) << ", " << int(colour.b) << ", " << int(colour.a) << ")";
}

namespace {

std::unique_ptr<HiddenGlWindow> sharedWindow;
std::string windowError;

}  // namespace

// A display shared by parallel test processes has been seen to refuse a
// window now and then: a few tries, and a failure if none succeeds (gtest
// would only skip the suite's tests if this threw).
void GlTest::SetUpTestSuite()
{
    for (int attempt = 0; !sharedWindow && attempt < 5; ++attempt) {
        try {
            sharedWindow = std::make_unique<HiddenGlWindow>();
            windowError.clear();
        } catch (const std::exception& error) {
            windowError = error.what();
            SDL_Quit();
            SDL_Delay(200);
        }
    }
}

void GlTest::SetUp()
{
    ASSERT_TRUE(sharedWindow) << "no GL window: " << windowError;
    ResetBetweenEffectsState();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ResetBetweenEffectsState()
{
    while (glGetError() != GL_NO_ERROR) {
    }
    glUseProgram(0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    UnbindTexture();
    for (const GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_FOG, GL_SCISSOR_TEST, GL_TEXTURE_GEN_S,
                             GL_TEXTURE_GEN_T, GL_LIGHTING, GL_LIGHT1}) {
        glDisable(cap);
    }
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    RestoreScreenProjection();
}

::testing::AssertionResult BetweenEffectsState()
{
    std::ostringstream faults;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        faults << " GL error 0x" << std::hex << error << std::dec << ";";
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] != screenWidth || viewport[3] != screenHeight) {
        faults << " viewport is " << viewport[0] << "," << viewport[1] << "," << viewport[2] << "," << viewport[3] << ";";
    }
    if (Integer(GL_MATRIX_MODE) != GL_MODELVIEW) {
        faults << " matrix mode is not GL_MODELVIEW;";
    }
    if (!MatricesMatch(CurrentMatrix(GL_PROJECTION_MATRIX), ExpectedPerspective(screenWidth, screenHeight))) {
        faults << " projection is not the screen perspective;";
    }
    std::array<GLfloat, 16> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    if (!MatricesMatch(CurrentMatrix(GL_MODELVIEW_MATRIX), identity)) {
        faults << " modelview is not the identity;";
    }
    if (!IsEnabled(GL_TEXTURE_2D)) {
        faults << " GL_TEXTURE_2D is off;";
    }
    const std::pair<GLenum, const char*> mustBeOff[] = {
        {GL_BLEND, "GL_BLEND"},           {GL_DEPTH_TEST, "GL_DEPTH_TEST"},       {GL_CULL_FACE, "GL_CULL_FACE"},
        {GL_FOG, "GL_FOG"},               {GL_SCISSOR_TEST, "GL_SCISSOR_TEST"},   {GL_TEXTURE_GEN_S, "GL_TEXTURE_GEN_S"},
        {GL_TEXTURE_GEN_T, "GL_TEXTURE_GEN_T"}, {GL_LIGHTING, "GL_LIGHTING"},
    };
    for (const auto& [cap, capName] : mustBeOff) {
        if (IsEnabled(cap)) {
            faults << " " << capName << " is on;";
        }
    }
    if (Integer(GL_TEXTURE_BINDING_2D) != 0) {
        faults << " texture " << Integer(GL_TEXTURE_BINDING_2D) << " is bound;";
    }
    if (Integer(GL_CURRENT_PROGRAM) != 0) {
        faults << " program " << Integer(GL_CURRENT_PROGRAM) << " is in use;";
    }
    if (Integer(GL_FRAMEBUFFER_BINDING_EXT) != 0) {
        faults << " framebuffer " << Integer(GL_FRAMEBUFFER_BINDING_EXT) << " is bound;";
    }
    const std::string text = faults.str();
    if (text.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "state between effects differs:" << text;
}

Rgba ReadPixel(int x, int y)
{
    Rgba pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, screenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    return pixel;
}

Rgba ReadPixelAt(double fractionX, double fractionY)
{
    return ReadPixel(static_cast<int>(fractionX * screenWidth), static_cast<int>(fractionY * screenHeight));
}

std::vector<Rgba> ReadFrame()
{
    std::vector<Rgba> frame(static_cast<std::size_t>(screenWidth) * static_cast<std::size_t>(screenHeight));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, screenWidth, screenHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    return frame;
}

std::array<GLfloat, 16> CurrentMatrix(GLenum which)
{
    std::array<GLfloat, 16> matrix{};
    glGetFloatv(which, matrix.data());
    return matrix;
}

std::array<GLfloat, 16> ExpectedPerspective(int width, int height)
{
    const double nearPlane = 0.1f;
    const double farPlane = 1000.0;
    const double focal = 1.0 / std::tan(40.0 * M_PI / 360.0);
    const double aspect = static_cast<double>(width) / height;
    std::array<GLfloat, 16> matrix{};
    matrix[0] = static_cast<GLfloat>(focal / aspect);
    matrix[5] = static_cast<GLfloat>(focal);
    matrix[10] = static_cast<GLfloat>((farPlane + nearPlane) / (nearPlane - farPlane));
    matrix[11] = -1.0f;
    matrix[14] = static_cast<GLfloat>(2.0 * farPlane * nearPlane / (nearPlane - farPlane));
    return matrix;
}

::testing::AssertionResult MatricesMatch(const std::array<GLfloat, 16>& actual, const std::array<GLfloat, 16>& expected)
{
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (std::fabs(actual[i] - expected[i]) > 1e-5f * std::max(1.0f, std::fabs(expected[i]))) {
            return ::testing::AssertionFailure() << "element " << i << " is " << actual[i] << ", expected " << expected[i];
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<Rgba> TextureTexels(GLuint texture, int width, int height, int level)
{
    std::vector<Rgba> texels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GlStateSnapshot GlStateSnapshot::Take()
{
    GlStateSnapshot state{};
    glGetFloatv(GL_CURRENT_COLOR, state.currentColour.data());
    glGetIntegerv(GL_BLEND_SRC, &state.blendFactors[0]);
    glGetIntegerv(GL_BLEND_DST, &state.blendFactors[1]);
    glGetIntegerv(GL_SCISSOR_BOX, state.scissorBox.data());
    glGetIntegerv(GL_POLYGON_MODE, state.polygonModes.data());
    glGetIntegerv(GL_SHADE_MODEL, &state.shadeModel);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &state.textureEnvironmentMode);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &state.unpackAlignmentAndRowLength[0]);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &state.unpackAlignmentAndRowLength[1]);
    state.clientArrays = {glIsEnabled(GL_VERTEX_ARRAY), glIsEnabled(GL_COLOR_ARRAY), glIsEnabled(GL_TEXTURE_COORD_ARRAY),
                          glIsEnabled(GL_NORMAL_ARRAY)};
    glGetFloatv(GL_TEXTURE_MATRIX, state.textureMatrix.data());
    glGetIntegerv(GL_VIEWPORT, state.viewport.data());
    return state;
}

void PrintTo(const GlStateSnapshot& state, std::ostream* out)
{
    const auto list = [out](const char* name, const auto& values) {
        *out << name << " (";
        for (const auto value : values) {
            *out << " " << +value;
        }
        *out << " ) ";
    };
    list("colour", state.currentColour);
    list("blend", state.blendFactors);
    list("scissor", state.scissorBox);
    list("polygon", state.polygonModes);
    *out << "shade " << state.shadeModel << " texenv " << state.textureEnvironmentMode << " ";
    list("unpack", state.unpackAlignmentAndRowLength);
    list("client arrays", state.clientArrays);
    list("texture matrix", state.textureMatrix);
    list("viewport", state.viewport);
}
