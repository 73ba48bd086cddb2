#include "picture/EffectPictures.h"

#include <cmath>
#include <cstdint>

namespace EffectPictures {

namespace {

float Lattice(int x, int y, unsigned seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFu) / 65535.0f;
}

int Wrap(int cell, int period)
{
    if (period <= 0) {
        return cell;
    }
    const int wrapped = cell % period;
    return wrapped < 0 ? wrapped + period : wrapped;
}

float ValueNoise(float x, float y, unsigned seed, int period)
{
    const float cellX = std::floor(x);
    const float cellY = std::floor(y);
    const int x0 = static_cast<int>(cellX);
    const int y0 = static_cast<int>(cellY);
    const float fx = x - cellX;
    const float fy = y - cellY;
    const float sx = fx * fx * (3.0f - 2.0f * fx);
    const float sy = fy * fy * (3.0f - 2.0f * fy);
    const float top = Lattice(Wrap(x0, period), y0, seed) * (1.0f - sx) + Lattice(Wrap(x0 + 1, period), y0, seed) * sx;
    const float bottom = Lattice(Wrap(x0, period), y0 + 1, seed) * (1.0f - sx) + Lattice(Wrap(x0 + 1, period), y0 + 1, seed) * sx;
    return top * (1.0f - sy) + bottom * sy;
}

}  // namespace

float Noise(float x, float y, int octaves, unsigned seed, int period)
{
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * ValueNoise(x, y, seed + static_cast<unsigned>(octave) * 101u, period);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

std::vector<PictureAsset> Assets()
{
    return {
        {"strobo/bg.jpg", StrobeBars},
        {"strobo/text.jpg", StrobeText},
        {"strobo/twist.jpg", StrobeTwist},
        {"sky/clouds.jpg", CloudPuff},
        {"sky/landskab1.jpg", NightLandscape},
        {"sky/landskab1_add.jpg", NightLandscapeLights},
        {"zoomer/zoomer2.jpg", ZoomerRing},
        {"zoomer/zoomer2-old.jpg", ZoomerStarRing},
        {"zoomer/bg.jpg", ZoomerBackdrop},
        {"zoomer/bg1.jpg", ZoomerStreaks},
        {"colorbox/colorbox1.jpg", TileGlow},
        {"colorbox/colorbox2.jpg", TileMark},
        {"solaris/solaris1.jpg", SoftGlow},
        {"solaris/solaris2.jpg", StarBurst},
        {"solaris/it.jpg", SolarisVeil},
        {"nanoball/zoomer1.jpg", SpikeSkin},
        {"nanoball/flare.jpg", CapFlare},
        {"nanoball/bg.jpg", BallBackdrop},
    };
}

}  // namespace EffectPictures
