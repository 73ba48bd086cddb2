#include "sync/RocketFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>
#include <system_error>
#include <type_traits>

#include <pugixml.hpp>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"

namespace {

constexpr char beatsPerMinuteName[] = "beatsPerMin";
constexpr char rowsPerBeatName[] = "rowsPerBeat";
// Kestrova's own: "module" keys the tracks on a module's rows; the editors
// keep it as they keep any attribute.
constexpr char rowGridName[] = "rowGrid";
// The RocketEditor's older name for the rows a beat, read when rowsPerBeat is absent.
constexpr char highlightRowStepName[] = "highlightRowStep";

// The row range the RocketEditor writes when it has none of its own.
const XmlAttributes defaultTracksAttributes = {{"rows", "10000"}, {"startRow", "0"}, {"endRow", "10000"}};

// As many links as the kernel follows before giving up with ELOOP.
constexpr int linkHopLimit = 40;

bool IsTempoAttribute(std::string_view name)
{
    return name == beatsPerMinuteName || name == rowsPerBeatName || name == rowGridName;
}

// Elements the editors keep beside the tracks: marked rows and folded groups.
bool IsEditorMark(std::string_view name)
{
    return name == "bookmark" || name == "loopmark" || name == "group";
}

enum class NumberText { Valid, Malformed, OutOfRange };

// The whole text as one number in std::from_chars's plain form: no spaces,
// no plus sign, nothing after it; floating point numbers finite.
template <typename Number>
NumberText ParseNumber(std::string_view text, Number& number)
{
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error == std::errc::invalid_argument || stop != end) {
        return NumberText::Malformed;
    }
    if (error == std::errc::result_out_of_range) {
        return NumberText::OutOfRange;
    }
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(number)) {
            return NumberText::OutOfRange;  // "inf" and "nan" read as numbers
        }
    }
    return NumberText::Valid;
}

// The shortest text that reads back to the same number.
template <typename Number>
std::string ShortestText(Number number)
{
    std::array<char, 64> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), number);
    return std::string(text.data(), written.ptr);
}

// The element after this node in document order: its first child, else
// the next sibling of it or of the nearest ancestor that has one. Walks
// without recursion, so that no nesting exhausts the stack.
pugi::xml_node NextInDocument(pugi::xml_node node)
{
    if (node.first_child()) {
        return node.first_child();
    }
    while (node && !node.next_sibling()) {
        node = node.parent();
    }
    return node ? node.next_sibling() : node;
}

// A mark as its own XML text. Editors put nothing inside one; whatever is
// there is left out, so that tracks inside it are not kept twice.
std::string MarkText(const pugi::xml_node& element)
{
    pugi::xml_document alone;
    pugi::xml_node copy = alone.append_copy(element);
    copy.remove_children();
    std::ostringstream text;
    copy.print(text, "", pugi::format_indent);
    std::string written = text.str();
    while (!written.empty() && written.back() == '\n') {
        written.pop_back();
    }
    return written;
}

// The attributes of <tracks> besides the tempo, in their order; and the
// rows where the original editor keeps them, on its root element.
XmlAttributes KeptTracksAttributes(const pugi::xml_node& tracksElement, const pugi::xml_node& root)
{
    XmlAttributes kept;
    for (const pugi::xml_attribute& attribute : tracksElement.attributes()) {
        if (!IsTempoAttribute(attribute.name())) {
            kept.emplace_back(attribute.name(), attribute.value());
        }
    }
    const bool rowsKept =
        std::any_of(kept.begin(), kept.end(), [](const auto& attribute) { return attribute.first == "rows"; });
    if (!rowsKept && root != tracksElement && root.attribute("rows")) {
        kept.emplace(kept.begin(), "rows", root.attribute("rows").value());
    }
    return kept;
}

// Builds a set of tracks from a tracks file's text, reporting each fault
// with the line it lies on.
class TracksFileReader {
public:
    TracksFileReader(std::string_view text, const std::string& fileName) : text(text), fileName(fileName) {}

    SyncTracks Read() const;

private:
    [[noreturn]] void Fail(const std::string& what) const;
    [[noreturn]] void FailAt(std::ptrdiff_t offset, const std::string& what) const;
    [[noreturn]] void FailAt(const pugi::xml_node& node, const std::string& what) const
    {
        FailAt(node.offset_debug(), what);
    }

    // Two attributes of one name make a document that is not XML, though
    // pugixml lets them pass; the editors would not read it back.
    void CheckAttributeNames(const pugi::xml_node& element) const;
    void ReadTrack(const pugi::xml_node& element, SyncTracks& tracks) const;
    TrackKey ReadKey(const pugi::xml_node& element, const std::string& trackName) const;
    SyncTempo ReadTempo(const pugi::xml_node& tracksElement) const;

    std::string_view text;
    const std::string& fileName;
};

void TracksFileReader::Fail(const std::string& what) const
{
    throw DemoMessage(FormatText("Unable to read tracks file %s: %s", fileName.c_str(), what.c_str()));
}

void TracksFileReader::FailAt(std::ptrdiff_t offset, const std::string& what) const
{
    const std::size_t end = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), text.size());
    const long line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n');
    throw DemoMessage(FormatText("Unable to read tracks file %s, line %ld: %s", fileName.c_str(), line, what.c_str()));
}

SyncTracks TracksFileReader::Read() const
{
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        FailAt(parsed.offset, parsed.description());
    }

    SyncTracks tracks;
    pugi::xml_node tracksElement;
    bool anyTrack = false;
    for (pugi::xml_node node = document.first_child(); node; node = NextInDocument(node)) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        CheckAttributeNames(node);
        const std::string_view name = node.name();
        if (name == "tracks" && !tracksElement) {
            tracksElement = node;
        } else if (name == "track") {
            ReadTrack(node, tracks);
            anyTrack = true;
        } else if (IsEditorMark(name)) {
            tracks.editorMarks.push_back(MarkText(node));
        }
    }
    if (!tracksElement && !anyTrack) {
        Fail("there are no tracks in it (no <tracks> or <track> element)");
    }

    tracks.tempo = ReadTempo(tracksElement);
    tracks.tracksAttributes = KeptTracksAttributes(tracksElement, document.document_element());
    return tracks;
}

void TracksFileReader::CheckAttributeNames(const pugi::xml_node& element) const
{
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        for (pugi::xml_attribute later = attribute.next_attribute(); later; later = later.next_attribute()) {
            if (std::strcmp(attribute.name(), later.name()) == 0) {
                FailAt(element, FormatText("a <%s> element has two attributes named \"%s\"", element.name(), attribute.name()));
            }
        }
    }
}

void TracksFileReader::ReadTrack(const pugi::xml_node& element, SyncTracks& tracks) const
{
    const char* name = element.attribute("name").value();
    if (*name == '\0') {
        FailAt(element, "a <track> element has no name");
    }
    SyncTrack& track = tracks.Track(name);
    // A name met again is the same track, as the editors take it: the first
    // element gives the editor's attributes, a later one adds keys.
    if (!track.keptInFile) {
        track.keptInFile = true;
        for (const pugi::xml_attribute& attribute : element.attributes()) {
            if (std::string_view(attribute.name()) != "name") {
                track.editorAttributes.emplace_back(attribute.name(), attribute.value());
            }
        }
    }
    for (const pugi::xml_node& keyElement : element.children("key")) {
        const TrackKey key = ReadKey(keyElement, track.Name());
        if (track.KeyAt(key.row) != nullptr) {
            FailAt(keyElement, FormatText("two keys on row %d of track \"%s\"", key.row, name));
        }
        track.SetKey(key);
    }
}

TrackKey TracksFileReader::ReadKey(const pugi::xml_node& element, const std::string& trackName) const
{
    const char* track = trackName.c_str();
    TrackKey key;

    const pugi::xml_attribute row = element.attribute("row");
    if (!row) {
        FailAt(element, FormatText("a key of track \"%s\" has no row", track));
    }
    const NumberText rowRead = ParseNumber(row.value(), key.row);
    if (rowRead == NumberText::Malformed) {
        FailAt(element, FormatText("the row \"%s\" of a key of track \"%s\" is not a whole number", row.value(), track));
    }
    if (rowRead == NumberText::OutOfRange || key.row < 0) {
        FailAt(element, FormatText("the row \"%s\" of a key of track \"%s\" is out of range (0 to %d)", row.value(), track,
                                   std::numeric_limits<int>::max()));
    }

    const pugi::xml_attribute value = element.attribute("value");
    if (!value) {
        FailAt(element, FormatText("the key at row %d of track \"%s\" has no value", key.row, track));
    }
    const NumberText valueRead = ParseNumber(value.value(), key.value);
    if (valueRead == NumberText::Malformed) {
        FailAt(element, FormatText("the value \"%s\" at row %d of track \"%s\" is not a number", value.value(), key.row, track));
    }
    if (valueRead == NumberText::OutOfRange) {
        FailAt(element, FormatText("the value \"%s\" at row %d of track \"%s\" is not a finite number in a float's range",
                                   value.value(), key.row, track));
    }

    const pugi::xml_attribute interpolation = element.attribute("interpolation");
    if (!interpolation) {
        FailAt(element, FormatText("the key at row %d of track \"%s\" has no interpolation", key.row, track));
    }
    int number = 0;
    const NumberText interpolationRead = ParseNumber(interpolation.value(), number);
    if (interpolationRead == NumberText::Malformed) {
        FailAt(element, FormatText("the interpolation \"%s\" at row %d of track \"%s\" is not a whole number",
                                   interpolation.value(), key.row, track));
    }
    if (interpolationRead == NumberText::OutOfRange || number < 0 || number >= keyInterpolationCount) {
        FailAt(element, FormatText("interpolation %s at row %d of track \"%s\" is none of 0 (step), 1 (linear), 2 (smooth), 3 (ramp)",
                                   interpolation.value(), key.row, track));
    }
    key.interpolation = static_cast<KeyInterpolation>(number);
    return key;
}

SyncTempo TracksFileReader::ReadTempo(const pugi::xml_node& tracksElement) const
{
    SyncTempo tempo;
    if (const pugi::xml_attribute beats = tracksElement.attribute(beatsPerMinuteName)) {
        if (ParseNumber(beats.value(), tempo.beatsPerMinute) != NumberText::Valid || tempo.beatsPerMinute <= 0.0) {
            FailAt(tracksElement, FormatText("%s \"%s\" is not a positive number of beats a minute", beats.name(), beats.value()));
        }
    }
    pugi::xml_attribute rows = tracksElement.attribute(rowsPerBeatName);
    if (!rows) {
        rows = tracksElement.attribute(highlightRowStepName);
    }
    if (rows) {
        if (ParseNumber(rows.value(), tempo.rowsPerBeat) != NumberText::Valid || tempo.rowsPerBeat <= 0) {
            FailAt(tracksElement, FormatText("%s \"%s\" is not a positive whole number of rows a beat", rows.name(), rows.value()));
        }
    }
    if (const pugi::xml_attribute grid = tracksElement.attribute(rowGridName)) {
        const std::string_view value = grid.value();
        if (value != "module" && value != "tempo") {
            FailAt(tracksElement, FormatText("%s \"%s\" is neither \"tempo\" nor \"module\"", grid.name(), grid.value()));
        }
        tempo.moduleGrid = value == "module";
    }
    return tempo;
}

void AppendAttribute(pugi::xml_node& element, const std::string& name, const std::string& value)
{
    element.append_attribute(name.c_str()).set_value(value.c_str());
}

void AppendMark(pugi::xml_node& root, const std::string& mark)
{
    pugi::xml_document parsed;
    if (!parsed.load_buffer(mark.data(), mark.size(), pugi::parse_default, pugi::encoding_utf8) || !parsed.document_element()) {
        DebugOutput(FormatText("Tracks file: left out an editor's mark that is not XML: %s\n", mark.c_str()));
        return;
    }
    root.append_copy(parsed.document_element());
}

void AppendTrack(pugi::xml_node& tracksElement, const SyncTrack& track)
{
    pugi::xml_node element = tracksElement.append_child("track");
    AppendAttribute(element, "name", track.Name());
    for (const auto& [name, value] : track.editorAttributes) {
        if (name != "name") {
            AppendAttribute(element, name, value);
        }
    }
    for (const TrackKey& key : track.Keys()) {
        pugi::xml_node keyElement = element.append_child("key");
        AppendAttribute(keyElement, "row", std::to_string(key.row));
        AppendAttribute(keyElement, "value", ShortestText(key.value));
        AppendAttribute(keyElement, "interpolation", std::to_string(static_cast<int>(key.interpolation)));
    }
}

// A file descriptor, closed when it goes.
class OpenDescriptor {
public:
    explicit OpenDescriptor(int descriptor) : descriptor(descriptor) {}
    ~OpenDescriptor()
    {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
    OpenDescriptor(const OpenDescriptor&) = delete;
    OpenDescriptor& operator=(const OpenDescriptor&) = delete;

    int Get() const { return descriptor; }
    bool IsOpen() const { return descriptor >= 0; }
    // Closes now, for the error a close may report: a write that failed late.
    bool Close()
    {
        const int result = close(descriptor);
        descriptor = -1;
        return result == 0;
    }

private:
    int descriptor;
};

[[noreturn]] void ReadFailure(const std::string& path, const char* reason)
{
    throw DemoMessage(FormatText("Unable to read tracks file %s: %s", path.c_str(), reason));
}

[[noreturn]] void SaveFailure(const std::string& path, const std::string& reason)
{
    throw DemoMessage(FormatText("Unable to save tracks file %s: %s", path.c_str(), reason.c_str()));
}

std::string FileText(const std::string& path)
{
    // Non-blocking, so that a named pipe is refused rather than waited on.
    const OpenDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen()) {
        ReadFailure(path, std::strerror(errno));
    }
    struct stat status {};
    if (fstat(file.Get(), &status) != 0) {
        ReadFailure(path, std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        ReadFailure(path, "it is not a regular file");
    }
    std::string text;
    std::array<char, 65536> block{};
    for (;;) {
        const ssize_t length = read(file.Get(), block.data(), block.size());
        if (length > 0) {
            text.append(block.data(), static_cast<std::size_t>(length));
        } else if (length == 0) {
            return text;
        } else if (errno != EINTR) {
            ReadFailure(path, std::strerror(errno));
        }
    }
}

// The file at the end of a path's chain of symbolic links, relative targets
// taken from the link's folder. Stops where a link cannot be read, saying
// why in the error.
std::filesystem::path FileBehindLinks(const std::string& path, std::error_code& error)
{
    std::filesystem::path file = path;
    for (int hops = 0;; ++hops) {
        // A file not there yet, or not to be looked at, is no link: what
        // comes next says why it cannot be used.
        std::error_code unknown;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, unknown))) {
            return file;
        }
        if (hops == linkHopLimit) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return file;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error) {
            return file;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
}

// A new version of a file, written under another name in the same folder
// and renamed over the file once whole and on the disk; removed again if it
// never gets there.
class FileReplacement {
public:
    FileReplacement(std::filesystem::path target, const std::string& shownPath);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void Write(std::string_view bytes);
    // Gives the new version the old one's permission bits, puts it on the
    // disk and renames it over the old one.
    void Commit();

private:
    // Made like any new file, so that the umask applies; a name left by an
    // earlier run that died is passed over.
    int CreateBeside();

    std::filesystem::path target;
    const std::string& shownPath;
    std::filesystem::path temporary;
    OpenDescriptor file;
    bool renamed = false;
};

FileReplacement::FileReplacement(std::filesystem::path target, const std::string& shownPath)
    : target(std::move(target)), shownPath(shownPath), file(CreateBeside())
{
    if (!file.IsOpen()) {
        SaveFailure(shownPath, FormatText("cannot make a new file in its folder (%s)", std::strerror(errno)));
    }
}

FileReplacement::~FileReplacement()
{
    if (!renamed) {
        unlink(temporary.c_str());
    }
}

int FileReplacement::CreateBeside()
{
    static std::atomic<unsigned> serial{0};
    constexpr int attempts = 100;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        temporary = target;
        temporary.replace_filename(FormatText(".%s.saving-%d-%u", target.filename().c_str(), static_cast<int>(getpid()), serial++));
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;  // errno still says EEXIST
}

void FileReplacement::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(file.Get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            SaveFailure(shownPath, FormatText("cannot write the new version (%s)", std::strerror(errno)));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void FileReplacement::Commit()
{
    struct stat old {};
    if (stat(target.c_str(), &old) == 0 && fchmod(file.Get(), old.st_mode & 07777) != 0) {
        SaveFailure(shownPath, FormatText("cannot give the new version the old one's permissions (%s)", std::strerror(errno)));
    }
    if (fsync(file.Get()) != 0 || !file.Close()) {
        SaveFailure(shownPath, FormatText("cannot write the new version (%s)", std::strerror(errno)));
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        SaveFailure(shownPath, FormatText("cannot replace it (%s)", std::strerror(errno)));
    }
    renamed = true;
    // The rename reaches the disk with the folder; the file is saved either way.
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const OpenDescriptor folderFile(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFile.IsOpen()) {
        fsync(folderFile.Get());
    }
}

}  // namespace

SyncTracks ReadRocketFile(const std::string& path)
{
    return ParseRocketXml(FileText(path), path);
}

SyncTracks ParseRocketXml(std::string_view text, const std::string& fileName)
{
    return TracksFileReader(text, fileName).Read();
}

std::string RocketXml(const SyncTracks& tracks)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node root = document.append_child("rootElement");
    for (const std::string& mark : tracks.editorMarks) {
        AppendMark(root, mark);
    }

    pugi::xml_node tracksElement = root.append_child("tracks");
    const XmlAttributes& kept = tracks.tracksAttributes.empty() ? defaultTracksAttributes : tracks.tracksAttributes;
    for (const auto& [name, value] : kept) {
        if (!IsTempoAttribute(name)) {
            AppendAttribute(tracksElement, name, value);
        }
    }
    AppendAttribute(tracksElement, rowsPerBeatName, std::to_string(tracks.tempo.rowsPerBeat));
    AppendAttribute(tracksElement, beatsPerMinuteName, ShortestText(tracks.tempo.beatsPerMinute));
    if (tracks.tempo.moduleGrid) {
        AppendAttribute(tracksElement, rowGridName, "module");
    }
    // The original editor looks for the rows on the root element.
    if (const pugi::xml_attribute rows = tracksElement.attribute("rows")) {
        root.append_attribute("rows").set_value(rows.value());
    }

    for (std::size_t index = 0; index < tracks.Size(); ++index) {
        const SyncTrack& track = tracks[index];
        if (track.HasKeys() || track.keptInFile) {
            AppendTrack(tracksElement, track);
        }
    }

    std::ostringstream text;
    document.save(text, "\t", pugi::format_indent, pugi::encoding_utf8);
    return text.str();
}

std::string WriteRocketFile(const SyncTracks& tracks, const std::string& path)
{
    std::string text = RocketXml(tracks);
    std::error_code error;
    const std::filesystem::path file = FileBehindLinks(path, error);
    if (error) {
        SaveFailure(path, FormatText("cannot follow its links (%s)", error.message().c_str()));
    }
    FileReplacement replacement(file, path);
    replacement.Write(text);
    replacement.Commit();
    return text;
}

std::string RecoveryPathFor(const std::string& path)
{
    // A chain that cannot be followed to its end still gives a place to write.
    std::error_code ignored;
    std::filesystem::path file = FileBehindLinks(path, ignored);
    file.replace_filename(file.stem().string() + ".recovered" + file.extension().string());
    return file.string();
}
