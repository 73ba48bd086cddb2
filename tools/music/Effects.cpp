#include "music/Effects.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "music/Dsp.h"

namespace Effects {

namespace {

// A feedback comb with a low-pass in its loop, the reverb's body.
class DampedComb {
public:
    DampedComb(std::size_t length, float feedback, float damping) : line(length, 0.0f), feedback(feedback), damping(damping) {}

    float Process(float input)
    {
        const float output = line[position];
        filtered = output * (1.0f - damping) + filtered * damping;
        line[position] = input + filtered * feedback;
        position = (position + 1) % line.size();
        return output;
    }

private:
    std::vector<float> line;
    float feedback;
    float damping;
    float filtered = 0.0f;
    std::size_t position = 0;
};

// A Schroeder allpass that smears echoes into a diffuse tail.
class Allpass {
public:
    explicit Allpass(std::size_t length) : line(length, 0.0f) {}

    float Process(float input)
    {
        const float delayed = line[position];
        line[position] = input + delayed * 0.5f;
        position = (position + 1) % line.size();
        return delayed - input;
    }

private:
    std::vector<float> line;
    std::size_t position = 0;
};

// The classic Freeverb tunings at 44.1 kHz, offset for the right channel so
// the two sides decorrelate.
std::vector<float> ReverbChannel(const std::vector<float>& input, float roomSize, std::size_t spread)
{
    constexpr std::array<std::size_t, 8> combLengths{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    constexpr std::array<std::size_t, 4> allpassLengths{556, 441, 341, 225};
    std::vector<DampedComb> combs;
    for (const std::size_t length : combLengths) {
        combs.emplace_back(length + spread, roomSize, 0.3f);
    }
    std::vector<Allpass> allpasses;
    for (const std::size_t length : allpassLengths) {
        allpasses.emplace_back(length + spread);
    }
    std::vector<float> output(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const float scaled = input[i] * 0.015f;
        float sum = 0.0f;
        for (DampedComb& comb : combs) {
            sum += comb.Process(scaled);
        }
        for (Allpass& allpass : allpasses) {
            sum = allpass.Process(sum);
        }
        output[i] = sum;
    }
    return output;
}

}  // namespace

void HighPass(StereoBuffer& bus, double cutoffHz)
{
    for (std::vector<float>* channel : {&bus.left, &bus.right}) {
        Dsp::Filter filter;
        filter.Tune(cutoffHz, 0.707);
        for (float& sample : *channel) {
            sample = filter.Process(sample).high;
        }
    }
}

StereoBuffer PingPongDelay(const StereoBuffer& send, std::int64_t delayFrames, float feedback)
{
    const auto delay = static_cast<std::size_t>(delayFrames);
    StereoBuffer wet(send.Frames());
    Dsp::Filter leftTone;
    Dsp::Filter rightTone;
    leftTone.Tune(3500.0, 0.6);
    rightTone.Tune(3500.0, 0.6);
    // The left echo is fed from the send and the right one; the right echo
    // only from the left, so repeats alternate sides.
    for (std::size_t i = delay; i < send.Frames(); ++i) {
        const float input = 0.5f * (send.left[i - delay] + send.right[i - delay]);
        wet.left[i] = leftTone.Process(input + feedback * wet.right[i - delay]).low;
        wet.right[i] = rightTone.Process(feedback * wet.left[i - delay]).low;
    }
    return wet;
}

StereoBuffer Reverb(const StereoBuffer& send, float roomSize)
{
    StereoBuffer wet(0);
    wet.left = ReverbChannel(send.left, roomSize, 0);
    wet.right = ReverbChannel(send.right, roomSize, 23);
    return wet;
}

void Duck(StereoBuffer& bus, const std::vector<std::int64_t>& kickFrames, float depth, double recoverySeconds)
{
    constexpr double attackSeconds = 0.004;
    const std::int64_t attack = Tempo::SecondsToFrames(attackSeconds);
    std::size_t next = 0;
    std::int64_t lastKick = -Tempo::SecondsToFrames(10.0);
    for (std::size_t i = 0; i < bus.Frames(); ++i) {
        const auto frame = static_cast<std::int64_t>(i);
        while (next < kickFrames.size() && kickFrames[next] <= frame) {
            lastKick = kickFrames[next++];
        }
        const double since = static_cast<double>(frame - lastKick) / Tempo::sampleRate;
        const double into = std::min(1.0, static_cast<double>(frame - lastKick) / static_cast<double>(attack));
        const auto gain = static_cast<float>(1.0 - depth * into * std::exp(-since / recoverySeconds));
        bus.left[i] *= gain;
        bus.right[i] *= gain;
    }
}

void Limit(StereoBuffer& bus, float ceiling)
{
    const float knee = 0.75f * ceiling;
    const auto shape = [knee, ceiling](float sample) {
        const float magnitude = std::fabs(sample);
        if (magnitude <= knee) {
            return sample;
        }
        const float over = (magnitude - knee) / (ceiling - knee);
        return std::copysign(knee + (ceiling - knee) * std::tanh(over), sample);
    };
    std::transform(bus.left.begin(), bus.left.end(), bus.left.begin(), shape);
    std::transform(bus.right.begin(), bus.right.end(), bus.right.begin(), shape);
}

}  // namespace Effects
