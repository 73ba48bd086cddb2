#include "gfx/Quad.h"

void Quad::Draw(GLfloat uRepeat, GLfloat vRepeat) const
{
    const GLfloat left = center.x - halfSize.x;
    const GLfloat right = center.x + halfSize.x;
    const GLfloat low = center.y - halfSize.y;
    const GLfloat high = center.y + halfSize.y;

    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glVertex3f(left, low, center.z);
    glTexCoord2f(uRepeat, 0.0f);
    glVertex3f(right, low, center.z);
    glTexCoord2f(uRepeat, vRepeat);
    glVertex3f(right, high, center.z);
    glTexCoord2f(0.0f, vRepeat);
    glVertex3f(left, high, center.z);
    glEnd();
}

void RotateXYZ(const Vector3& angles)
{
    glRotatef(angles.x, 1.0f, 0.0f, 0.0f);
    glRotatef(angles.y, 0.0f, 1.0f, 0.0f);
    glRotatef(angles.z, 0.0f, 0.0f, 1.0f);
}
