#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sync/RocketProtocol.h"

class SyncTrack;
class SyncTracks;

struct EditorAddress {
    std::string host = "localhost";
    std::uint16_t port = 1338;
};

// "[HOST:]PORT" as --sync-editor takes it ("1338", "studio:1338",
// "127.0.0.1:4000", "[::1]:1338"); none when malformed (a port of 0 or over
// 65535, an empty host, anything but digits in the port, blanks).
std::optional<EditorAddress> ParseEditorAddress(std::string_view text);

// What the editor asked of the show since the last Poll.
struct EditorRequests {
    std::optional<int> row;     // the editor moved to this row (the last one this poll)
    std::optional<bool> pause;  // the editor paused (true) or played (false) (the last one)
    bool save = false;          // the editor asked for the tracks file to be saved
};

// The show's connection to a GNU Rocket editor, the show being the client:
// it asks the editor for the driven tracks, takes the keys the editor sets
// and deletes, passes on the editor's requests and tells the editor the
// show's row. While connected the editor's keys are the truth, so a driven
// track's keys are dropped when it is asked for; when the editor goes, the
// tracks keep the keys they have. Without an editor it tries again about
// once a second. Driven once a frame from the frame loop; it never blocks,
// and allocates nothing while nothing arrives.
class EditorLink {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration retryInterval = std::chrono::seconds(1);
    // An editor that takes the connection but does not greet within this is
    // taken for something else, and left.
    static constexpr Clock::duration greetingTimeout = std::chrono::seconds(5);

    // Resolves the host at once (throws a DemoMessage when it cannot);
    // connects at the first Poll.
    EditorLink(const EditorAddress& address, SyncTracks& tracks);
    ~EditorLink();
    EditorLink(const EditorLink&) = delete;
    EditorLink& operator=(const EditorLink&) = delete;

    // Called on each connection, before the editor's keys replace the
    // show's: what the show holds can still be kept.
    void OnConnect(std::function<void()> beforeTakingKeys) { connected = std::move(beforeTakingKeys); }

    // Once a frame: connects, sends what waits, takes the editor's commands.
    EditorRequests Poll(Clock::time_point now);
    // The row the show is at; sent only when connected and when it differs
    // from the row the editor last knew (the last sent or received). A show
    // before its first row is at row 0 for the editor.
    void TellRow(int row);
    bool Connected() const { return state == State::Connected; }

private:
    enum class State { Waiting, Connecting, Greeting, Connected };
    enum class Miss { SocketError, ClosedBeforeGreeting, WrongGreeting, NoGreeting };
    // Why an attempt to reach the editor failed; the same failure again is
    // not reported again.
    struct AttemptFailure {
        Miss miss = Miss::SocketError;
        int errorNumber = 0;

        bool operator==(const AttemptFailure&) const = default;
    };
    struct SocketAddress {
        int family = 0;
        sockaddr_storage address{};
        socklen_t size = 0;
    };

    void ConnectFrom(std::size_t first, Clock::time_point now, int lastError);
    void CheckConnection(Clock::time_point now);
    void BeginGreeting();
    void Greet(Clock::time_point now);
    void AskForNewTracks();
    void ReadCommands(Clock::time_point now, EditorRequests& requests);
    // False when a command closed the connection.
    bool TakeCommands(Clock::time_point now, EditorRequests& requests);
    bool Apply(const EditorCommand& command, Clock::time_point now, EditorRequests& requests);
    SyncTrack* AskedTrack(std::uint32_t index, Clock::time_point now);
    bool ValidRow(std::uint32_t row, Clock::time_point now);
    // Sends what the socket takes; false with errorNumber set on a failure.
    bool Flush(int& errorNumber);

    void FailAttempt(Clock::time_point now, AttemptFailure failure);
    void WentAway(Clock::time_point now, const char* reason);
    void Refuse(Clock::time_point now, const std::string& what);
    void Disconnect(Clock::time_point now);

    SyncTracks& tracks;
    std::string where;  // HOST:PORT, for the debug output
    std::vector<SocketAddress> addresses;
    std::size_t addressIndex = 0;
    int socketHandle = -1;
    State state = State::Waiting;
    std::optional<Clock::time_point> retryAt;  // none: at once
    Clock::time_point attemptStart;
    std::optional<AttemptFailure> lastFailure;  // since last connected

    std::vector<std::uint8_t> input;  // a fixed size: no command is longer
    std::size_t inputLength = 0;
    std::vector<std::uint8_t> output;  // waiting to be sent

    std::size_t drivenSeen = 0;       // the driven tracks looked at on this connection
    std::vector<SyncTrack*> asked;    // by the editor's index
    std::optional<int> editorRow;     // the row the editor last knew
    std::function<void()> connected = [] {};
};
