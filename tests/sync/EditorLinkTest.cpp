#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "support/TemporaryFolder.h"
#include "sync/EditorLink.h"
#include "sync/SyncTracks.h"
#include "sync/TestEditor.h"

namespace {

using namespace std::chrono_literals;
using Clock = EditorLink::Clock;

std::uint32_t Bits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

// Copies the debug output to a file, for the test to read its lines back.
class DebugCopy {
public:
    DebugCopy() : file(std::fopen((folder.Path() / "debug.txt").c_str(), "w")) { SetDebugLogFile(file); }
    ~DebugCopy()
    {
        SetDebugLogFile(nullptr);
        std::fclose(file);
    }
    DebugCopy(const DebugCopy&) = delete;
    DebugCopy& operator=(const DebugCopy&) = delete;

    // Every line so far, without its line break; a last line without one
    // ends in "(unfinished)".
    std::vector<std::string> Lines() const
    {
        const std::string text = ReadBytes(folder.Path() / "debug.txt");
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        if (start < text.size()) {
            lines.push_back(text.substr(start) + "(unfinished)");
        }
        return lines;
    }

private:
    TemporaryFolder folder;
    std::FILE* file;
};

// The show's link and an editor in the same thread, polled and served in
// turn as the show's frame loop and the editor's event loop would. The
// link's clock is a fake one the test moves; only socket delivery takes
// real time.
class EditorLinkTest : public ::testing::Test {
protected:
    // Until the condition holds (true) or a few seconds pass (false).
    bool Exchange(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        for (;;) {
            PollOnce();
            if (condition()) {
                return true;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
    }

    // For a while, to see what does not happen.
    void ExchangeFor(std::chrono::milliseconds duration)
    {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            PollOnce();
            std::this_thread::sleep_for(1ms);
        }
    }

    void PollOnce()
    {
        lastPoll = link.Poll(now);
        if (lastPoll.row) {
            requests.row = lastPoll.row;
        }
        if (lastPoll.pause) {
            requests.pause = lastPoll.pause;
        }
        requests.save = requests.save || lastPoll.save;
        editor.Serve();
    }

    bool ConnectAndAskForAll()
    {
        return Exchange([this] { return link.Connected() && editor.AskedTracks().size() == tracks.Driven().size(); });
    }

    std::string Where() const { return "127.0.0.1:" + std::to_string(editor.Port()); }

    DebugCopy debug;
    SyncTracks tracks;
    TestEditor editor;
    EditorLink link{EditorAddress{"127.0.0.1", editor.Port()}, tracks};
    Clock::time_point now = Clock::time_point{} + 1h;
    EditorRequests lastPoll;
    EditorRequests requests;  // of every poll, the later ones winning
};

TEST(EditorAddressTest, PortAloneOrHostAndPort)
{
    const auto portOnly = ParseEditorAddress("1338");
    ASSERT_TRUE(portOnly);
    EXPECT_EQ(portOnly->host, "localhost");
    EXPECT_EQ(portOnly->port, 1338);

    const auto named = ParseEditorAddress("studio:1338");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->host, "studio");
    EXPECT_EQ(named->port, 1338);

    const auto numeric = ParseEditorAddress("127.0.0.1:4000");
    ASSERT_TRUE(numeric);
    EXPECT_EQ(numeric->host, "127.0.0.1");
    EXPECT_EQ(numeric->port, 4000);

    const auto ipv6 = ParseEditorAddress("[::1]:1338");
    ASSERT_TRUE(ipv6);
    EXPECT_EQ(ipv6->host, "::1");
    EXPECT_EQ(ipv6->port, 1338);

    EXPECT_EQ(ParseEditorAddress("1")->port, 1);
    EXPECT_EQ(ParseEditorAddress("65535")->port, 65535);
}

TEST(EditorAddressTest, MalformedAddressesGiveNone)
{
    for (const char* text : {"", "0", "65536", "4294968634", "99999999999999999999", "studio:", ":1338", "studio:0",
                             "studio:70000", "studio:13a8", "13 38", " 1338", "1338 ", "+1338", "-1", "0x53a",
                             "stu dio:1338", "[]:1338", "studio"}) {
        EXPECT_FALSE(ParseEditorAddress(text)) << '"' << text << '"';
    }
}

TEST(EditorAddressTest, AHostThatCannotBeFoundIsAnErrorAtOnce)
{
    SyncTracks tracks;
    try {
        EditorLink link(EditorAddress{"no-such-host.invalid", 1338}, tracks);
        FAIL() << "no error";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text().rfind("Unable to find the Rocket editor's host no-such-host.invalid: ", 0), 0u)
            << message.Text();
    }
}

TEST_F(EditorLinkTest, TheGreetingsGoBothWaysExactlyAndTheEditorsMayComeInPieces)
{
    editor.answer.clear();
    ASSERT_TRUE(Exchange([this] { return editor.Greeting().size() == 19; }));
    EXPECT_EQ(editor.Greeting(), "hello, synctracker!");

    editor.SendBytes("hello, ");
    ExchangeFor(30ms);
    EXPECT_FALSE(link.Connected());
    editor.SendBytes("demo");
    ExchangeFor(30ms);
    EXPECT_FALSE(link.Connected());
    editor.SendBytes("!");
    ASSERT_TRUE(Exchange([this] { return link.Connected(); }));

    // Nothing followed the greeting: no terminator, no command.
    ExchangeFor(30ms);
    EXPECT_FALSE(editor.UnexpectedCommand());
    EXPECT_TRUE(editor.HasDemo());
    EXPECT_EQ(debug.Lines(), std::vector<std::string>{"Connected to the Rocket editor at " + Where()});
}

TEST_F(EditorLinkTest, AWrongGreetingFailsOnceAndIsTriedAgainASecondLater)
{
    editor.answer = "hello, dmeo!";
    ASSERT_TRUE(Exchange([this] { return editor.Connections() == 1 && !editor.HasDemo(); }));
    EXPECT_FALSE(link.Connected());

    now += 999ms;
    ExchangeFor(50ms);
    EXPECT_EQ(editor.Connections(), 1);
    now += 1ms;
    ASSERT_TRUE(Exchange([this] { return editor.Connections() == 2 && !editor.HasDemo(); }));
    EXPECT_FALSE(link.Connected());

    editor.answer = "hello, demo!";
    now += 1s;
    ASSERT_TRUE(Exchange([this] { return link.Connected(); }));
    EXPECT_EQ(editor.Connections(), 3);
    EXPECT_EQ(debug.Lines(), (std::vector<std::string>{
                                 "No Rocket editor at " + Where() +
                                     " (something else answered the greeting); trying again every second",
                                 "Connected to the Rocket editor at " + Where(),
                             }));
}

TEST_F(EditorLinkTest, AnEditorThatNeverGreetsIsLeftAfterFiveSeconds)
{
    editor.answer.clear();
    ASSERT_TRUE(Exchange([this] { return editor.Greeting().size() == 19; }));
    now += 4999ms;
    ExchangeFor(30ms);
    EXPECT_TRUE(editor.HasDemo());
    EXPECT_TRUE(debug.Lines().empty());

    now += 1ms;
    ASSERT_TRUE(Exchange([this] { return !editor.HasDemo(); }));
    EXPECT_EQ(debug.Lines(), std::vector<std::string>{"No Rocket editor at " + Where() +
                                                      " (no greeting came back); trying again every second"});
    editor.answer = "hello, demo!";
    now += 1s;
    ASSERT_TRUE(Exchange([this] { return link.Connected(); }));
    EXPECT_EQ(editor.Connections(), 2);
}

TEST_F(EditorLinkTest, TheDrivenTracksAreAskedForInOrderAndLaterOnesAtTheNextPoll)
{
    tracks.Drive("camera:x");
    tracks.Drive("fade");
    tracks.Track("undriven");
    tracks.Drive("camera:y");
    ASSERT_TRUE(ConnectAndAskForAll());
    EXPECT_EQ(editor.AskedTracks(), (std::vector<std::string>{"camera:x", "fade", "camera:y"}));

    SyncTrack& late = tracks.Drive("late");
    ASSERT_TRUE(Exchange([this] { return editor.AskedTracks().size() == 4; }));
    EXPECT_EQ(editor.AskedTracks().back(), "late");

    // Its index is its place in the order asked.
    editor.SendKey("late", {12, Bits(3.0f), 1});
    ASSERT_TRUE(Exchange([&late] { return late.HasKeys(); }));
    EXPECT_EQ(late.Keys(), (std::vector<TrackKey>{{12, 3.0f, KeyInterpolation::Linear}}));
    EXPECT_FALSE(tracks.Find("camera:y")->HasKeys());
    EXPECT_FALSE(editor.UnexpectedCommand());
}

TEST_F(EditorLinkTest, TracksTheEditorsRefuseAreNotAskedForAndKeepTheirKeys)
{
    SyncTrack& unnamed = tracks.Drive("");
    unnamed.SetKey({1, 1.0f, KeyInterpolation::Step});
    SyncTrack& zeroByte = tracks.Drive(std::string_view("a\0b", 3));
    zeroByte.SetKey({2, 2.0f, KeyInterpolation::Step});
    SyncTrack& named = tracks.Drive("named");
    editor.HoldKey("named", {4, Bits(4.0f), 0});

    ASSERT_TRUE(Exchange([&] { return link.Connected() && named.HasKeys(); }));
    EXPECT_EQ(editor.AskedTracks(), std::vector<std::string>{"named"});
    EXPECT_EQ(named.Keys(), (std::vector<TrackKey>{{4, 4.0f, KeyInterpolation::Step}}));
    EXPECT_EQ(unnamed.Keys(), (std::vector<TrackKey>{{1, 1.0f, KeyInterpolation::Step}}));
    EXPECT_EQ(zeroByte.Keys(), (std::vector<TrackKey>{{2, 2.0f, KeyInterpolation::Step}}));
    ExchangeFor(30ms);
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(editor.Connections(), 1);
    EXPECT_EQ(debug.Lines().size(), 3u);
}

TEST_F(EditorLinkTest, OnConnectingTheDrivenTracksTakeTheEditorsKeysExactly)
{
    SyncTrack& fade = tracks.Drive("fade");
    fade.SetKey({0, 1.0f, KeyInterpolation::Linear});
    fade.SetKey({8, 9.0f, KeyInterpolation::Linear});
    SyncTrack& spin = tracks.Drive("spin");
    spin.SetKey({3, 7.0f, KeyInterpolation::Step});
    SyncTrack& still = tracks.Track("still");
    still.SetKey({1, 2.0f, KeyInterpolation::Ramp});

    editor.HoldKey("fade", {8, 0x3dcccccdu, 2});           // 0.1f, smooth
    editor.HoldKey("fade", {16, 0xc0200000u, 3});          // -2.5f, ramp
    editor.HoldKey("fade", {INT_MAX, 0x80000000u, 0});     // -0.0f, step, the last row there is
    ASSERT_TRUE(Exchange([&] { return editor.AskedTracks().size() == 2 && fade.Keys().size() == 3; }));

    const std::vector<TrackKey>& keys = fade.Keys();
    EXPECT_EQ(keys[0].row, 8);
    EXPECT_EQ(Bits(keys[0].value), 0x3dcccccdu);
    EXPECT_EQ(keys[0].interpolation, KeyInterpolation::Smooth);
    EXPECT_EQ(keys[1].row, 16);
    EXPECT_EQ(Bits(keys[1].value), 0xc0200000u);
    EXPECT_EQ(keys[1].interpolation, KeyInterpolation::Ramp);
    EXPECT_EQ(keys[2].row, INT_MAX);
    EXPECT_EQ(Bits(keys[2].value), 0x80000000u);
    EXPECT_EQ(keys[2].interpolation, KeyInterpolation::Step);
    // Driven without keys in the editor: none; not driven: untouched.
    EXPECT_FALSE(spin.HasKeys());
    EXPECT_EQ(still.Keys(), (std::vector<TrackKey>{{1, 2.0f, KeyInterpolation::Ramp}}));

    // A key set again on its row replaces the one there.
    editor.SendKey("fade", {8, Bits(5.0f), 1});
    ASSERT_TRUE(Exchange([&fade] { return fade.KeyAt(8)->value == 5.0f; }));
    EXPECT_EQ(fade.KeyAt(8)->interpolation, KeyInterpolation::Linear);
    EXPECT_EQ(fade.Keys().size(), 3u);
}

TEST_F(EditorLinkTest, TheEditorDeletesKeysAndDeletingNoKeyChangesNothing)
{
    SyncTrack& fade = tracks.Drive("fade");
    editor.HoldKey("fade", {8, Bits(1.0f), 1});
    editor.HoldKey("fade", {16, Bits(2.0f), 1});
    ASSERT_TRUE(Exchange([&fade] { return fade.Keys().size() == 2; }));

    editor.SendDeleteKey("fade", 8);
    ASSERT_TRUE(Exchange([&fade] { return fade.KeyAt(8) == nullptr; }));
    EXPECT_EQ(fade.Keys(), (std::vector<TrackKey>{{16, 2.0f, KeyInterpolation::Linear}}));

    editor.SendDeleteKey("fade", 9);
    editor.SendRow(3);
    ASSERT_TRUE(Exchange([this] { return requests.row == 3; }));
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(fade.Keys(), (std::vector<TrackKey>{{16, 2.0f, KeyInterpolation::Linear}}));
    EXPECT_EQ(debug.Lines().size(), 1u);
}

TEST_F(EditorLinkTest, RowPauseAndSaveRequestsGiveTheLastOfEachPoll)
{
    ASSERT_TRUE(Exchange([this] { return link.Connected(); }));
    EXPECT_FALSE(requests.row || requests.pause || requests.save);

    editor.SendBytes(TestEditor::SetRowBytes(4) + TestEditor::SetRowBytes(9) + TestEditor::PauseBytes(1) +
                     TestEditor::PauseBytes(0) + TestEditor::SaveBytes());
    ASSERT_TRUE(Exchange([this] { return lastPoll.save; }));
    EXPECT_EQ(lastPoll.row, 9);
    EXPECT_EQ(lastPoll.pause, false);

    PollOnce();
    EXPECT_FALSE(lastPoll.row || lastPoll.pause || lastPoll.save);

    // Any flag but zero pauses; a pause alone asks for nothing else.
    editor.SendPause(2);
    ASSERT_TRUE(Exchange([this] { return lastPoll.pause.has_value(); }));
    EXPECT_EQ(lastPoll.pause, true);
    EXPECT_FALSE(lastPoll.row || lastPoll.save);
}

TEST_F(EditorLinkTest, CommandsRightAfterTheGreetingAreTaken)
{
    // As the RocketEditor greets: answer, PAUSE 1 and SET_ROW at once.
    SyncTrack& fade = tracks.Drive("fade");
    editor.answer = "hello, demo!" + TestEditor::PauseBytes(1) + TestEditor::SetRowBytes(32);
    editor.HoldKey("fade", {2, Bits(0.5f), 0});
    ASSERT_TRUE(Exchange([&] { return requests.row.has_value() && fade.HasKeys(); }));
    EXPECT_EQ(requests.row, 32);
    EXPECT_EQ(requests.pause, true);
    EXPECT_TRUE(link.Connected());
}

TEST_F(EditorLinkTest, ACommandCutAcrossReadsWaitsForItsLastByte)
{
    SyncTrack& fade = tracks.Drive("fade");
    ASSERT_TRUE(ConnectAndAskForAll());
    const std::string bytes = TestEditor::SetKeyBytes(0, {6, Bits(-1.0f), 3}) + TestEditor::SetRowBytes(77);
    for (std::size_t index = 0; index + 1 < bytes.size(); ++index) {
        editor.SendBytes(bytes.substr(index, 1));
        if (index == 13) {
            ASSERT_TRUE(Exchange([&fade] { return fade.HasKeys(); }));
        } else {
            ExchangeFor(3ms);
        }
        EXPECT_EQ(fade.HasKeys(), index >= 13) << index;
        EXPECT_FALSE(requests.row) << index;
    }
    editor.SendBytes(bytes.substr(bytes.size() - 1));
    ASSERT_TRUE(Exchange([this] { return requests.row.has_value(); }));
    EXPECT_EQ(requests.row, 77);
    EXPECT_EQ(fade.Keys(), (std::vector<TrackKey>{{6, -1.0f, KeyInterpolation::Ramp}}));
    EXPECT_TRUE(link.Connected());
}

TEST_F(EditorLinkTest, TheRowIsToldOnlyWhenTheEditorDoesNotKnowIt)
{
    link.TellRow(3);  // not connected: nobody to tell
    ASSERT_TRUE(Exchange([this] { return link.Connected(); }));
    link.TellRow(5);
    link.TellRow(5);
    link.TellRow(6);
    ASSERT_TRUE(Exchange([this] { return editor.ToldRows().size() >= 2; }));

    // The editor's own row is not echoed back to it.
    editor.SendRow(9);
    ASSERT_TRUE(Exchange([this] { return requests.row == 9; }));
    link.TellRow(9);
    link.TellRow(10);
    link.TellRow(-4);  // before the show starts: its first row
    link.TellRow(0);
    ASSERT_TRUE(Exchange([this] { return editor.ToldRows().size() >= 4; }));
    ExchangeFor(30ms);
    EXPECT_EQ(editor.ToldRows(), (std::vector<std::uint32_t>{5, 6, 10, 0}));
    EXPECT_FALSE(editor.UnexpectedCommand());
}

TEST_F(EditorLinkTest, AnEditorGoneMidMessageLeavesTheKeysAndIsTriedAgainAfterASecond)
{
    SyncTrack& fade = tracks.Drive("fade");
    editor.HoldKey("fade", {8, Bits(1.5f), 1});
    ASSERT_TRUE(Exchange([&fade] { return fade.HasKeys(); }));
    link.TellRow(40);
    ASSERT_TRUE(Exchange([this] { return !editor.ToldRows().empty(); }));

    editor.SendBytes(TestEditor::SetKeyBytes(0, {16, Bits(2.5f), 1}).substr(0, 6));
    editor.DropDemo();
    ASSERT_TRUE(Exchange([this] { return !link.Connected(); }));
    EXPECT_EQ(fade.Keys(), (std::vector<TrackKey>{{8, 1.5f, KeyInterpolation::Linear}}));
    EXPECT_EQ(debug.Lines(), (std::vector<std::string>{
                                 "Connected to the Rocket editor at " + Where(),
                                 "The Rocket editor at " + Where() +
                                     " went away (closed mid-message); the show keeps its keys and tries again "
                                     "every second",
                             }));
    link.TellRow(41);  // not connected: dropped, not kept for later

    // The show edits on meanwhile; the editor's keys win again on return.
    fade.SetKey({30, 3.0f, KeyInterpolation::Step});
    editor.HoldKey("fade", {20, Bits(2.0f), 0});
    now += 999ms;
    ExchangeFor(50ms);
    EXPECT_EQ(editor.Connections(), 1);
    EXPECT_FALSE(link.Connected());

    now += 1ms;
    ASSERT_TRUE(Exchange(
        [&] { return link.Connected() && editor.AskedTracks().size() == 1 && fade.Keys().size() == 2; }));
    EXPECT_EQ(editor.Connections(), 2);
    EXPECT_EQ(fade.Keys(),
              (std::vector<TrackKey>{{8, 1.5f, KeyInterpolation::Linear}, {20, 2.0f, KeyInterpolation::Step}}));
    // The new editor knows no row yet.
    link.TellRow(40);
    ASSERT_TRUE(Exchange([this] { return !editor.ToldRows().empty(); }));
    EXPECT_EQ(editor.ToldRows(), std::vector<std::uint32_t>{40});
}

TEST_F(EditorLinkTest, AnUnknownCommandClosesTheConnectionUntilASecondLater)
{
    SyncTrack& fade = tracks.Drive("fade");
    editor.HoldKey("fade", {0, Bits(1.0f), 1});
    ASSERT_TRUE(Exchange([&fade] { return fade.HasKeys(); }));

    editor.SendBytes("\x07");
    ASSERT_TRUE(Exchange([this] { return !link.Connected() && !editor.HasDemo(); }));
    EXPECT_EQ(debug.Lines().back(),
              "The Rocket editor at " + Where() + " sent an unknown command 7; closing the connection");
    EXPECT_EQ(fade.Keys(), (std::vector<TrackKey>{{0, 1.0f, KeyInterpolation::Linear}}));

    now += 999ms;
    ExchangeFor(50ms);
    EXPECT_EQ(editor.Connections(), 1);
    now += 1ms;
    ASSERT_TRUE(Exchange([this] { return link.Connected(); }));
    EXPECT_EQ(editor.Connections(), 2);
}

TEST_F(EditorLinkTest, CommandsThatMakeNoSenseCloseTheConnectionAndChangeNoKeys)
{
    struct Fault {
        std::string bytes;
        std::string line;
    };
    const std::vector<Fault> faults{
        {TestEditor::SetKeyBytes(0, {5, Bits(1.0f), 4}), "a key with interpolation 4"},
        {TestEditor::SetKeyBytes(1, {5, Bits(1.0f), 0}), "a key of track 1, which it was not asked for"},
        {TestEditor::DeleteKeyBytes(7, 0), "a key of track 7, which it was not asked for"},
        {TestEditor::SetKeyBytes(0, {0x80000000u, Bits(1.0f), 0}), "row 2147483648, past the last row a show can have"},
        {TestEditor::DeleteKeyBytes(0, 0xffffffffu), "row 4294967295, past the last row a show can have"},
        {TestEditor::SetRowBytes(0x80000000u), "row 2147483648, past the last row a show can have"},
        {std::string(1, '\2'), "an unknown command 2"},
    };
    SyncTrack& fade = tracks.Drive("fade");
    editor.HoldKey("fade", {0, Bits(1.0f), 1});
    for (const Fault& fault : faults) {
        now += 1s;
        ASSERT_TRUE(Exchange([&] { return link.Connected() && fade.HasKeys(); })) << fault.line;
        requests = {};
        editor.SendBytes(fault.bytes);
        ASSERT_TRUE(Exchange([this] { return !link.Connected(); })) << fault.line;
        EXPECT_EQ(debug.Lines().back(), "The Rocket editor at " + Where() + " sent " + fault.line +
                                             "; closing the connection");
        EXPECT_EQ(fade.Keys(), (std::vector<TrackKey>{{0, 1.0f, KeyInterpolation::Linear}})) << fault.line;
        EXPECT_FALSE(requests.row) << fault.line;
    }
}

TEST_F(EditorLinkTest, WhatTheSocketCannotTakeAtOnceIsSentLaterWhole)
{
    // Far more than the socket buffers hold before the editor reads.
    std::vector<std::string> names;
    for (int index = 0; index < 1000; ++index) {
        names.push_back(std::string(10000, static_cast<char>('a' + index % 26)) + std::to_string(index));
        tracks.Drive(names.back());
    }
    ASSERT_TRUE(ConnectAndAskForAll());
    EXPECT_EQ(editor.AskedTracks(), names);
    EXPECT_FALSE(editor.UnexpectedCommand());
}

TEST(EditorLinkAbsentTest, AnAbsentEditorGivesOneLineHoweverOftenItIsTried)
{
    std::uint16_t port = 0;
    {
        const TestEditor closed;
        port = closed.Port();
    }
    const DebugCopy debug;
    SyncTracks tracks;
    EditorLink link(EditorAddress{"127.0.0.1", port}, tracks);
    Clock::time_point now = Clock::time_point{} + 1h;
    for (int attempt = 0; attempt < 5; ++attempt) {
        for (int poll = 0; poll < 10; ++poll) {
            link.Poll(now);
            std::this_thread::sleep_for(1ms);
        }
        EXPECT_FALSE(link.Connected());
        now += 1s;
    }
    const std::string where = "127.0.0.1:" + std::to_string(port);
    EXPECT_EQ(debug.Lines(), std::vector<std::string>{"No Rocket editor at " + where +
                                                      " (Connection refused); trying again every second"});

    // It kept trying: an editor there now is found at the next attempt.
    TestEditor editor(port);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!link.Connected() && std::chrono::steady_clock::now() < deadline) {
        link.Poll(now);
        editor.Serve();
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(debug.Lines().size(), 2u);
}

}  // namespace
