// A ring that breathes with the music, written as Shadertoy writes its
// shaders: mainImage instead of main, the music in iChannel0 (row 0 its
// spectrum, row 1 its waveform), iResolution the window in pixels, iTime the
// music's seconds. It runs unchanged on Shadertoy with a music channel.
//
//   ShaderShow
//   10000
//   20000
//   data/examples/shadertoy-rings.fs
//   data/shadershow/ridge.jpg

const vec3 night = vec3(0.043, 0.063, 0.149);
const vec3 deepTeal = vec3(0.055, 0.302, 0.392);
const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 amber = vec3(1.0, 0.702, 0.278);

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = (fragCoord - 0.5 * iResolution.xy) / iResolution.y;
    float radius = length(uv);
    // The spectrum's lower half runs once round the ring, bass at the top.
    float around = fract(atan(uv.x, uv.y) / 6.2831853 + 1.0);
    float bin = 0.5 * abs(2.0 * around - 1.0);
    float level = texture(iChannel0, vec2(bin, 0.25)).x;
    // The waveform ripples the ring's edge.
    float wave = texture(iChannel0, vec2(around, 0.75)).x - 0.5;
    float edge = 0.22 + 0.18 * level + 0.04 * wave;
    float ring = smoothstep(0.012, 0.0, abs(radius - edge));
    float glow = exp(-10.0 * abs(radius - edge)) * (0.3 + level);
    float bass = texture(iChannel0, vec2(0.01, 0.25)).x;
    vec3 colour = mix(night, deepTeal, smoothstep(0.9, 0.0, radius) * 0.6);
    colour += cyan * (ring + 0.5 * glow) + amber * ring * bass * bass;
    fragColor = vec4(colour, 1.0);
}
