#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Rocket editor as the real ones behave towards a demo, listening on
// 127.0.0.1 and served from the test's own thread between the demo's
// polls, without blocking: it takes one demo at a time, answers its
// greeting, sends the keys it holds for each track the demo asks for, and
// records what the demo sent. A command no editor takes from a demo makes
// it drop the demo, as the Qt editor does. Its bytes are written here by
// hand, apart from the code under test.
class TestEditor {
public:
    struct Key {
        std::uint32_t row = 0;
        std::uint32_t valueBits = 0;  // the IEEE bits, sent as they are
        std::uint8_t interpolation = 0;
    };

    // Listens on the port given, or on one the system picks.
    explicit TestEditor(std::uint16_t port = 0);
    ~TestEditor();
    TestEditor(const TestEditor&) = delete;
    TestEditor& operator=(const TestEditor&) = delete;

    std::uint16_t Port() const { return port; }

    // Sent once the demo's greeting has come whole; empty: the editor stays
    // silent and the test answers with SendBytes. Bytes after the greeting
    // are sent with it, as the RocketEditor sends PAUSE and SET_ROW at once.
    std::string answer = "hello, demo!";

    // What an editor's event loop does: accepts a waiting demo, reads what
    // it sent, answers the greeting and takes its commands.
    void Serve();

    bool HasDemo() const { return demo >= 0; }
    int Connections() const { return connections; }
    // Of the latest demo: its greeting, the tracks it asked for in order
    // (their index is their position), the rows it told.
    const std::string& Greeting() const { return greeting; }
    const std::vector<std::string>& AskedTracks() const { return askedTracks; }
    const std::vector<std::uint32_t>& ToldRows() const { return toldRows; }
    // The first command of any demo that an editor does not take.
    std::optional<int> UnexpectedCommand() const { return unexpectedCommand; }

    // A key the editor holds, sent to a demo that asks for the track.
    void HoldKey(const std::string& track, const Key& key);
    // Sent at once, for a track the demo asked for.
    void SendKey(const std::string& track, const Key& key);
    void SendDeleteKey(const std::string& track, std::uint32_t row);
    void SendRow(std::uint32_t row);
    void SendPause(std::uint8_t flag);
    void SendSave();
    void SendBytes(std::string_view bytes);
    // Closes the connection, as an editor that quits.
    void DropDemo();

    // The wire layouts of the editor's commands.
    static std::string SetKeyBytes(std::uint32_t track, const Key& key);
    static std::string DeleteKeyBytes(std::uint32_t track, std::uint32_t row);
    static std::string SetRowBytes(std::uint32_t row);
    static std::string PauseBytes(std::uint8_t flag);
    static std::string SaveBytes();
    // The index the latest demo knows the track by.
    std::uint32_t TrackIndex(const std::string& track) const;

private:
    void TakeCommands();

    std::uint16_t port = 0;
    int listener = -1;
    int demo = -1;
    int connections = 0;
    std::string received;  // not yet taken
    bool greeted = false;
    std::string greeting;
    std::vector<std::string> askedTracks;
    std::vector<std::uint32_t> toldRows;
    std::optional<int> unexpectedCommand;
    std::map<std::string, std::vector<Key>> heldKeys;
};
