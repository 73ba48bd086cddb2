#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "script/EndDemo.h"
#include "script/TweakTracks.h"

namespace {

// An effect with a value of every kind, and two shader uniforms.
class Keyable : public Effekt {
public:
    using Effekt::Effekt;

    void RegisterTweaks() override
    {
        const TweakEnum& speeds = tweakBar->DefineEnum("Speed", {{10, "SLOW"}, {20, "FAST"}});
        tweakBar->AddInt32("Seed", seed, "Seed");
        tweakBar->AddFloat("Near", fogNear, "Near");
        tweakBar->AddDirection("Light pos", std::span(position).first<3>(), "Light pos");
        tweakBar->AddColor("Tint", tint, "Tint");
        tweakBar->AddEnum("Speed", speeds, speed, "Speed");
        tweakBar->AddUniform("glow", std::span(glow));
        tweakBar->AddUniform("offset", std::span(offset));
    }
    void Draw(std::uint32_t, float) override {}

    std::int32_t seed = 7;
    float fogNear = 300.0f;
    std::array<float, 4> position{0.0f, -8.0f, 32.0f, 1.0f};
    std::array<float, 4> tint{1.0f, 0.5f, 0.25f, 1.0f};
    int speed = 20;
    std::array<float, 1> glow{0.5f};
    std::array<float, 2> offset{0.25f, 0.75f};
};

class TweakTracksTest : public ::testing::Test {
protected:
    TweakTracksTest()
    {
        auto named = std::make_unique<Keyable>(0, 1000);
        keyable = named.get();
        keyable->name = "NanoBall";
        effects.Append(std::make_unique<Effekter::EndDemo>(900, 1000));
        effects.Append(std::move(named));
        auto unnamed = std::make_unique<Keyable>(0, 1000);
        other = unnamed.get();
        effects.Append(std::move(unnamed));
    }

    void Key(const char* name, int row, float value, KeyInterpolation interpolation = KeyInterpolation::Linear)
    {
        tracks.Track(name).SetKey({row, value, interpolation});
    }

    SyncTracks tracks;
    EffectList effects;
    Keyable* keyable = nullptr;
    Keyable* other = nullptr;
};

}  // namespace

TEST_F(TweakTracksTest, EveryComponentDrivesATrackNamedAfterTheEffectAndTheVariable)
{
    const TweakTracks bound(effects, tracks);
    std::vector<std::string> names;
    for (const SyncTrack* track : tracks.Driven()) {
        names.push_back(track->Name());
    }
    const std::vector<std::string> expected{
        "NanoBall:Seed", "NanoBall:Near", "NanoBall:Light pos.x", "NanoBall:Light pos.y", "NanoBall:Light pos.z",
        "NanoBall:Tint.r", "NanoBall:Tint.g", "NanoBall:Tint.b", "NanoBall:Tint.a", "NanoBall:Speed",
        // Uniforms are named alone, so every shader that names one shares its track.
        "glow", "offset.x", "offset.y",
        // An effect without a name is known by its class.
        "Keyable:Seed", "Keyable:Near", "Keyable:Light pos.x", "Keyable:Light pos.y", "Keyable:Light pos.z",
        "Keyable:Tint.r", "Keyable:Tint.g", "Keyable:Tint.b", "Keyable:Tint.a", "Keyable:Speed"};
    EXPECT_EQ(names, expected);

    const TweakVariable* glow = keyable->tweakBar->Find("glow");
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(bound.TracksOf(*glow).size(), 1u);
    EXPECT_EQ(bound.TracksOf(*glow)[0], bound.TracksOf(*other->tweakBar->Find("glow"))[0]);
    EXPECT_EQ(bound.TracksOf(*keyable->tweakBar->Find("Tint")).size(), 4u);
}

TEST_F(TweakTracksTest, WithoutKeysEveryValueStaysAsTheEffectSetIt)
{
    tracks.Track("NanoBall:Near");  // a track, but no keys
    const TweakTracks bound(effects, tracks);
    bound.Apply(12.5);
    EXPECT_EQ(keyable->seed, 7);
    EXPECT_EQ(keyable->fogNear, 300.0f);
    EXPECT_EQ(keyable->position, (std::array<float, 4>{0.0f, -8.0f, 32.0f, 1.0f}));
    EXPECT_EQ(keyable->tint, (std::array<float, 4>{1.0f, 0.5f, 0.25f, 1.0f}));
    EXPECT_EQ(keyable->speed, 20);
    EXPECT_EQ(keyable->glow[0], 0.5f);
    EXPECT_EQ(keyable->offset, (std::array<float, 2>{0.25f, 0.75f}));
}

TEST_F(TweakTracksTest, KeyedComponentsTakeTheirTracksValueAtTheRow)
{
    Key("NanoBall:Near", 0, 100.0f);
    Key("NanoBall:Near", 10, 200.0f);
    Key("NanoBall:Light pos.y", 0, 4.0f);
    Key("NanoBall:Tint.a", 0, 0.0f, KeyInterpolation::Ramp);
    Key("NanoBall:Tint.a", 10, 1.0f);
    Key("offset.y", 3, -1.0f);
    const TweakTracks bound(effects, tracks);
    bound.Apply(5.0);
    EXPECT_FLOAT_EQ(keyable->fogNear, 150.0f);
    EXPECT_EQ(keyable->position, (std::array<float, 4>{0.0f, 4.0f, 32.0f, 1.0f})) << "only the keyed component moves";
    EXPECT_FLOAT_EQ(keyable->tint[3], 0.25f);
    EXPECT_EQ(keyable->offset, (std::array<float, 2>{0.25f, -1.0f}));
    EXPECT_EQ(other->offset, (std::array<float, 2>{0.25f, -1.0f})) << "the shaders share the uniform's track";
    EXPECT_EQ(other->fogNear, 300.0f);
}

TEST_F(TweakTracksTest, WholeNumbersAreRoundedAndChoicesHeldAndKeptToTheirItems)
{
    Key("NanoBall:Seed", 0, 2.0f);
    Key("NanoBall:Seed", 10, 3.0f);
    Key("Keyable:Seed", 0, 1e12f);
    Key("NanoBall:Speed", 0, 9.6f);   // rounds to 10, SLOW
    Key("NanoBall:Speed", 10, 15.0f);  // no item
    Key("NanoBall:Speed", 20, 20.0f);
    const TweakTracks bound(effects, tracks);

    bound.Apply(4.0);
    EXPECT_EQ(keyable->seed, 2) << "2.4 rounds down";
    EXPECT_EQ(keyable->speed, 10) << "a choice holds its key's value, rounded, between keys";
    bound.Apply(5.0);
    EXPECT_EQ(keyable->seed, 3) << "2.5 rounds up";
    bound.Apply(12.0);
    EXPECT_EQ(keyable->speed, 10) << "a value the choice does not list leaves it as it was";
    bound.Apply(25.0);
    EXPECT_EQ(keyable->speed, 20);
    EXPECT_EQ(other->seed, INT_MAX);
}

TEST_F(TweakTracksTest, TheEffectsLoseTheirSectionsWithTheBindings)
{
    {
        const TweakTracks bound(effects, tracks);
        ASSERT_NE(keyable->tweakBar, nullptr);
        EXPECT_EQ(keyable->tweakBar->Title(), "Keyable NanoBall");
    }
    EXPECT_EQ(keyable->tweakBar, nullptr);
    EXPECT_EQ(effects[0].tweakBar, nullptr);
}

TEST(TrackSuffixesTest, OnePerComponent)
{
    std::array<float, 4> values{};
    std::int32_t whole = 0;
    const auto joined = [](std::span<const char* const> suffixes) {
        std::string text;
        for (const char* suffix : suffixes) {
            text += std::string("|") + suffix;
        }
        return text;
    };
    EXPECT_EQ(joined(TrackSuffixes(TweakInt32{&whole})), "|");
    EXPECT_EQ(joined(TrackSuffixes(TweakDirection{values.data()})), "|.x|.y|.z");
    EXPECT_EQ(joined(TrackSuffixes(TweakColor{values.data()})), "|.r|.g|.b|.a");
    EXPECT_EQ(joined(TrackSuffixes(TweakVector{values.data(), 1})), "|");
    EXPECT_EQ(joined(TrackSuffixes(TweakVector{values.data(), 3})), "|.x|.y|.z");
    EXPECT_EQ(joined(TrackSuffixes(TweakVector{values.data(), 4})), "|.x|.y|.z|.w");
}
