#pragma once

#include <array>

#include "gfx/Gl.h"

// Scope guards: each makes one change to the GL state when constructed and
// undoes it when destroyed, so the state between effects holds also when an
// exception leaves a draw. Declare them as locals in Draw; none is copyable.

class CEnabler {
public:
    explicit CEnabler(GLenum cap);
    virtual ~CEnabler();

    CEnabler(const CEnabler&) = delete;
    CEnabler& operator=(const CEnabler&) = delete;

    GLenum cap;
};

// Blending on with the given factors; the blend function is not restored.
class CTransparency : public CEnabler {
public:
    CTransparency(GLenum source, GLenum destination);
};

// Linear black fog between two eye-space distances.
class CFog : public CEnabler {
public:
    CFog(GLfloat start, GLfloat end);
};

class MatrixScope {
public:
    MatrixScope();
    ~MatrixScope();

    MatrixScope(const MatrixScope&) = delete;
    MatrixScope& operator=(const MatrixScope&) = delete;
};

class TextureBinding {
public:
    explicit TextureBinding(GLuint texture);
    ~TextureBinding();

    TextureBinding(const TextureBinding&) = delete;
    TextureBinding& operator=(const TextureBinding&) = delete;
};

// A 2D overlay over the whole window: x from -1 (left) to 1 (right), y from
// -1 (top) to 1 (bottom), geometry at z between -0.1 and -100. Ends with the
// screen perspective; matrices are reset, not popped.
class OrthoScope {
public:
    OrthoScope();
    ~OrthoScope();

    OrthoScope(const OrthoScope&) = delete;
    OrthoScope& operator=(const OrthoScope&) = delete;
};

// The demo's perspective for a viewport of another size (a render target's).
// Ends with the screen perspective; matrices are reset, not popped.
class ViewportScope {
public:
    ViewportScope(int width, int height);
    ~ViewportScope();

    ViewportScope(const ViewportScope&) = delete;
    ViewportScope& operator=(const ViewportScope&) = delete;
};

// For drawing that does not go through the guards (the tweak panel's
// renderer): saves every server and client attribute group, the projection,
// modelview and texture matrices and the program in use, and puts them all
// back on destruction.
class SavedGlState {
public:
    SavedGlState();
    ~SavedGlState();

    SavedGlState(const SavedGlState&) = delete;
    SavedGlState& operator=(const SavedGlState&) = delete;

private:
    struct SavedMatrix {
        GLenum mode;
        GLenum query;
        std::array<GLfloat, 16> values;
    };

    std::array<SavedMatrix, 3> matrices{{{GL_PROJECTION, GL_PROJECTION_MATRIX, {}},
                                         {GL_MODELVIEW, GL_MODELVIEW_MATRIX, {}},
                                         {GL_TEXTURE, GL_TEXTURE_MATRIX, {}}}};
    GLint program = 0;
};

// Full-window viewport, 40-degree perspective (near 0.1, far 1000) and an
// identity modelview matrix: the projection every effect starts from.
void RestoreScreenProjection();

void UnbindTexture();
