#version 110
// The twisting tower's grid walls, lit by a lamp that swings in front of it.
// The surface normal comes from the fragment's own eye-space position
// (rebuilt from its window position and depth), bent by the grid picture as
// a height map so its lines stand out of the wall. intensity (0.25 at
// rest, 0.15 on a full beat) sets how deep the grid is cut; the shallower
// cut on the beat lets the lines flare. resolution is the window in pixels;
// pos is the lamp: x swings from -0.5 to 0.5, y stays 0.5. Depth fades the
// walls into the fog colour.

uniform sampler2D grid;
uniform float intensity;
uniform vec2 resolution;
uniform vec2 pos;

const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 deepTeal = vec3(0.055, 0.302, 0.392);
const vec3 amber = vec3(1.0, 0.702, 0.278);
const vec3 coral = vec3(1.0, 0.420, 0.341);

void main()
{
    vec2 ndc = gl_FragCoord.xy / resolution * 2.0 - 1.0;
    float eyeDepth = 1.0 / gl_FragCoord.w;
    vec3 eye = vec3(ndc.x * eyeDepth / gl_ProjectionMatrix[0][0], ndc.y * eyeDepth / gl_ProjectionMatrix[1][1], -eyeDepth);

    vec3 dpdx = dFdx(eye);
    vec3 dpdy = dFdy(eye);
    vec3 normal = normalize(cross(dpdx, dpdy));
    if (dot(normal, eye) > 0.0) {
        normal = -normal;
    }

    vec3 texel = texture2D(grid, gl_TexCoord[0].st).rgb;
    float height = dot(texel, vec3(0.2, 0.5, 0.3)) * intensity * 0.08;
    vec3 across = cross(dpdy, normal);
    vec3 along = cross(normal, dpdx);
    float area = dot(dpdx, across);
    vec3 gradient = sign(area) * (dFdx(height) * across + dFdy(height) * along);
    vec3 bumped = normalize(abs(area) * normal - gradient);

    vec3 lamp = vec3(pos.x * 10.0, (pos.y - 0.5) * 10.0 + 1.0, -5.0);
    vec3 toLamp = lamp - eye;
    float reach = length(toLamp);
    vec3 light = toLamp / reach;
    vec3 view = normalize(-eye);
    float falloff = 1.0 / (1.0 + 0.03 * reach * reach);
    float diffuse = max(dot(bumped, light), 0.0);
    float specular = pow(max(dot(reflect(-light, bumped), view), 0.0), 28.0);

    float flare = 0.25 / max(intensity, 0.05) - 1.0;
    float lines = smoothstep(0.3, 0.8, texel.g);
    vec3 colour = texel * (0.18 + 1.1 * diffuse * falloff);
    colour += specular * falloff * mix(cyan, amber, 0.55) * 1.2;
    colour += lines * cyan * (0.15 + 1.6 * flare);
    float rim = pow(1.0 - max(dot(normal, view), 0.0), 3.0);
    colour += rim * (deepTeal * 0.8 + coral * flare * 1.5);

    float fade = clamp((eyeDepth - 8.5) / 5.0, 0.0, 1.0);
    gl_FragColor = vec4(mix(colour, gl_Fog.color.rgb, fade * 0.75), 1.0);
}
