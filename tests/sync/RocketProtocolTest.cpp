#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "sync/RocketProtocol.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

DecodedCommand Decode(const Bytes& bytes)
{
    return DecodeEditorCommand(bytes);
}

TEST(RocketProtocolTest, TheGreetingsAreRocketsOwnWithoutTerminators)
{
    EXPECT_EQ(rocketDemoGreeting, std::string_view("hello, synctracker!"));
    EXPECT_EQ(rocketDemoGreeting.size(), 19u);
    EXPECT_EQ(rocketEditorGreeting, std::string_view("hello, demo!"));
    EXPECT_EQ(rocketEditorGreeting.size(), 12u);
}

TEST(RocketProtocolTest, GetTrackIsCodeTwoABigEndianLengthAndTheNamesBytes)
{
    Bytes bytes;
    AppendGetTrack(bytes, "fade");
    EXPECT_EQ(bytes, (Bytes{2, 0, 0, 0, 4, 'f', 'a', 'd', 'e'}));

    // The length counts bytes, not characters, and needs more than one byte.
    bytes.clear();
    const std::string longName = std::string(0x12c, 'x') + "\xc3\xa9";  // 300 x and an é
    AppendGetTrack(bytes, longName);
    ASSERT_EQ(bytes.size(), 5u + 302u);
    EXPECT_EQ((Bytes(bytes.begin(), bytes.begin() + 5)), (Bytes{2, 0, 0, 0x01, 0x2e}));
    EXPECT_EQ(std::string(bytes.begin() + 5, bytes.end()), longName);
}

TEST(RocketProtocolTest, SetRowIsCodeThreeAndABigEndianRow)
{
    Bytes bytes;
    AppendSetRow(bytes, 0x01020304u);
    AppendSetRow(bytes, 0);
    AppendSetRow(bytes, 0x7fffffffu);
    EXPECT_EQ(bytes, (Bytes{3, 1, 2, 3, 4, 3, 0, 0, 0, 0, 3, 0x7f, 0xff, 0xff, 0xff}));
}

TEST(RocketProtocolTest, MessagesAreAppendedAfterWhatWaits)
{
    Bytes bytes{9, 9};
    AppendSetRow(bytes, 1);
    AppendGetTrack(bytes, "a");
    EXPECT_EQ(bytes, (Bytes{9, 9, 3, 0, 0, 0, 1, 2, 0, 0, 0, 1, 'a'}));
}

TEST(RocketProtocolTest, SetKeyCarriesTrackRowFloatBitsAndInterpolation)
{
    // 0.1f is 0x3dcccccd, -2.5f is 0xc0200000.
    ASSERT_EQ(std::bit_cast<std::uint32_t>(0.1f), 0x3dcccccdu);
    const DecodedCommand tenth = Decode({0, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x10, 0x20, 0x3d, 0xcc, 0xcc, 0xcd, 2});
    ASSERT_EQ(tenth.status, DecodeStatus::Complete);
    EXPECT_EQ(tenth.size, 14u);
    EXPECT_EQ(tenth.command.kind, EditorCommandKind::SetKey);
    EXPECT_EQ(tenth.command.track, 0x01020304u);
    EXPECT_EQ(tenth.command.row, 0x1020u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(tenth.command.value), 0x3dcccccdu);
    EXPECT_EQ(tenth.command.interpolation, 2);

    const DecodedCommand negative = Decode({0, 0, 0, 0, 0, 0, 0, 0, 7, 0xc0, 0x20, 0x00, 0x00, 3});
    ASSERT_EQ(negative.status, DecodeStatus::Complete);
    EXPECT_EQ(negative.command.value, -2.5f);
    EXPECT_EQ(negative.command.row, 7u);
    EXPECT_EQ(negative.command.interpolation, 3);

    // The interpolation is passed on as sent, for the reader to judge.
    const DecodedCommand odd = Decode({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0xff});
    ASSERT_EQ(odd.status, DecodeStatus::Complete);
    EXPECT_EQ(odd.command.interpolation, 0xff);
    EXPECT_TRUE(std::signbit(odd.command.value));  // -0, its sign kept
}

TEST(RocketProtocolTest, TheOtherEditorCommandsDecodeWithTheirSizes)
{
    const DecodedCommand deleted = Decode({1, 0, 0, 0, 5, 0xff, 0xff, 0xff, 0xff});
    ASSERT_EQ(deleted.status, DecodeStatus::Complete);
    EXPECT_EQ(deleted.size, 9u);
    EXPECT_EQ(deleted.command.kind, EditorCommandKind::DeleteKey);
    EXPECT_EQ(deleted.command.track, 5u);
    EXPECT_EQ(deleted.command.row, 0xffffffffu);

    const DecodedCommand row = Decode({3, 0x80, 0, 0, 1});
    ASSERT_EQ(row.status, DecodeStatus::Complete);
    EXPECT_EQ(row.size, 5u);
    EXPECT_EQ(row.command.kind, EditorCommandKind::SetRow);
    EXPECT_EQ(row.command.row, 0x80000001u);

    for (const auto& [flag, pauses] : {std::pair<std::uint8_t, bool>{0, false}, {1, true}, {0x80, true}}) {
        const DecodedCommand pause = Decode({4, flag});
        ASSERT_EQ(pause.status, DecodeStatus::Complete);
        EXPECT_EQ(pause.size, 2u);
        EXPECT_EQ(pause.command.kind, EditorCommandKind::Pause);
        EXPECT_EQ(pause.command.pause, pauses) << int{flag};
    }

    const DecodedCommand save = Decode({5});
    ASSERT_EQ(save.status, DecodeStatus::Complete);
    EXPECT_EQ(save.size, 1u);
    EXPECT_EQ(save.command.kind, EditorCommandKind::SaveTracks);
}

TEST(RocketProtocolTest, OnlyTheFirstCommandIsDecodedAndItsSizeLeadsToTheNext)
{
    const Bytes bytes{4, 1, 3, 0, 0, 0, 9, 5};
    const DecodedCommand first = Decode(bytes);
    ASSERT_EQ(first.status, DecodeStatus::Complete);
    EXPECT_EQ(first.command.kind, EditorCommandKind::Pause);
    const DecodedCommand second = DecodeEditorCommand(std::span(bytes).subspan(first.size));
    ASSERT_EQ(second.status, DecodeStatus::Complete);
    EXPECT_EQ(second.command.kind, EditorCommandKind::SetRow);
    EXPECT_EQ(second.command.row, 9u);
    const DecodedCommand third = DecodeEditorCommand(std::span(bytes).subspan(first.size + second.size));
    EXPECT_EQ(third.command.kind, EditorCommandKind::SaveTracks);
    EXPECT_EQ(third.size, 1u);
}

TEST(RocketProtocolTest, ACommandCutShortIsIncompleteAtEveryLength)
{
    const std::vector<Bytes> commands{
        {0, 0, 0, 0, 1, 0, 0, 0, 2, 0x3f, 0x80, 0, 0, 1},
        {1, 0, 0, 0, 1, 0, 0, 0, 2},
        {3, 0, 0, 0, 2},
        {4, 1},
    };
    for (const Bytes& command : commands) {
        for (std::size_t length = 0; length < command.size(); ++length) {
            const DecodedCommand cut = DecodeEditorCommand(std::span(command).first(length));
            EXPECT_EQ(cut.status, DecodeStatus::Incomplete)
                << "command " << int{command[0]} << ", " << length << " bytes";
        }
        EXPECT_EQ(Decode(command).status, DecodeStatus::Complete);
    }
}

TEST(RocketProtocolTest, CommandsAnEditorDoesNotSendAreUnknown)
{
    // GET_TRACK goes only from a demo to an editor; 6 and up name nothing.
    for (const std::uint8_t code : {2, 6, 7, 0x7f, 0xff}) {
        EXPECT_EQ(Decode({code}).status, DecodeStatus::Unknown) << int{code};
        EXPECT_EQ(Decode({code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).status, DecodeStatus::Unknown) << int{code};
    }
}

}  // namespace
