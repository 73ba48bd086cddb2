#version 110
// Northern lights over the night ridge in the bound picture. Curtains of
// light hang in two layers, their lower hems waving slowly, their rays
// drifting; the beat makes them flare. The picture's sky (anything with a
// little blue) receives the light, the black ridge stays black but for a
// faint rim. time is in seconds, beat 0 to 1. auroraSwell follows its
// sync track: the curtains climb, reach higher and brighten with the
// breakdown's riser (0, as without a track, leaves them as they are).

uniform sampler2D scene;
uniform float time;
uniform float beat;
uniform float auroraSwell;

const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 deepTeal = vec3(0.055, 0.302, 0.392);
const vec3 amber = vec3(1.0, 0.702, 0.278);
const vec3 coral = vec3(1.0, 0.420, 0.341);
const vec3 bone = vec3(0.957, 0.929, 0.882);

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

float Noise(vec2 p)
{
    vec2 cell = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f);
    float a = Hash(cell);
    float b = Hash(cell + vec2(1.0, 0.0));
    float c = Hash(cell + vec2(0.0, 1.0));
    float d = Hash(cell + vec2(1.0, 1.0));
    return mix(mix(a, b, u.x), mix(c, d, u.x), u.y);
}

float Fbm(vec2 p)
{
    float sum = 0.0;
    float weight = 0.5;
    for (int octave = 0; octave < 4; ++octave) {
        sum += weight * Noise(p);
        p = p * 2.03 + vec2(17.0, 9.0);
        weight *= 0.5;
    }
    return sum;
}

// One curtain: light that starts at a waving hem and fades upwards, combed
// into rays. y grows downwards, as on the screen.
float Curtain(vec2 uv, float hemHeight, float sway, float seed)
{
    float hem = hemHeight + 0.12 * (Fbm(vec2(uv.x * 1.6 + seed, time * 0.05 * sway)) - 0.5)
                + 0.04 * sin(uv.x * 5.0 + time * 0.3 * sway + seed);
    float above = hem - uv.y;
    float body = smoothstep(-0.015, 0.01, above) * exp(-max(above, 0.0) * 4.5) * exp(max(above, 0.0) * 2.5 * auroraSwell);
    float rays = 0.45 + 0.55 * Fbm(vec2(uv.x * 22.0 + seed + time * 0.08 * sway, time * 0.25));
    return body * rays;
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec3 picture = texture2D(scene, uv).rgb;
    float sky = smoothstep(0.04, 0.1, picture.b);

    float flare = 1.0 + 0.9 * beat + 0.35 * auroraSwell;
    float near = Curtain(uv, 0.5 - 0.08 * auroraSwell, 1.0, 3.0);
    float far = Curtain(uv * vec2(1.3, 1.0), 0.38 - 0.05 * auroraSwell, -0.7, 11.0);

    // Green-cyan at the hem, teal higher up, a warm fringe at the top.
    float heightNear = clamp((0.5 - uv.y) * 2.5, 0.0, 1.0);
    vec3 nearColour = mix(cyan * 1.2, deepTeal * 1.4, heightNear) + coral * 0.35 * heightNear * heightNear;
    vec3 farColour = mix(deepTeal * 1.5, cyan * 0.6, 0.5) + amber * 0.12;
    vec3 aurora = (nearColour * near * 1.1 + farColour * far * 0.6) * flare;

    // Stars twinkle and dim behind the curtains.
    float twinkle = 0.65 + 0.35 * sin(time * 3.0 + Hash(floor(uv * 300.0)) * 40.0);
    vec3 colour = picture * mix(1.0, twinkle, smoothstep(0.2, 0.6, picture.r)) * sky;
    colour += aurora * sky;

    // The ridge takes a faint rim of the light above it.
    float rim = smoothstep(0.0, 0.05, picture.b) * (1.0 - sky);
    colour += (cyan * 0.4 + bone * 0.05) * rim * (near + far) * flare;
    gl_FragColor = vec4(colour, 1.0);
}
