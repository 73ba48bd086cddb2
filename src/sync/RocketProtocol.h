#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The bytes a GNU Rocket editor and a demo exchange over TCP: a greeting
// each way, then commands of one byte followed by their fields, integers
// big-endian. The demo asks for tracks and tells its row; the editor sets
// and deletes keys and steers the show.
constexpr std::string_view rocketDemoGreeting = "hello, synctracker!";
constexpr std::string_view rocketEditorGreeting = "hello, demo!";

// The commands an editor sends, numbered as on the wire.
enum class EditorCommandKind : std::uint8_t { SetKey = 0, DeleteKey = 1, SetRow = 3, Pause = 4, SaveTracks = 5 };

// A command from the editor with the fields its kind carries, as sent:
// whether the track, row and interpolation make sense is the reader's
// concern.
struct EditorCommand {
    EditorCommandKind kind = EditorCommandKind::SaveTracks;
    std::uint32_t track = 0;         // SetKey, DeleteKey: the track's index in the order asked
    std::uint32_t row = 0;           // SetKey, DeleteKey, SetRow
    float value = 0.0f;              // SetKey
    std::uint8_t interpolation = 0;  // SetKey
    bool pause = false;              // Pause: any non-zero flag pauses
};

enum class DecodeStatus { Complete, Incomplete, Unknown };

struct DecodedCommand {
    DecodeStatus status = DecodeStatus::Incomplete;
    std::size_t size = 0;  // the bytes the command takes, when complete
    EditorCommand command;
};

// The first command in bytes received from an editor. Unknown for a first
// byte that names no command an editor sends (those only a demo sends
// included); Incomplete while its fields have not all arrived.
DecodedCommand DecodeEditorCommand(std::span<const std::uint8_t> bytes);

// The demo's commands, appended to bytes waiting to be sent.
void AppendGetTrack(std::vector<std::uint8_t>& bytes, std::string_view trackName);
void AppendSetRow(std::vector<std::uint8_t>& bytes, std::uint32_t row);
