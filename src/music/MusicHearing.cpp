#include "music/MusicHearing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/DemoMessage.h"
#include "music/DecodedMusic.h"

namespace {

// Bonzomatic scales its 2048-point transform by 2 / 1024.
constexpr float bonzomaticScale = 2.0f / MusicHearing::spectrumBins;
// Its factors are floats and their complements are taken in float, so the
// weights here are the same numbers it multiplies by.
constexpr float smoothing = 0.9f;
constexpr float slightSmoothing = 0.6f;
constexpr float integralWrap = 1024.0f;
constexpr int stepRate = static_cast<int>(MusicHearing::stepsPerSecond);

// The WebAudio analyser as Shadertoy sets it up.
constexpr double blackmanAlpha = 0.16;
constexpr float analyserSmoothing = 0.5f;
constexpr double minDecibels = -100.0;
constexpr double maxDecibels = -30.0;

// The last tick of a clock running at ticksPerSecond whose own time,
// tick / ticksPerSecond, is at or before seconds. The product alone can
// round across a whole number, which would put a time exactly on a tick
// before it.
std::int64_t LastTickAtOrBefore(double seconds, int ticksPerSecond)
{
    auto tick = static_cast<std::int64_t>(std::floor(seconds * ticksPerSecond));
    while (static_cast<double>(tick + 1) / ticksPerSecond <= seconds) {
        ++tick;
    }
    while (static_cast<double>(tick) / ticksPerSecond > seconds) {
        --tick;
    }
    return tick;
}

double LoopedTime(double seconds, double length)
{
    double looped = std::fmod(seconds, length);
    if (looped < 0.0) {
        looped += length;
    }
    // Adding the length to a tiny negative remainder can round up to it.
    return looped < length ? looped : 0.0;
}

}  // namespace

MusicHearing::MusicHearing(std::shared_ptr<const DecodedMusic> music)
    : music(std::move(music)),
      input(static_cast<float*>(fftwf_malloc(sizeof(float) * windowFrames))),
      output(static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * (windowFrames / 2 + 1))))
{
    if (!input || !output) {
        throw DemoMessage("Out of memory for the music analysis");
    }
    interleaved.resize(static_cast<std::size_t>(windowFrames * this->music->Channels()));
    const double a0 = (1.0 - blackmanAlpha) / 2.0;
    const double a2 = blackmanAlpha / 2.0;
    for (int n = 0; n < windowFrames; ++n) {
        const double phase = 2.0 * std::numbers::pi * n / windowFrames;
        blackman[n] = static_cast<float>(a0 - 0.5 * std::cos(phase) + a2 * std::cos(2.0 * phase));
    }
    // Every transform goes through this one plan and these buffers, so the
    // same window always gives the same bits.
    plan.reset(fftwf_plan_dft_r2c_1d(windowFrames, input.get(), output.get(), FFTW_ESTIMATE));
    if (!plan) {
        throw DemoMessage("Unable to plan the music transform");
    }
}

void MusicHearing::MoveTo(double seconds, unsigned needs)
{
    const double time = LoopedTime(seconds, music->Seconds());
    const std::int64_t endFrame = LastTickAtOrBefore(time, music->SampleRate());
    if ((needs & NeedSpectrum) != 0) {
        ReadMono(endFrame, mono);
        Transform(nullptr);
        for (int bin = 0; bin < spectrumBins; ++bin) {
            spectrum[bin] = Magnitude(bin) * bonzomaticScale;
        }
    }
    if ((needs & NeedChannel) != 0) {
        FillChannelWave(endFrame);
    }
    if ((needs & (NeedSmoothed | NeedIntegrated | NeedChannel)) != 0) {
        AdvanceTo(LastTickAtOrBefore(time, stepRate));
        if ((needs & NeedChannel) != 0) {
            FillChannelSpectrum();
        }
    }
}

void MusicHearing::ReadMono(std::int64_t endFrame, std::span<float> frames)
{
    const int channels = music->Channels();
    const std::span<float> copied(interleaved.data(), frames.size() * static_cast<std::size_t>(channels));
    music->CopyLooped(endFrame - static_cast<std::int64_t>(frames.size()), copied);
    for (std::size_t frame = 0; frame < frames.size(); ++frame) {
        float sum = 0.0f;
        for (int channel = 0; channel < channels; ++channel) {
            sum += copied[frame * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)];
        }
        frames[frame] = sum / static_cast<float>(channels);
    }
}

void MusicHearing::Transform(const float* weights)
{
    for (int n = 0; n < windowFrames; ++n) {
        input[n] = weights != nullptr ? mono[n] * weights[n] : mono[n];
    }
    fftwf_execute(plan.get());
}

float MusicHearing::Magnitude(int bin) const
{
    const float real = output[bin][0];
    const float imaginary = output[bin][1];
    return std::sqrt(real * real + imaginary * imaginary);
}

std::int64_t MusicHearing::StepEndFrame(std::int64_t step) const
{
    // In integers, so that a step whose time falls on a frame ends there.
    return step * music->SampleRate() / stepRate;
}

void MusicHearing::TakeStep(std::int64_t step, StepValues& values)
{
    ReadMono(StepEndFrame(step), mono);

    Transform(nullptr);
    for (int bin = 0; bin < spectrumBins; ++bin) {
        const float level = Magnitude(bin) * bonzomaticScale;
        values.smoothed[bin] = values.smoothed[bin] * smoothing + (1.0f - smoothing) * level;
        values.slightlySmoothed[bin] = values.slightlySmoothed[bin] * slightSmoothing + (1.0f - slightSmoothing) * level;
        values.integrated[bin] += values.slightlySmoothed[bin];
        if (values.integrated[bin] > integralWrap) {
            values.integrated[bin] -= integralWrap;
        }
    }

    Transform(blackman.data());
    for (int bin = 0; bin < channelWidth; ++bin) {
        const float magnitude = Magnitude(bin) / windowFrames;
        values.channelLevels[bin] = analyserSmoothing * values.channelLevels[bin] + (1.0f - analyserSmoothing) * magnitude;
    }
}

void MusicHearing::AdvanceTo(std::int64_t step)
{
    if (checkpoints.capacity() == 0) {
        const std::int64_t lastStep = LastTickAtOrBefore(music->Seconds(), stepRate);
        checkpoints.reserve(static_cast<std::size_t>(lastStep / checkpointSteps + 1));
    }
    // Values past the step cannot be stepped back; a made checkpoint between
    // the held values and the step saves steps.
    const std::int64_t nearest = std::min(step / checkpointSteps, static_cast<std::int64_t>(checkpoints.size()) - 1);
    if (heldStep > step || (nearest >= 0 && nearest * checkpointSteps > heldStep)) {
        held = checkpoints[static_cast<std::size_t>(nearest)];
        heldStep = nearest * checkpointSteps;
    }
    while (heldStep < step) {
        ++heldStep;
        TakeStep(heldStep, held);
        if (heldStep == static_cast<std::int64_t>(checkpoints.size()) * checkpointSteps) {
            checkpoints.push_back(held);
        }
    }
}

void MusicHearing::FillChannelSpectrum()
{
    for (int bin = 0; bin < channelWidth; ++bin) {
        const double decibels = 20.0 * std::log10(static_cast<double>(held.channelLevels[bin]));
        const double scaled = 255.0 / (maxDecibels - minDecibels) * (decibels - minDecibels);
        // Silence is minus infinity decibels, which the clamp takes to 0.
        channelSpectrum[bin] = static_cast<std::uint8_t>(std::clamp(scaled, 0.0, 255.0));
    }
}

void MusicHearing::FillChannelWave(std::int64_t endFrame)
{
    const std::span<float> frames(mono.data(), channelWidth);
    ReadMono(endFrame, frames);
    for (int n = 0; n < channelWidth; ++n) {
        const double level = 128.0 * (1.0 + static_cast<double>(frames[n]));
        channelWave[n] = static_cast<std::uint8_t>(std::clamp(level, 0.0, 255.0));
    }
}
