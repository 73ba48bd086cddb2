#include "gfx/Guards.h"

#include "gfx/Screen.h"

namespace {

// The near plane is the single-precision 0.1 widened to double.
constexpr double nearPlane = 0.1f;
constexpr double farPlane = 1000.0;
constexpr double fieldOfView = 40.0;

void SetPerspective(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, static_cast<double>(width) / static_cast<double>(height), nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

CEnabler::CEnabler(GLenum cap) : cap(cap)
{
    glEnable(cap);
}

CEnabler::~CEnabler()
{
    glDisable(cap);
}

CTransparency::CTransparency(GLenum source, GLenum destination) : CEnabler(GL_BLEND)
{
    glBlendFunc(source, destination);
}

CFog::CFog(GLfloat start, GLfloat end) : CEnabler(GL_FOG)
{
    static const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogfv(GL_FOG_COLOR, black);
}

MatrixScope::MatrixScope()
{
    glPushMatrix();
}

MatrixScope::~MatrixScope()
{
    glPopMatrix();
}

TextureBinding::TextureBinding(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
}

TextureBinding::~TextureBinding()
{
    UnbindTexture();
}

SavedGlState::SavedGlState()
{
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    for (SavedMatrix& matrix : matrices) {
        glGetFloatv(matrix.query, matrix.values.data());
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
}

SavedGlState::~SavedGlState()
{
    // Loaded rather than pushed: the projection stack may be only two deep.
    for (const SavedMatrix& matrix : matrices) {
        glMatrixMode(matrix.mode);
        glLoadMatrixf(matrix.values.data());
    }
    glPopClientAttrib();
    glPopAttrib();  // the matrix mode with the transform group
    glUseProgram(static_cast<GLuint>(program));
}

OrthoScope::OrthoScope()
{
    glViewport(0, 0, screenWidth, screenHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, 1.0, -1.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

OrthoScope::~OrthoScope()
{
    RestoreScreenProjection();
}

ViewportScope::ViewportScope(int width, int height)
{
    SetPerspective(width, height);
}

ViewportScope::~ViewportScope()
{
    RestoreScreenProjection();
}

void RestoreScreenProjection()
{
    SetPerspective(screenWidth, screenHeight);
}

void UnbindTexture()
{
    glBindTexture(GL_TEXTURE_2D, 0);
}
