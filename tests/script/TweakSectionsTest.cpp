#include <gtest/gtest.h>

#include <array>

#include "core/DemoMessage.h"
#include "script/EndDemo.h"
#include "script/TweakSections.h"

namespace {

// An effect with one variable of every kind, registered in a fixed order.
class Tunable : public Effekt {
public:
    using Effekt::Effekt;

    void RegisterTweaks() override
    {
        ++registrations;
        const TweakEnum& speeds = tweakBar->DefineEnum("Speed", {{10, "SLOW"}, {20, "FAST"}, {10, "AGAIN"}});
        tweakBar->AddInt32("Seed", seed, "Seed label");
        tweakBar->AddFloat("Near", fogNear, " Near label");
        tweakBar->AddDirection("Position", std::span(position).first<3>(), "Position label");
        tweakBar->AddColor("Tint", tint, "Tint label");
        tweakBar->AddEnum("Speed", speeds, speed, "Speed label");
    }
    void Draw(std::uint32_t, float) override {}

    int registrations = 0;
    std::int32_t seed = 7;
    float fogNear = 300.0f;
    std::array<float, 4> position{0.0f, -8.0f, 32.0f, 1.0f};
    std::array<float, 4> tint{10.0f, 10.0f, 10.0f, 1.0f};
    int speed = 20;
};

class Failing : public Effekt {
public:
    using Effekt::Effekt;
    void RegisterTweaks() override { throw DemoMessage("no room"); }
    void Draw(std::uint32_t, float) override {}
};

class TweakSectionsTest : public ::testing::Test {
protected:
    TweakSectionsTest()
    {
        auto owned = std::make_unique<Tunable>(0, 1000);
        tunable = owned.get();
        tunable->name = "tuned";
        effects.Append(std::make_unique<Effekter::EndDemo>(900, 1000));
        effects.Append(std::move(owned));
    }

    EffectList effects;
    Tunable* tunable = nullptr;
};

}  // namespace

TEST_F(TweakSectionsTest, EveryEffectGetsItsOwnSectionAndRegistersOnce)
{
    TweakSections sections(effects);
    EXPECT_EQ(sections.Size(), 2u);
    ASSERT_NE(effects[0].tweakBar, nullptr);
    ASSERT_NE(tunable->tweakBar, nullptr);
    EXPECT_NE(effects[0].tweakBar, tunable->tweakBar);
    EXPECT_EQ(tunable->registrations, 1);
    EXPECT_TRUE(effects[0].tweakBar->Variables().empty()) << "the base RegisterTweaks binds nothing";
}

TEST_F(TweakSectionsTest, SectionsAreTitledByClassAndName)
{
    TweakSections sections(effects);
    EXPECT_EQ(effects[0].tweakBar->Title(), "EndDemo");
    EXPECT_EQ(tunable->tweakBar->Title(), "Tunable tuned");
}

TEST_F(TweakSectionsTest, VariablesKeepTheirOrderLabelsAndAddresses)
{
    TweakSections sections(effects);
    const std::vector<TweakVariable>& variables = tunable->tweakBar->Variables();
    ASSERT_EQ(variables.size(), 5u);
    EXPECT_EQ(variables[0].name, "Seed");
    EXPECT_EQ(variables[0].label, "Seed label");
    EXPECT_EQ(std::get<TweakInt32>(variables[0].binding).value, &tunable->seed);
    EXPECT_EQ(variables[1].label, " Near label");
    EXPECT_EQ(std::get<TweakFloat>(variables[1].binding).value, &tunable->fogNear);
    EXPECT_EQ(std::get<TweakDirection>(variables[2].binding).xyz, tunable->position.data());
    EXPECT_EQ(std::get<TweakColor>(variables[3].binding).rgba, tunable->tint.data());
    EXPECT_EQ(std::get<TweakChoice>(variables[4].binding).value, &tunable->speed);
    EXPECT_EQ(std::get<TweakChoice>(variables[4].binding).type->Name(), "Speed");
    EXPECT_EQ(tunable->tweakBar->Find("Tint"), &variables[3]);
    EXPECT_EQ(tunable->tweakBar->Find("Colour"), nullptr);
}

TEST_F(TweakSectionsTest, AChoiceShowsAndStoresEnumerationValues)
{
    TweakSections sections(effects);
    const auto& choice = std::get<TweakChoice>(tunable->tweakBar->Find("Speed")->binding);
    EXPECT_EQ(choice.Chosen(), 1u);
    choice.Choose(0);
    EXPECT_EQ(tunable->speed, 10);
    EXPECT_EQ(choice.Chosen(), 0u) << "a value listed twice shows as its first item";
    choice.Choose(2);
    EXPECT_EQ(tunable->speed, 10);
    tunable->speed = 15;
    EXPECT_EQ(choice.Chosen(), std::nullopt);
}

TEST_F(TweakSectionsTest, DetachingTakesTheSectionsBackOnce)
{
    TweakSections sections(effects);
    sections.Detach();
    EXPECT_EQ(sections.Size(), 0u);
    EXPECT_EQ(effects[0].tweakBar, nullptr);
    EXPECT_EQ(tunable->tweakBar, nullptr);
    sections.Detach();
    EXPECT_EQ(tunable->registrations, 1);
}

TEST_F(TweakSectionsTest, DestroyingTheSectionsDetachesThem)
{
    {
        const TweakSections sections(effects);
    }
    EXPECT_EQ(tunable->tweakBar, nullptr);
}

TEST_F(TweakSectionsTest, AFailingRegistrationLeavesNoEffectWithASection)
{
    effects.Append(std::make_unique<Failing>(0, 10));
    EXPECT_THROW(TweakSections{effects}, DemoMessage);
    for (const auto& effect : effects) {
        EXPECT_EQ(effect->tweakBar, nullptr);
    }
}
