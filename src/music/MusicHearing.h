#pragma once

#include <fftw3.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

class DecodedMusic;

// What an author's shader hears of the music at a moment of music time: the
// spectra Bonzomatic gives its shaders and the 512 x 2 texture Shadertoy
// gives iChannel0. Both tools listen live, so what their shaders see depends
// on the frame rate; here every value is a function of the music time alone,
// so that playing, seeking, looping, offline rendering and capture agree.
//
// The contract, at a music time t:
// - The mono signal is the mean of the channels at each frame. A window
//   "ending at" t holds the frames before frame n, the last frame whose own
//   time n / sampleRate is at or before t; frames before the start of the
//   music come from its end, as the music loops.
// - Spectrum(), Bonzomatic's texFFT: the real FFT of the 2048 mono frames
//   ending at t, unwindowed, magnitude * 2 / 1024, bins 0..1023 (bin k at
//   k * sampleRate / 2048 Hz). A sine centred on a bin reads twice its
//   amplitude there; a constant reads four times its value in bin 0.
// - Analysis steps lie at k / 60 s, k = 0, 1, 2, ..., from the start of the
//   music; step k takes the spectrum S_k above over the window ending at frame
//   floor(k * sampleRate / 60). From zero before step 0:
//     smoothed           A_k = 0.9 A_{k-1} + 0.1 S_k   (texFFTSmoothed)
//     slightly smoothed  B_k = 0.6 B_{k-1} + 0.4 S_k
//     integrated         I_k = I_{k-1} + B_k, less 1024 whenever that exceeds 1024   (texFFTIntegrated)
//   in single precision with Bonzomatic's factors (0.9f and 1 - 0.9f, ...).
//   At t these are the values of step k, the last step whose time k / 60 is
//   at or before t, so a time exactly on a step gives that step.
// - ChannelSpectrum(), iChannel0 row 0: a WebAudio analyser's byte frequency
//   data with fftSize 2048, taken at the steps: Blackman window (alpha 0.16)
//   over the 2048 mono frames of step k, FFT, magnitude / 2048, smoothed over
//   the steps C_k = 0.5 C_{k-1} + 0.5 |X_k|, in decibels 20 log10(C) mapped
//   linearly from -100 dB -> 0 to -30 dB -> 255, clamped, truncated; the
//   first 512 bins, of step k as above.
// - ChannelWave(), iChannel0 row 1: the 512 mono frames ending at t (not at
//   the step), each 128 * (1 + x) clamped to 0..255 and truncated, so silence
//   reads 128.
//
// Whatever the order of the moves, the values at a time are the same bit for
// bit: the step values are kept at checkpoints every 60 steps, each made by
// stepping on from the one before, and a time is reached by stepping forward
// from the nearest checkpoint or from the values held, when those are nearer
// and not past it. Checkpoints are made as the steps are first passed and
// kept for the life of the object (about 14 KB per second of music); room for
// all of them is reserved at the first move that needs steps, so a move
// allocates nothing after that.
class MusicHearing {
public:
    static constexpr int spectrumBins = 1024;       // Bonzomatic's FFT size
    static constexpr int channelWidth = 512;        // Shadertoy's music texture width
    static constexpr double stepsPerSecond = 60.0;  // the fixed analysis rate of the smoothed values

    // What to compute: only what a shader being drawn reads. (The names
    // carry "Need" because Spectrum is also the name of an accessor.)
    enum Need : unsigned { NeedSpectrum = 1, NeedSmoothed = 2, NeedIntegrated = 4, NeedChannel = 8 };

    explicit MusicHearing(std::shared_ptr<const DecodedMusic> music);

    // Moves to a position in the music, in seconds; a finite time outside
    // [0, music length) is taken round the loop. Computes what `needs` asks
    // for; the other values stay as they were. Moving forward by a frame
    // costs a couple of FFTs per step passed; a seek costs at most a
    // second's worth of steps once the checkpoints before it exist, and the
    // first move far ahead makes those on the way.
    void MoveTo(double seconds, unsigned needs);

    std::span<const float, spectrumBins> Spectrum() const { return spectrum; }                           // texFFT
    std::span<const float, spectrumBins> SmoothedSpectrum() const { return held.smoothed; }              // texFFTSmoothed
    std::span<const float, spectrumBins> IntegratedSpectrum() const { return held.integrated; }          // texFFTIntegrated
    std::span<const std::uint8_t, channelWidth> ChannelSpectrum() const { return channelSpectrum; }     // iChannel0, row 0
    std::span<const std::uint8_t, channelWidth> ChannelWave() const { return channelWave; }             // iChannel0, row 1

private:
    static constexpr int windowFrames = 2 * spectrumBins;
    static constexpr int checkpointSteps = 60;

    // Everything carried from one analysis step to the next.
    struct StepValues {
        std::array<float, spectrumBins> smoothed{};
        std::array<float, spectrumBins> slightlySmoothed{};
        std::array<float, spectrumBins> integrated{};
        std::array<float, channelWidth> channelLevels{};  // C, the analyser's smoothed magnitudes
    };

    struct FftwFree {
        void operator()(void* memory) const { fftwf_free(memory); }
    };
    struct PlanDestroy {
        void operator()(fftwf_plan plan) const { fftwf_destroy_plan(plan); }
    };

    void ReadMono(std::int64_t endFrame, std::span<float> mono);
    // Transforms the mono window, each frame weighted by `weights` when given.
    void Transform(const float* weights);
    float Magnitude(int bin) const;
    std::int64_t StepEndFrame(std::int64_t step) const;
    void TakeStep(std::int64_t step, StepValues& values);
    void AdvanceTo(std::int64_t step);
    void FillChannelSpectrum();
    void FillChannelWave(std::int64_t endFrame);

    std::shared_ptr<const DecodedMusic> music;
    std::vector<float> interleaved;  // one window of the music's own frames
    std::array<float, windowFrames> mono{};
    std::array<float, windowFrames> blackman{};
    std::unique_ptr<float[], FftwFree> input;
    std::unique_ptr<fftwf_complex[], FftwFree> output;
    std::unique_ptr<std::remove_pointer_t<fftwf_plan>, PlanDestroy> plan;

    std::array<float, spectrumBins> spectrum{};
    StepValues held;
    std::int64_t heldStep = -1;  // -1: the zero values before step 0
    std::vector<StepValues> checkpoints;  // checkpoint j holds step j * checkpointSteps
    std::array<std::uint8_t, channelWidth> channelSpectrum{};
    std::array<std::uint8_t, channelWidth> channelWave{};
};
