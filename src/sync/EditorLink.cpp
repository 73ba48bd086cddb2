#include "sync/EditorLink.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "sync/SyncTracks.h"

namespace {

constexpr std::size_t inputCapacity = 4096;
constexpr std::size_t outputCapacity = 65536;
constexpr std::size_t askedCapacity = 256;

bool IsBlank(char character)
{
    return std::isspace(static_cast<unsigned char>(character)) != 0 ||
           std::iscntrl(static_cast<unsigned char>(character)) != 0;
}

std::string Where(const EditorAddress& address)
{
    // An IPv6 address is bracketed, so that its colons stay apart from the port's.
    const bool bracketed = address.host.find(':') != std::string::npos;
    return FormatText(bracketed ? "[%s]:%u" : "%s:%u", address.host.c_str(), unsigned{address.port});
}

// The editors refuse a track without a name, or one holding a zero byte, by
// dropping the connection; asking for one would drop it every second.
bool Askable(const std::string& name)
{
    return !name.empty() && name.find('\0') == std::string::npos;
}

bool WouldBlock(int errorNumber)
{
    return errorNumber == EAGAIN || errorNumber == EWOULDBLOCK;
}

}  // namespace

std::optional<EditorAddress> ParseEditorAddress(std::string_view text)
{
    EditorAddress address;
    std::string_view portText = text;
    const std::size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        std::string_view host = text.substr(0, colon);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        }
        if (host.empty() || std::any_of(host.begin(), host.end(), IsBlank)) {
            return std::nullopt;
        }
        address.host = std::string(host);
        portText = text.substr(colon + 1);
    }
    if (portText.empty() || !std::all_of(portText.begin(), portText.end(),
                                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    unsigned port = 0;
    const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (error != std::errc() || end != portText.data() + portText.size() || port == 0 || port > 65535) {
        return std::nullopt;
    }
    address.port = static_cast<std::uint16_t>(port);
    return address;
}

EditorLink::EditorLink(const EditorAddress& address, SyncTracks& tracks)
    : tracks(tracks), where(Where(address)), input(inputCapacity)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found);
    if (result != 0) {
        throw DemoMessage(FormatText("Unable to find the Rocket editor's host %s: %s", address.host.c_str(),
                                     result == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(result)));
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, freeaddrinfo);
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        SocketAddress& added = addresses.emplace_back();
        added.family = entry->ai_family;
        added.size = std::min(static_cast<socklen_t>(sizeof(added.address)), entry->ai_addrlen);
        std::memcpy(&added.address, entry->ai_addr, added.size);
    }
    output.reserve(outputCapacity);
    asked.reserve(askedCapacity);
}

EditorLink::~EditorLink()
{
    if (socketHandle >= 0) {
        close(socketHandle);
    }
}

EditorRequests EditorLink::Poll(Clock::time_point now)
{
    EditorRequests requests;
    if (state == State::Waiting && (!retryAt || now >= *retryAt)) {
        attemptStart = now;
        ConnectFrom(0, now, 0);
    }
    if (state == State::Connecting) {
        CheckConnection(now);
    }
    if (state == State::Greeting) {
        Greet(now);
    }
    if (state == State::Connected) {
        AskForNewTracks();
        int errorNumber = 0;
        if (!Flush(errorNumber)) {
            WentAway(now, std::strerror(errorNumber));
        } else {
            ReadCommands(now, requests);
        }
    }
    if ((state == State::Connecting || state == State::Greeting) && now - attemptStart >= greetingTimeout) {
        FailAttempt(now, {Miss::NoGreeting, 0});
    }
    return requests;
}

void EditorLink::TellRow(int row)
{
    // The editor's rows start at 0; a show before its start is at its first row.
    row = std::max(row, 0);
    if (state != State::Connected || editorRow == row) {
        return;
    }
    AppendSetRow(output, static_cast<std::uint32_t>(row));
    editorRow = row;
    // A failure shows again at the next Poll, which knows the time to retry from.
    int errorNumber = 0;
    Flush(errorNumber);
}

void EditorLink::ConnectFrom(std::size_t first, Clock::time_point now, int lastError)
{
    // A host may have several addresses (an editor may listen on IPv4 only
    // while "localhost" is ::1 first): each is tried before the attempt fails.
    for (addressIndex = first; addressIndex < addresses.size(); ++addressIndex) {
        const SocketAddress& address = addresses[addressIndex];
        socketHandle = socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (socketHandle < 0) {
            lastError = errno;
            continue;
        }
        if (connect(socketHandle, reinterpret_cast<const sockaddr*>(&address.address), address.size) == 0) {
            BeginGreeting();
            return;
        }
        if (errno == EINPROGRESS) {
            state = State::Connecting;
            return;
        }
        lastError = errno;
        close(socketHandle);
        socketHandle = -1;
    }
    FailAttempt(now, {Miss::SocketError, lastError});
}

void EditorLink::CheckConnection(Clock::time_point now)
{
    pollfd entry{socketHandle, POLLOUT, 0};
    if (poll(&entry, 1, 0) <= 0) {
        return;  // still on its way
    }
    int errorNumber = 0;
    socklen_t size = sizeof(errorNumber);
    if (getsockopt(socketHandle, SOL_SOCKET, SO_ERROR, &errorNumber, &size) != 0) {
        errorNumber = errno;
    }
    if (errorNumber == 0) {
        BeginGreeting();
        return;
    }
    close(socketHandle);
    socketHandle = -1;
    state = State::Waiting;
    ConnectFrom(addressIndex + 1, now, errorNumber);
}

void EditorLink::BeginGreeting()
{
    // Rows and keys are a few bytes each and should not wait for more.
    const int noDelay = 1;
    setsockopt(socketHandle, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
    output.assign(rocketDemoGreeting.begin(), rocketDemoGreeting.end());
    inputLength = 0;
    state = State::Greeting;
}

void EditorLink::Greet(Clock::time_point now)
{
    int errorNumber = 0;
    if (!Flush(errorNumber)) {
        FailAttempt(now, {Miss::SocketError, errorNumber});
        return;
    }
    // Only the greeting is read here: commands after it wait in the socket
    // until the tracks have been asked for.
    while (inputLength < rocketEditorGreeting.size()) {
        const std::size_t missing = rocketEditorGreeting.size() - inputLength;
        const ssize_t count = recv(socketHandle, input.data() + inputLength, missing, 0);
        if (count == 0) {
            FailAttempt(now, {Miss::ClosedBeforeGreeting, 0});
            return;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (!WouldBlock(errno)) {
                FailAttempt(now, {Miss::SocketError, errno});
            }
            return;
        }
        inputLength += static_cast<std::size_t>(count);
        if (std::memcmp(input.data(), rocketEditorGreeting.data(), inputLength) != 0) {
            FailAttempt(now, {Miss::WrongGreeting, 0});
            return;
        }
    }
    inputLength = 0;
    connected();
    state = State::Connected;
    lastFailure.reset();
    editorRow.reset();
    drivenSeen = 0;
    asked.clear();
    DebugOutput(FormatText("Connected to the Rocket editor at %s\n", where.c_str()));
}

void EditorLink::AskForNewTracks()
{
    const std::vector<SyncTrack*>& driven = tracks.Driven();
    for (; drivenSeen < driven.size(); ++drivenSeen) {
        SyncTrack& track = *driven[drivenSeen];
        if (!Askable(track.Name())) {
            DebugOutput(FormatText("The sync track \"%s\" is not asked of the Rocket editor, which takes no empty "
                                   "names nor zero bytes; it keeps its keys\n",
                                   track.Name().c_str()));
            continue;
        }
        // The editor's keys replace the show's, as they arrive.
        track.ClearKeys();
        asked.push_back(&track);
        AppendGetTrack(output, track.Name());
    }
}

void EditorLink::ReadCommands(Clock::time_point now, EditorRequests& requests)
{
    for (;;) {
        const ssize_t count = recv(socketHandle, input.data() + inputLength, input.size() - inputLength, 0);
        if (count == 0) {
            WentAway(now, inputLength > 0 ? "closed mid-message" : "closed the connection");
            return;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (!WouldBlock(errno)) {
                WentAway(now, std::strerror(errno));
            }
            return;
        }
        inputLength += static_cast<std::size_t>(count);
        if (!TakeCommands(now, requests)) {
            return;
        }
    }
}

bool EditorLink::TakeCommands(Clock::time_point now, EditorRequests& requests)
{
    std::size_t taken = 0;
    for (;;) {
        const DecodedCommand decoded = DecodeEditorCommand({input.data() + taken, inputLength - taken});
        if (decoded.status == DecodeStatus::Incomplete) {
            break;
        }
        if (decoded.status == DecodeStatus::Unknown) {
            Refuse(now, FormatText("an unknown command %u", unsigned{input[taken]}));
            return false;
        }
        if (!Apply(decoded.command, now, requests)) {
            return false;
        }
        taken += decoded.size;
    }
    // What is left is the start of a command cut across reads.
    std::memmove(input.data(), input.data() + taken, inputLength - taken);
    inputLength -= taken;
    return true;
}

bool EditorLink::Apply(const EditorCommand& command, Clock::time_point now, EditorRequests& requests)
{
    switch (command.kind) {
    case EditorCommandKind::SetKey: {
        SyncTrack* track = AskedTrack(command.track, now);
        if (track == nullptr || !ValidRow(command.row, now)) {
            return false;
        }
        if (command.interpolation >= keyInterpolationCount) {
            Refuse(now, FormatText("a key with interpolation %u", unsigned{command.interpolation}));
            return false;
        }
        track->SetKey({static_cast<int>(command.row), command.value,
                       static_cast<KeyInterpolation>(command.interpolation)});
        return true;
    }
    case EditorCommandKind::DeleteKey: {
        SyncTrack* track = AskedTrack(command.track, now);
        if (track == nullptr || !ValidRow(command.row, now)) {
            return false;
        }
        track->DeleteKey(static_cast<int>(command.row));
        return true;
    }
    case EditorCommandKind::SetRow:
        if (!ValidRow(command.row, now)) {
            return false;
        }
        requests.row = static_cast<int>(command.row);
        editorRow = requests.row;
        return true;
    case EditorCommandKind::Pause:
        requests.pause = command.pause;
        return true;
    case EditorCommandKind::SaveTracks:
        requests.save = true;
        return true;
    }
    return true;
}

SyncTrack* EditorLink::AskedTrack(std::uint32_t index, Clock::time_point now)
{
    if (index < asked.size()) {
        return asked[index];
    }
    Refuse(now, FormatText("a key of track %u, which it was not asked for", unsigned{index}));
    return nullptr;
}

bool EditorLink::ValidRow(std::uint32_t row, Clock::time_point now)
{
    if (row <= static_cast<std::uint32_t>(INT_MAX)) {
        return true;
    }
    Refuse(now, FormatText("row %u, past the last row a show can have", unsigned{row}));
    return false;
}

bool EditorLink::Flush(int& errorNumber)
{
    std::size_t sent = 0;
    while (sent < output.size()) {
        const ssize_t count = send(socketHandle, output.data() + sent, output.size() - sent, MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (WouldBlock(errno)) {
                break;
            }
            errorNumber = errno;
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    output.erase(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(sent));
    return true;
}

void EditorLink::FailAttempt(Clock::time_point now, AttemptFailure failure)
{
    Disconnect(now);
    if (lastFailure == failure) {
        return;
    }
    lastFailure = failure;
    const char* reason = "";
    switch (failure.miss) {
    case Miss::SocketError:
        reason = std::strerror(failure.errorNumber);
        break;
    case Miss::ClosedBeforeGreeting:
        reason = "it closed the connection before greeting";
        break;
    case Miss::WrongGreeting:
        reason = "something else answered the greeting";
        break;
    case Miss::NoGreeting:
        reason = "no greeting came back";
        break;
    }
    DebugOutput(FormatText("No Rocket editor at %s (%s); trying again every second\n", where.c_str(), reason));
}

void EditorLink::WentAway(Clock::time_point now, const char* reason)
{
    DebugOutput(FormatText("The Rocket editor at %s went away (%s); the show keeps its keys and tries again every "
                           "second\n",
                           where.c_str(), reason));
    Disconnect(now);
}

void EditorLink::Refuse(Clock::time_point now, const std::string& what)
{
    DebugOutput(FormatText("The Rocket editor at %s sent %s; closing the connection\n", where.c_str(), what.c_str()));
    Disconnect(now);
}

void EditorLink::Disconnect(Clock::time_point now)
{
    if (socketHandle >= 0) {
        close(socketHandle);
        socketHandle = -1;
    }
    state = State::Waiting;
    retryAt = now + retryInterval;
    output.clear();
    inputLength = 0;
    asked.clear();
}
