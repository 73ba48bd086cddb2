#version 110
// A flight down a tunnel lined with the bound picture: angle around the
// centre wraps the picture three times, depth runs it along, and the
// tunnel twists and its vanishing point drifts. The far end glows warm and
// the walls sink into the night near it; the beat kicks the glow and
// pushes the walls outwards. time is in seconds, beat 0 to 1.

uniform sampler2D lining;
uniform float time;
uniform float beat;

const vec3 night = vec3(0.043, 0.063, 0.149);
const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 amber = vec3(1.0, 0.702, 0.278);
const vec3 coral = vec3(1.0, 0.420, 0.341);

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    float aspect = max(abs(dFdy(uv.t)), 1.0e-6) / max(abs(dFdx(uv.s)), 1.0e-6);
    vec2 p = (uv - 0.5) * vec2(aspect, 1.0);
    vec2 vanishing = 0.12 * vec2(sin(time * 0.37), cos(time * 0.29));
    p -= vanishing;

    float radius = max(length(p), 1.0e-4);
    float depth = 0.32 / radius * (1.0 - 0.08 * beat);
    float angle = atan(p.y, p.x) + 0.35 * sin(time * 0.23) * depth;

    vec2 st = vec2(angle / 6.2831853 * 3.0, depth + time * 0.55);
    vec3 wall = texture2D(lining, st).rgb;

    float fog = smoothstep(0.0, 0.32, radius / (1.0 + 0.15 * beat));
    vec3 colour = mix(night, wall, fog);
    colour += cyan * wall.g * wall.g * fog * 0.6;
    colour += mix(amber, coral, beat) * exp(-radius * 10.0) * (0.7 + 1.2 * beat);
    colour *= 1.0 - 0.3 * dot(p, p);
    gl_FragColor = vec4(colour, 1.0);
}
