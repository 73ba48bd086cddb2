#version 110
// Plasma over water light. Four plane waves run across the square: dx0 and
// dy0 (0 to 10) give each wave its direction and density, dx1 (0 to 1) its
// speed and dy1 (0 to 1) its phase, so every seed paints its own pattern.
// time is in seconds.

uniform sampler2D water;
uniform float time;
uniform vec4 dx0;
uniform vec4 dy0;
uniform vec4 dx1;
uniform vec4 dy1;

const vec3 night = vec3(0.043, 0.063, 0.149);
const vec3 deepTeal = vec3(0.055, 0.302, 0.392);
const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 amber = vec3(1.0, 0.702, 0.278);
const vec3 coral = vec3(1.0, 0.420, 0.341);

vec3 NightRamp(float level)
{
    vec3 colour = mix(night, deepTeal, smoothstep(0.05, 0.45, level));
    colour = mix(colour, cyan, smoothstep(0.45, 0.78, level));
    colour = mix(colour, amber, smoothstep(0.8, 0.94, level));
    return mix(colour, coral, smoothstep(0.95, 1.0, level));
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 p = (uv - 0.5) * 3.0;

    vec4 phase = (p.x * dx0 + p.y * dy0) * 0.45 + time * (0.35 + 1.1 * dx1) + dy1 * 6.2831853;
    vec4 waves = sin(phase);
    float field = dot(waves, vec4(0.25));

    // A slow round swell from a drifting centre keeps the waves from
    // looking like a weave.
    vec2 centre = vec2(sin(time * 0.21 + dy1.x * 6.28), cos(time * 0.17 + dy1.y * 6.28)) * 0.8;
    field = field * 0.8 + 0.2 * sin(length(p - centre) * (2.0 + 0.4 * dx0.w) - time * 1.3);

    // The water is bent along the waves' slopes, like light through ripples.
    vec4 slope = cos(phase);
    vec2 bend = vec2(dot(slope, dx0), dot(slope, dy0)) * 0.004;
    vec3 caustic = texture2D(water, uv * 1.5 + bend + vec2(time * 0.013, time * -0.009)).rgb;
    vec3 caustic2 = texture2D(water, uv * 0.9 - bend * 1.7 + vec2(time * -0.007, time * 0.011)).rgb;
    float light = dot(caustic * caustic2, vec3(0.3, 0.5, 0.2));

    float level = clamp(0.5 + 0.55 * field, 0.0, 1.0);
    vec3 colour = NightRamp(level);

    // Thin glowing contours where the field crosses its bands.
    float contour = 1.0 - abs(sin(field * 3.14159 * 3.0));
    colour += cyan * pow(contour, 14.0) * 0.55;

    colour += (caustic * 0.35 + vec3(light) * 1.2) * mix(deepTeal, cyan, level) * 1.4;
    gl_FragColor = vec4(colour, 1.0);
}
