#include "sync/RocketProtocol.h"

#include <bit>

namespace {

constexpr std::uint8_t getTrackCode = 2;
constexpr std::uint8_t setRowCode = 3;

std::uint32_t ReadUint32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | static_cast<std::uint32_t>(bytes[at + 3]);
}

void AppendUint32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 24));
    bytes.push_back(static_cast<std::uint8_t>(value >> 16));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

// The whole size of a command of this kind, its code byte included.
std::size_t CommandSize(EditorCommandKind kind)
{
    switch (kind) {
    case EditorCommandKind::SetKey:
        return 14;  // code, track, row, value bits, interpolation
    case EditorCommandKind::DeleteKey:
        return 9;  // code, track, row
    case EditorCommandKind::SetRow:
        return 5;  // code, row
    case EditorCommandKind::Pause:
        return 2;  // code, flag
    case EditorCommandKind::SaveTracks:
        return 1;
    }
    return 0;
}

bool IsEditorCommand(std::uint8_t code)
{
    switch (static_cast<EditorCommandKind>(code)) {
    case EditorCommandKind::SetKey:
    case EditorCommandKind::DeleteKey:
    case EditorCommandKind::SetRow:
    case EditorCommandKind::Pause:
    case EditorCommandKind::SaveTracks:
        return true;
    }
    return false;
}

}  // namespace

DecodedCommand DecodeEditorCommand(std::span<const std::uint8_t> bytes)
{
    DecodedCommand decoded;
    if (bytes.empty()) {
        return decoded;
    }
    if (!IsEditorCommand(bytes[0])) {
        decoded.status = DecodeStatus::Unknown;
        return decoded;
    }
    EditorCommand& command = decoded.command;
    command.kind = static_cast<EditorCommandKind>(bytes[0]);
    const std::size_t size = CommandSize(command.kind);
    if (bytes.size() < size) {
        return decoded;
    }
    switch (command.kind) {
    case EditorCommandKind::SetKey:
        command.track = ReadUint32(bytes, 1);
        command.row = ReadUint32(bytes, 5);
        command.value = std::bit_cast<float>(ReadUint32(bytes, 9));
        command.interpolation = bytes[13];
        break;
    case EditorCommandKind::DeleteKey:
        command.track = ReadUint32(bytes, 1);
        command.row = ReadUint32(bytes, 5);
        break;
    case EditorCommandKind::SetRow:
        command.row = ReadUint32(bytes, 1);
        break;
    case EditorCommandKind::Pause:
        command.pause = bytes[1] != 0;
        break;
    case EditorCommandKind::SaveTracks:
        break;
    }
    decoded.status = DecodeStatus::Complete;
    decoded.size = size;
    return decoded;
}

void AppendGetTrack(std::vector<std::uint8_t>& bytes, std::string_view trackName)
{
    bytes.push_back(getTrackCode);
    AppendUint32(bytes, static_cast<std::uint32_t>(trackName.size()));
    bytes.insert(bytes.end(), trackName.begin(), trackName.end());
}

void AppendSetRow(std::vector<std::uint8_t>& bytes, std::uint32_t row)
{
    bytes.push_back(setRowCode);
    AppendUint32(bytes, row);
}
