#include "sync/TestEditor.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

namespace {

constexpr std::string_view expectedGreeting = "hello, synctracker!";
constexpr char getTrackCode = 2;
constexpr char setRowCode = 3;

void AppendBigEndian(std::string& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

std::uint32_t ReadBigEndian(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t index = at; index < at + 4; ++index) {
        value = value << 8 | static_cast<unsigned char>(bytes[index]);
    }
    return value;
}

}  // namespace

TestEditor::TestEditor(std::uint16_t wantedPort)
{
    listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int reuse = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(wantedPort);
    socklen_t size = sizeof(address);
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (listener >= 0) {
            close(listener);
        }
        throw std::runtime_error("the test editor cannot listen");
    }
    port = ntohs(address.sin_port);
}

TestEditor::~TestEditor()
{
    DropDemo();
    close(listener);
}

void TestEditor::Serve()
{
    if (demo < 0) {
        demo = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (demo < 0) {
            return;
        }
        // Each command goes out as it is sent, for the tests to see it in
        // the demo's next frame, not held back waiting for an acknowledgement.
        const int noDelay = 1;
        setsockopt(demo, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
        ++connections;
        received.clear();
        greeted = false;
        greeting.clear();
        askedTracks.clear();
        toldRows.clear();
    }
    bool closed = false;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = recv(demo, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (count > 0) {
            received.append(buffer.data(), static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        closed = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    TakeCommands();
    if (closed) {
        DropDemo();
    }
}

void TestEditor::TakeCommands()
{
    if (!greeted) {
        if (received.size() < expectedGreeting.size()) {
            return;
        }
        greeting = received.substr(0, expectedGreeting.size());
        received.erase(0, expectedGreeting.size());
        greeted = true;
        if (greeting != expectedGreeting) {
            DropDemo();
            return;
        }
        if (!answer.empty()) {
            SendBytes(answer);
        }
    }
    std::size_t taken = 0;
    while (demo >= 0 && taken < received.size()) {
        const std::size_t left = received.size() - taken;
        const char code = received[taken];
        if (code == getTrackCode) {
            if (left < 5 || left < 5 + ReadBigEndian(received, taken + 1)) {
                break;
            }
            const std::uint32_t length = ReadBigEndian(received, taken + 1);
            const std::string name = received.substr(taken + 5, length);
            taken += 5 + length;
            askedTracks.push_back(name);
            for (const Key& key : heldKeys[name]) {
                SendBytes(SetKeyBytes(static_cast<std::uint32_t>(askedTracks.size() - 1), key));
            }
        } else if (code == setRowCode) {
            if (left < 5) {
                break;
            }
            toldRows.push_back(ReadBigEndian(received, taken + 1));
            taken += 5;
        } else {
            if (!unexpectedCommand) {
                unexpectedCommand = static_cast<unsigned char>(code);
            }
            DropDemo();
            return;
        }
    }
    received.erase(0, taken);
}

void TestEditor::HoldKey(const std::string& track, const Key& key)
{
    heldKeys[track].push_back(key);
}

void TestEditor::SendKey(const std::string& track, const Key& key)
{
    SendBytes(SetKeyBytes(TrackIndex(track), key));
}

void TestEditor::SendDeleteKey(const std::string& track, std::uint32_t row)
{
    SendBytes(DeleteKeyBytes(TrackIndex(track), row));
}

void TestEditor::SendRow(std::uint32_t row)
{
    SendBytes(SetRowBytes(row));
}

void TestEditor::SendPause(std::uint8_t flag)
{
    SendBytes(PauseBytes(flag));
}

void TestEditor::SendSave()
{
    SendBytes(SaveBytes());
}

void TestEditor::SendBytes(std::string_view bytes)
{
    if (demo < 0) {
        throw std::logic_error("the test editor has no demo to send to");
    }
    while (!bytes.empty()) {
        const ssize_t count = send(demo, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("the test editor cannot send");
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

void TestEditor::DropDemo()
{
    if (demo >= 0) {
        close(demo);
        demo = -1;
    }
}

std::string TestEditor::SetKeyBytes(std::uint32_t track, const Key& key)
{
    std::string bytes(1, '\0');
    AppendBigEndian(bytes, track);
    AppendBigEndian(bytes, key.row);
    AppendBigEndian(bytes, key.valueBits);
    bytes.push_back(static_cast<char>(key.interpolation));
    return bytes;
}

std::string TestEditor::DeleteKeyBytes(std::uint32_t track, std::uint32_t row)
{
    std::string bytes(1, '\1');
    AppendBigEndian(bytes, track);
    AppendBigEndian(bytes, row);
    return bytes;
}

std::string TestEditor::SetRowBytes(std::uint32_t row)
{
    std::string bytes(1, '\3');
    AppendBigEndian(bytes, row);
    return bytes;
}

std::string TestEditor::PauseBytes(std::uint8_t flag)
{
    return {'\4', static_cast<char>(flag)};
}

std::string TestEditor::SaveBytes()
{
    return std::string(1, '\5');
}

std::uint32_t TestEditor::TrackIndex(const std::string& track) const
{
    const auto found = std::find(askedTracks.begin(), askedTracks.end(), track);
    if (found == askedTracks.end()) {
        throw std::logic_error("the demo did not ask for the track " + track);
    }
    return static_cast<std::uint32_t>(found - askedTracks.begin());
}
