#version 410 core
// Bars of the music's spectrum over a shrinking echo of the frame before,
// written as Bonzomatic writes its shaders: its own #version, the texture
// coordinate from the vertex stage, its own output, and the names it
// gives: fGlobalTime, v2Resolution, texFFT, texFFTSmoothed,
// texFFTIntegrated, texPreviousFrame. It runs unchanged in Bonzomatic.
//
//   ShaderShow
//   10000
//   20000
//   data/examples/bonzomatic-bars.fs
//   data/shadershow/ridge.jpg

uniform float fGlobalTime;
uniform vec2 v2Resolution;
uniform sampler1D texFFT;
uniform sampler1D texFFTSmoothed;
uniform sampler1D texFFTIntegrated;
uniform sampler2D texPreviousFrame;

in vec2 out_texcoord;
layout(location = 0) out vec4 out_color;

const vec3 night = vec3(0.043, 0.063, 0.149);
const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 coral = vec3(1.0, 0.420, 0.341);

void main(void)
{
    vec2 uv = out_texcoord;
    // Forty bars, the low notes spread wider than the high ones.
    float bar = floor(uv.x * 40.0) / 40.0;
    float frequency = bar * bar * 0.25;
    float height = sqrt(texture(texFFTSmoothed, frequency).r) * 2.5;
    float inside = step(uv.y, height) * step(0.1, fract(uv.x * 40.0));
    // The peaks flash with the spectrum as it is now.
    float peak = smoothstep(0.03, 0.0, abs(uv.y - sqrt(texture(texFFT, frequency).r) * 2.5));
    // The echo shrinks away, turning faster with the bass.
    float bass = texture(texFFTSmoothed, 0.004).r;
    float turn = 0.004 + 0.03 * bass;
    vec2 echoAt = (uv - 0.5) * mat2(cos(turn), -sin(turn), sin(turn), cos(turn)) * 1.015 + 0.5;
    vec3 echo = texture(texPreviousFrame, echoAt).rgb * 0.8;
    // The bars' light shifts between cyan and teal as the bass adds up.
    float drift = 0.5 + 0.5 * sin(texture(texFFTIntegrated, 0.004).r * 0.5);
    vec3 light = mix(cyan, vec3(0.055, 0.302, 0.392) * 2.0, drift);
    vec3 colour = max(night, echo);
    colour = mix(colour, light * (0.4 + uv.y), inside);
    colour += coral * peak;
    out_color = vec4(colour, 1.0);
}
