#include "music/Track.h"

#include "music/Arrangement.h"
#include "music/Drums.h"
#include "music/Effects.h"
#include "music/Tempo.h"
#include "music/Voices.h"

namespace {

// Levels of the parts, set so that the kick alone lifts the low band the
// show reads its beat from.
namespace Level {
constexpr float kick = 0.55f;
constexpr float bass = 0.42f;
constexpr float closedHat = 0.26f;
constexpr float openHat = 0.17f;
constexpr float clap = 0.45f;
constexpr float crash = 0.14f;
constexpr float riser = 0.3f;
constexpr float pad = 0.2f;
constexpr float arpeggio = 0.2f;
constexpr float melody = 0.22f;
}  // namespace Level

// Instruments are added to buses; each bus is processed as a whole.
struct Buses {
    explicit Buses(std::size_t frames) : kick(frames), bass(frames), drums(frames), pad(frames), arpeggio(frames), melody(frames), reverbSend(frames) {}

    StereoBuffer kick;
    StereoBuffer bass;
    StereoBuffer drums;
    StereoBuffer pad;
    StereoBuffer arpeggio;
    StereoBuffer melody;
    StereoBuffer reverbSend;
};

std::int64_t SixteenthFrame(int bar, int sixteenth)
{
    return Tempo::BeatFrame(bar * Tempo::beatsPerBar + sixteenth / 4.0);
}

std::int64_t BeatsToFrames(int bar, double beat, double beats)
{
    const double start = bar * Tempo::beatsPerBar + beat;
    return Tempo::BeatFrame(start + beats) - Tempo::BeatFrame(start);
}

void AddKicks(Buses& buses, int bar)
{
    for (int beat = 0; beat < Tempo::beatsPerBar; ++beat) {
        const int trackBeat = bar * Tempo::beatsPerBar + beat;
        if (Arrangement::KickOnBeat(trackBeat)) {
            Drums::Kick(buses.kick, Tempo::BeatFrame(trackBeat), Level::kick);
        }
    }
}

// Two sixteenths after each kick: the off-beat root, then a shorter repeat,
// so bass and kick take turns in the low end.
void AddBass(Buses& buses, int bar, const Arrangement::Chord& chord)
{
    for (int beat = 0; beat < Tempo::beatsPerBar; ++beat) {
        const int sixteenth = beat * 4;
        Voices::Bass(buses.bass, {SixteenthFrame(bar, sixteenth + 2), BeatsToFrames(bar, beat + 0.5, 0.2)}, chord.bassRoot, 1.0f);
        Voices::Bass(buses.bass, {SixteenthFrame(bar, sixteenth + 3), BeatsToFrames(bar, beat + 0.75, 0.15)}, chord.bassRoot, 0.7f);
    }
}

void AddHats(Buses& buses, int bar, const Arrangement::Parts& parts)
{
    for (int sixteenth = 0; sixteenth < 16; ++sixteenth) {
        const bool offBeat = sixteenth % 4 == 2;
        if (parts.openHats && offBeat) {
            Drums::Hat(buses.drums, SixteenthFrame(bar, sixteenth), Level::openHat, true, 0.15f);
        } else if (parts.sixteenths) {
            const float accent = sixteenth % 2 == 0 ? 1.0f : 0.55f;
            Drums::Hat(buses.drums, SixteenthFrame(bar, sixteenth), Level::closedHat * accent, false, -0.3f);
        } else if (parts.closedHats && offBeat) {
            Drums::Hat(buses.drums, SixteenthFrame(bar, sixteenth), Level::closedHat, false, -0.2f);
        }
    }
}

void AddClaps(Buses& buses, int bar)
{
    for (const int beat : {1, 3}) {
        const std::int64_t start = SixteenthFrame(bar, beat * 4);
        Drums::Clap(buses.drums, start, Level::clap);
        Drums::Clap(buses.reverbSend, start, Level::clap * 0.6f);
    }
}

// Eighths for half a bar, then sixteenths, growing louder into the drop.
void AddRoll(Buses& buses, int bar)
{
    for (int sixteenth = 0; sixteenth < 16; ++sixteenth) {
        if (sixteenth < 8 && sixteenth % 2 == 1) {
            continue;
        }
        const float rise = 0.35f + 0.65f * static_cast<float>(sixteenth) / 15.0f;
        Drums::Clap(buses.drums, SixteenthFrame(bar, sixteenth), Level::clap * 0.7f * rise);
        Drums::Clap(buses.reverbSend, SixteenthFrame(bar, sixteenth), Level::clap * 0.3f * rise);
    }
}

void AddPad(Buses& buses, int bar, const Arrangement::Chord& chord)
{
    // The intro's first bars swell in; the closing chord is held longer.
    const float swell = bar < 2 ? 0.55f + 0.225f * static_cast<float>(bar) : 1.0f;
    const double beats = bar == Arrangement::barCount - 1 ? 6.0 : 4.0;
    for (const int note : chord.voicing) {
        const Voices::NoteSpan span{Tempo::BarFrame(bar), BeatsToFrames(bar, 0.0, beats)};
        Voices::Pad(buses.pad, span, note, Level::pad * swell);
    }
}

// Up and down the chord over two octaves, a note every sixteenth.
void AddArpeggio(Buses& buses, int bar, const Arrangement::Chord& chord)
{
    constexpr int pattern[16] = {0, 1, 2, 3, 1, 2, 3, 4, 2, 3, 4, 5, 4, 3, 2, 1};
    for (int sixteenth = 0; sixteenth < 16; ++sixteenth) {
        const int step = pattern[sixteenth];
        const int note = chord.voicing[static_cast<std::size_t>(step % 3)] + 12 * (1 + step / 3);
        const float accent = sixteenth % 4 == 0 ? 1.0f : sixteenth % 2 == 0 ? 0.75f : 0.6f;
        const float pan = sixteenth % 2 == 0 ? -0.35f : 0.35f;
        Voices::Pluck(buses.arpeggio, SixteenthFrame(bar, sixteenth), note, Level::arpeggio * accent, pan);
    }
}

void AddMelody(Buses& buses, int bar)
{
    for (const Arrangement::MelodyNote& note : Arrangement::MelodyOfBar(bar)) {
        const Voices::NoteSpan span{Tempo::BeatFrame(bar * Tempo::beatsPerBar + note.beat), BeatsToFrames(bar, note.beat, note.beats)};
        Voices::Bell(buses.melody, span, note.note, Level::melody);
    }
}

void SequenceBar(Buses& buses, int bar)
{
    const Arrangement::Parts parts = Arrangement::PartsOfBar(bar);
    const Arrangement::Chord chord = Arrangement::ChordOfBar(bar);
    AddKicks(buses, bar);
    if (parts.bass) {
        AddBass(buses, bar, chord);
    }
    AddHats(buses, bar, parts);
    if (parts.claps) {
        AddClaps(buses, bar);
    }
    if (parts.roll) {
        AddRoll(buses, bar);
    }
    if (parts.riser) {
        Drums::Riser(buses.drums, Tempo::BarFrame(bar), Tempo::BarFrame(bar + 2) - Tempo::BarFrame(bar), Level::riser);
    }
    if (Arrangement::CrashOnBar(bar)) {
        Drums::Crash(buses.drums, Tempo::BarFrame(bar), Level::crash);
    }
    if (parts.pad) {
        AddPad(buses, bar, chord);
    }
    if (parts.arpeggio) {
        AddArpeggio(buses, bar, chord);
    }
    if (parts.melody) {
        AddMelody(buses, bar);
    }
}

StereoBuffer MixDown(Buses& buses, std::size_t frames)
{
    const std::vector<std::int64_t> kicks = Arrangement::KickFrames(static_cast<std::int64_t>(frames));
    Effects::HighPass(buses.pad, 280.0);
    Effects::HighPass(buses.arpeggio, 300.0);
    Effects::HighPass(buses.melody, 300.0);
    Effects::Duck(buses.pad, kicks, 0.6f, 0.16);
    Effects::Duck(buses.arpeggio, kicks, 0.35f, 0.12);

    buses.reverbSend.Mix(buses.pad, 0.35f);
    buses.reverbSend.Mix(buses.melody, 0.6f);
    buses.reverbSend.Mix(buses.arpeggio, 0.25f);
    StereoBuffer delaySend(frames);
    delaySend.Mix(buses.arpeggio, 0.6f);
    delaySend.Mix(buses.melody, 0.5f);

    StereoBuffer master(frames);
    master.Mix(buses.kick, 1.0f);
    master.Mix(buses.bass, Level::bass);
    master.Mix(buses.drums, 1.0f);
    master.Mix(buses.pad, 1.0f);
    master.Mix(buses.arpeggio, 1.0f);
    master.Mix(buses.melody, 1.0f);
    // Three sixteenths: the echoes land between the arpeggio's own notes.
    master.Mix(Effects::PingPongDelay(delaySend, Tempo::BeatFrame(0.75), 0.45f), 0.5f);
    master.Mix(Effects::Reverb(buses.reverbSend, 0.86f), 1.0f);
    Effects::Limit(master, 0.92f);
    return master;
}

}  // namespace

StereoBuffer SynthesiseTrack(double seconds)
{
    const auto frames = static_cast<std::size_t>(Tempo::SecondsToFrames(seconds));
    Buses buses(frames);
    for (int bar = 0; bar < Arrangement::barCount && Tempo::BarFrame(bar) < static_cast<std::int64_t>(frames); ++bar) {
        SequenceBar(buses, bar);
    }
    return MixDown(buses, frames);
}

StereoBuffer SynthesiseWholeTrack()
{
    return SynthesiseTrack(Arrangement::LengthSeconds());
}
