#version 110
// The box field, folded into polar coordinates: angle becomes a mirrored
// kaleidoscope of six sectors, the logarithm of the distance from the
// centre becomes depth, so the tumbling boxes form an endless tunnel.
//
// The field was drawn into the lower-left, window-sized corner of a
// 1024 x 1024 image. The effect leaves time and resolution at 0; the
// window size then comes from how fast the texture coordinates change from
// one pixel to the next.

uniform sampler2D scene;
uniform float time;
uniform vec2 resolution;

const float targetSize = 1024.0;
const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 deepTeal = vec3(0.055, 0.302, 0.392);
const vec3 night = vec3(0.043, 0.063, 0.149);
const vec3 amber = vec3(1.0, 0.702, 0.278);

float Mirrored(float x)
{
    return abs(fract(x) * 2.0 - 1.0);
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 measured = 1.0 / max(abs(vec2(dFdx(uv.s), dFdy(uv.t))), vec2(1.0e-5));
    vec2 window = resolution.x > 0.0 ? resolution : measured;

    vec2 p = (uv - 0.5) * vec2(window.x / window.y, 1.0);
    float radius = length(p);
    float angle = atan(p.y, p.x) + time * 0.2;

    // A square inside the field, around the middle of the scene as drawn
    // (the target may have cut the scene on windows wider or taller than it).
    vec2 drawn = min(window, vec2(targetSize)) / targetSize;
    float halfSide = 0.19 * window.y / targetSize;
    vec2 centre = clamp(0.5 * window / targetSize, vec2(halfSide), drawn - vec2(halfSide));

    float sector = Mirrored(angle / 6.2831853 * 6.0);
    float depth = Mirrored(log(radius + 1.0e-4) * 0.8);
    vec2 st = centre + (vec2(sector, depth) * 2.0 - 1.0) * halfSide;
    vec3 boxes = texture2D(scene, st).rgb;

    // Cool the field into the night palette; keep the warm windows warm.
    float warmth = clamp(boxes.r - boxes.b, 0.0, 1.0);
    float lum = dot(boxes, vec3(0.3, 0.59, 0.11));
    vec3 colour = mix(night, deepTeal, smoothstep(0.0, 0.25, lum));
    colour = mix(colour, cyan, smoothstep(0.3, 0.9, lum) * 0.6);
    colour += amber * warmth * 0.9 + boxes * 0.35;

    // The centre of the tunnel sinks into a cyan glow, the rim into night.
    colour *= smoothstep(0.02, 0.22, radius);
    colour += cyan * exp(-radius * 9.0) * 0.8 + deepTeal * exp(-radius * 3.0) * 0.35;
    colour *= 1.0 - 0.35 * radius * radius;
    gl_FragColor = vec4(colour, 1.0);
}
