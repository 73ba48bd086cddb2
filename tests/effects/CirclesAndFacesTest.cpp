#include "effects/Circles.h"
#include "effects/EffectTest.h"
#include "effects/Faces.h"

using Effekter::Circles;
using Effekter::Faces;

namespace {

const Rgba grey{51, 51, 51, 255};

// A flat grey that still reads both uniforms.
const std::string greyProbe =
    "#version 110\nuniform float time;\nuniform float beat;\n"
    "void main() { gl_FragColor = vec4(vec3(0.2), 1.0) + vec4(0.0 * time * beat); }\n";

class CircleDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        for (const char* picture : {"data/circles/__ring.jpg", "data/circles/circles.jpg", "data/circles/text.jpg"}) {
            WriteSolidPicture(picture, white);
        }
    }
};

}  // namespace

// The two share one shader: Circles gives it the time, Faces the beat too.
TEST_F(CircleDrawing, BothPassMillisecondsToTheSharedShaderWhichCoversTheWindow)
{
    CopyShipped(folder, "circles/circles.txt");
    Circles circles(80000, 100000);
    circles.Draw(90000, 1.0f);
    EXPECT_EQ(UniformValue(circles.shader.program, circles.timeLocation), 90000.0f);
    Faces faces(80000, 100000);
    faces.Draw(90001, 0.625f);
    EXPECT_EQ(UniformValue(faces.shader.program, faces.timeLocation), 90001.0f);
    EXPECT_EQ(UniformValue(faces.shader.program, faces.beatLocation), 0.625f);

    folder.WriteFile("data/circles/circles.txt", greyProbe);
    Circles probe(80000, 100000);
    Fill(red);
    probe.Draw(90000, 0.0f);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.999, 0.0}, {0.0, 0.999}, {0.999, 0.999}, {0.5, 0.5}}) {
        EXPECT_EQ(ReadPixelAt(x, y), grey) << x << "," << y;
    }
}

TEST_F(CircleDrawing, FacesAddsTheLetteringAtATenthOfTheBeat)
{
    folder.WriteFile("data/circles/circles.txt", greyProbe);
    Faces faces(0, 100000);
    faces.Draw(5000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), grey) << "beat 0 adds nothing";
    faces.Draw(5000, 1.0f);
    const Rgba lit = ReadPixelAt(0.5, 0.5);
    EXPECT_NEAR(lit.r, 51 + 26, 1) << "a tenth of white added";
    EXPECT_NEAR(lit.b, 51 + 26, 1);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.1f);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
}
