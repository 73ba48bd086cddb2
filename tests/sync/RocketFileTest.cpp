#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "core/DemoMessage.h"
#include "support/TemporaryFolder.h"
#include "sync/RocketFile.h"

namespace fs = std::filesystem;

namespace {

const std::string fileName = "data/demo.rocket";

SyncTracks Parse(std::string_view text)
{
    return ParseRocketXml(text, fileName);
}

// The message reading the text fails with; empty when it reads.
std::string ReadError(std::string_view text)
{
    try {
        Parse(text);
    } catch (const DemoMessage& message) {
        return message.Text();
    }
    return {};
}

std::vector<TrackKey> Keys(const SyncTracks& tracks, std::string_view name)
{
    const SyncTrack* track = tracks.Find(name);
    return track == nullptr ? std::vector<TrackKey>{} : track->Keys();
}

std::vector<std::string> TrackNames(const SyncTracks& tracks)
{
    std::vector<std::string> names;
    for (std::size_t index = 0; index < tracks.Size(); ++index) {
        names.push_back(tracks[index].Name());
    }
    return names;
}

void ExpectSameTracks(const SyncTracks& expected, const SyncTracks& actual)
{
    ASSERT_EQ(TrackNames(expected), TrackNames(actual));
    for (std::size_t index = 0; index < expected.Size(); ++index) {
        SCOPED_TRACE(expected[index].Name());
        EXPECT_EQ(expected[index].Keys(), actual[index].Keys());
        EXPECT_EQ(expected[index].keptInFile, actual[index].keptInFile);
        EXPECT_EQ(expected[index].editorAttributes, actual[index].editorAttributes);
    }
    EXPECT_EQ(expected.tempo, actual.tempo);
    EXPECT_EQ(expected.tracksAttributes, actual.tracksAttributes);
    EXPECT_EQ(expected.editorMarks, actual.editorMarks);
}

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::set<std::string> FolderEntries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// ---------------------------------------------------------------------------
// The editors' own files, byte for byte as each writes them.

// The original editor: QDomDocument::toString of a <sync> element with the
// whitespace put in as text nodes; QString::setNum gives the floats six
// significant digits.
const std::string originalEditorFile =
    "<sync rows=\"128\">\n"
    "\t<tracks>\n"
    "\t\t<track name=\"glow\">\n"
    "\t\t\t<key row=\"0\" value=\"0.5\" interpolation=\"1\"/>\n"
    "\t\t\t<key row=\"32\" value=\"1.23457e+08\" interpolation=\"2\"/>\n"
    "\t\t\t<key row=\"64\" value=\"-1.25\" interpolation=\"0\"/>\n"
    "\t\t</track>\n"
    "\t\t<track name=\"unused\"/>\n"
    "\t</tracks>\n"
    "\t<bookmarks>\n"
    "\t\t<bookmark row=\"8\"/>\n"
    "\t\t<bookmark row=\"24\"/>\n"
    "\t</bookmarks>\n"
    "</sync>\n";

TEST(RocketFileTest, ReadsTheOriginalEditorsFile)
{
    const SyncTracks tracks = Parse(originalEditorFile);
    EXPECT_EQ(TrackNames(tracks), (std::vector<std::string>{"glow", "unused"}));
    EXPECT_EQ(Keys(tracks, "glow"), (std::vector<TrackKey>{{0, 0.5f, KeyInterpolation::Linear},
                                                           {32, 1.23457e+08f, KeyInterpolation::Smooth},
                                                           {64, -1.25f, KeyInterpolation::Step}}));
    EXPECT_FALSE(tracks.Find("unused")->HasKeys());
    EXPECT_TRUE(tracks.Find("unused")->keptInFile);
    EXPECT_TRUE(tracks.Find("glow")->keptInFile);
    EXPECT_TRUE(tracks.Find("glow")->editorAttributes.empty());
    // Its rows live on the root element; its bookmarks inside <bookmarks>.
    EXPECT_EQ(tracks.tracksAttributes, (XmlAttributes{{"rows", "128"}}));
    EXPECT_EQ(tracks.editorMarks, (std::vector<std::string>{"<bookmark row=\"8\" />", "<bookmark row=\"24\" />"}));
    EXPECT_EQ(tracks.tempo, SyncTempo{});
}

// The RocketEditor before it kept marks: mxml's output with the editor's
// whitespace callback, "%f" values, "%08x" colours, and mxml's line wrap at
// column 72 (a tab counts to the next multiple of 8), which breaks the long
// key before its interpolation.
const std::string olderRocketEditorFile =
    "<?xml version=\"1.0\"?>\n"
    "<tracks rows=\"10000\" startRow=\"0\" endRow=\"10000\">\n"
    "\t<track name=\"glow\" folded=\"0\" color=\"ff8fbc8f\">\n"
    "\t\t<key row=\"0\" value=\"0.500000\" interpolation=\"1\" />\n"
    "\t\t<key row=\"1000\" value=\"-123456792.000000\"\n"
    "interpolation=\"3\" />\n"
    "\t</track>\n"
    "\t<track name=\"unused\" folded=\"1\" color=\"ff4fa0e0\" />\n"
    "</tracks>\n";

TEST(RocketFileTest, ReadsTheOlderRocketEditorsFile)
{
    const SyncTracks tracks = Parse(olderRocketEditorFile);
    EXPECT_EQ(TrackNames(tracks), (std::vector<std::string>{"glow", "unused"}));
    EXPECT_EQ(Keys(tracks, "glow"), (std::vector<TrackKey>{{0, 0.5f, KeyInterpolation::Linear},
                                                           {1000, -123456792.0f, KeyInterpolation::Ramp}}));
    EXPECT_EQ(tracks.Find("glow")->editorAttributes, (XmlAttributes{{"folded", "0"}, {"color", "ff8fbc8f"}}));
    EXPECT_EQ(tracks.Find("unused")->editorAttributes, (XmlAttributes{{"folded", "1"}, {"color", "ff4fa0e0"}}));
    EXPECT_TRUE(tracks.Find("unused")->keptInFile);
    EXPECT_EQ(tracks.tracksAttributes, (XmlAttributes{{"rows", "10000"}, {"startRow", "0"}, {"endRow", "10000"}}));
    EXPECT_TRUE(tracks.editorMarks.empty());
    EXPECT_EQ(tracks.tempo, SyncTempo{});
}

// The RocketEditor now: marks and folded groups beside <tracks> in a
// <rootElement>, which its whitespace callback leaves unindented while
// indenting the root's closing tag. mxml wraps the attributes that pass
// column 72 onto a line of their own.
const std::string newerRocketEditorFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<rootElement>\n"
    "\t<bookmark row=\"8\" />\n"
    "\t<loopmark row=\"64\" />\n"
    "\t<group name=\"camera\" />\n"
    "<tracks rows=\"10000\" startRow=\"0\" endRow=\"512\" rowsPerBeat=\"4\">\n"
    "\t<track name=\"glow\" folded=\"0\" muteKeyCount=\"0\" color=\"ff8fbc8f\">\n"
    "\t\t<key row=\"0\" value=\"0.500000\" interpolation=\"1\" />\n"
    "\t\t<key row=\"16\" value=\"1.000000\" interpolation=\"0\" />\n"
    "\t</track>\n"
    "\t<track name=\"camera:distance\" folded=\"0\" muteKeyCount=\"0\"\n"
    "color=\"ff4fa0e0\">\n"
    "\t\t<key row=\"0\" value=\"400.000000\" interpolation=\"2\" />\n"
    "\t</track>\n"
    "\t<track name=\"fade\" folded=\"0\" muteKeyCount=\"1\" color=\"ffe0a040\"\n"
    "muteValue=\"0.250000\">\n"
    "\t\t<key row=\"4\" value=\"2.000000\" interpolation=\"0\" />\n"
    "\t</track>\n"
    "</tracks>\n"
    "\t</rootElement>\n";

TEST(RocketFileTest, ReadsTheNewerRocketEditorsFile)
{
    const SyncTracks tracks = Parse(newerRocketEditorFile);
    EXPECT_EQ(TrackNames(tracks), (std::vector<std::string>{"glow", "camera:distance", "fade"}));
    EXPECT_EQ(Keys(tracks, "glow"),
              (std::vector<TrackKey>{{0, 0.5f, KeyInterpolation::Linear}, {16, 1.0f, KeyInterpolation::Step}}));
    EXPECT_EQ(Keys(tracks, "camera:distance"), (std::vector<TrackKey>{{0, 400.0f, KeyInterpolation::Smooth}}));
    // A muted track's file keys are its real keys; the mute is the editor's.
    EXPECT_EQ(Keys(tracks, "fade"), (std::vector<TrackKey>{{4, 2.0f, KeyInterpolation::Step}}));
    EXPECT_EQ(tracks.Find("fade")->editorAttributes,
              (XmlAttributes{{"folded", "0"}, {"muteKeyCount", "1"}, {"color", "ffe0a040"}, {"muteValue", "0.250000"}}));
    EXPECT_EQ(tracks.Find("camera:distance")->editorAttributes,
              (XmlAttributes{{"folded", "0"}, {"muteKeyCount", "0"}, {"color", "ff4fa0e0"}}));
    EXPECT_EQ(tracks.tempo.rowsPerBeat, 4);
    EXPECT_EQ(tracks.tempo.beatsPerMinute, SyncTempo::defaultBeatsPerMinute);
    EXPECT_EQ(tracks.tracksAttributes, (XmlAttributes{{"rows", "10000"}, {"startRow", "0"}, {"endRow", "512"}}));
    EXPECT_EQ(tracks.editorMarks,
              (std::vector<std::string>{"<bookmark row=\"8\" />", "<loopmark row=\"64\" />", "<group name=\"camera\" />"}));
}

TEST(RocketFileTest, ReadsTheTempoFromTracksAndTheOlderNameForRowsPerBeat)
{
    const SyncTracks withTempo = Parse("<tracks rows=\"100\" rowsPerBeat=\"6\" beatsPerMin=\"123.5\"><track name=\"a\"/></tracks>");
    EXPECT_EQ(withTempo.tempo.beatsPerMinute, 123.5);
    EXPECT_EQ(withTempo.tempo.rowsPerBeat, 6);
    EXPECT_EQ(withTempo.tracksAttributes, (XmlAttributes{{"rows", "100"}}));

    // highlightRowStep stands in for rowsPerBeat, and is kept for the editor.
    const SyncTracks older = Parse("<tracks highlightRowStep=\"3\"><track name=\"a\"/></tracks>");
    EXPECT_EQ(older.tempo.rowsPerBeat, 3);
    EXPECT_EQ(older.tracksAttributes, (XmlAttributes{{"highlightRowStep", "3"}}));
    const SyncTracks both = Parse("<tracks highlightRowStep=\"3\" rowsPerBeat=\"5\"><track name=\"a\"/></tracks>");
    EXPECT_EQ(both.tempo.rowsPerBeat, 5);
}

TEST(RocketFileTest, ReadsTheExampleFileOfRocketsOwnRepository)
{
    // The head of example/cube.rocket: <tracks> as the root, no declaration.
    const SyncTracks tracks = Parse(
        "<tracks rows=\"128\">\n"
        "\t<track name=\"clearR\">\n"
        "\t\t<key row=\"0\" value=\"45.000000\" interpolation=\"0\"/>\n"
        "\t\t<key row=\"11\" value=\"45.000000\" interpolation=\"2\"/>\n"
        "\t</track>\n"
        "\t<track name=\"distance\">\n"
        "\t\t<key row=\"0\" value=\"400.000000\" interpolation=\"0\"/>\n"
        "\t</track>\n"
        "</tracks>\n");
    EXPECT_EQ(TrackNames(tracks), (std::vector<std::string>{"clearR", "distance"}));
    EXPECT_EQ(Keys(tracks, "clearR"),
              (std::vector<TrackKey>{{0, 45.0f, KeyInterpolation::Step}, {11, 45.0f, KeyInterpolation::Smooth}}));
    EXPECT_EQ(tracks.tracksAttributes, (XmlAttributes{{"rows", "128"}}));
}

TEST(RocketFileTest, FindsTracksHoweverNestedAndInSeveralTopLevelElements)
{
    const SyncTracks tracks = Parse(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"
        "<bookmark row=\"3\"/>\n"
        "<tracks rows=\"32\"><track name=\"a\" folded=\"1\"><key row=\"1\" value=\"1\" interpolation=\"0\"/></track></tracks>\n"
        "<extra><deeper><track name=\"b\"><key row=\"2\" value=\"2\" interpolation=\"1\"/></track></deeper></extra>\n"
        "<track name=\"a\" color=\"ff000000\"><key row=\"5\" value=\"5\" interpolation=\"3\"/></track>\n");
    EXPECT_EQ(TrackNames(tracks), (std::vector<std::string>{"a", "b"}));
    // A name met twice is one track with the keys of both elements and the
    // editor's attributes of the first.
    EXPECT_EQ(Keys(tracks, "a"), (std::vector<TrackKey>{{1, 1.0f, KeyInterpolation::Step}, {5, 5.0f, KeyInterpolation::Ramp}}));
    EXPECT_EQ(tracks.Find("a")->editorAttributes, (XmlAttributes{{"folded", "1"}}));
    EXPECT_EQ(Keys(tracks, "b"), (std::vector<TrackKey>{{2, 2.0f, KeyInterpolation::Linear}}));
    EXPECT_EQ(tracks.editorMarks, (std::vector<std::string>{"<bookmark row=\"3\" />"}));
    // The tracks element that holds the rows is the one read, not the first element.
    EXPECT_EQ(tracks.tracksAttributes, (XmlAttributes{{"rows", "32"}}));
}

TEST(RocketFileTest, KeptMarksLeaveOutWhatIsInsideThem)
{
    const SyncTracks tracks = Parse(
        "<rootElement><group name=\"g\"><bookmark row=\"1\"/><track name=\"inner\"/></group><tracks/></rootElement>");
    EXPECT_EQ(tracks.editorMarks, (std::vector<std::string>{"<group name=\"g\" />", "<bookmark row=\"1\" />"}));
    EXPECT_EQ(TrackNames(tracks), (std::vector<std::string>{"inner"}));
    // A file with <tracks> and no track is an empty set.
    EXPECT_EQ(Parse("<tracks rows=\"8\"/>").Size(), 0u);
}

// ---------------------------------------------------------------------------
// Kestrova's own output.

TEST(RocketFileTest, WritesTheNewerFormWithTheTempoTabIndented)
{
    SyncTracks tracks;
    tracks.tempo.beatsPerMinute = 124.0;
    tracks.editorMarks.push_back("<bookmark row=\"8\" />");
    SyncTrack& glow = tracks.Track("glow");
    glow.editorAttributes = {{"color", "ff8fbc8f"}};
    glow.SetKey({0, 0.5f, KeyInterpolation::Linear});
    glow.SetKey({12, 0.1f, KeyInterpolation::Ramp});
    tracks.Track("kept").keptInFile = true;
    tracks.Drive("driven only");  // neither keys nor a file to keep it: left out

    EXPECT_EQ(RocketXml(tracks),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<rootElement rows=\"10000\">\n"
              "\t<bookmark row=\"8\" />\n"
              "\t<tracks rows=\"10000\" startRow=\"0\" endRow=\"10000\" rowsPerBeat=\"8\" beatsPerMin=\"124\">\n"
              "\t\t<track name=\"glow\" color=\"ff8fbc8f\">\n"
              "\t\t\t<key row=\"0\" value=\"0.5\" interpolation=\"1\" />\n"
              "\t\t\t<key row=\"12\" value=\"0.1\" interpolation=\"3\" />\n"
              "\t\t</track>\n"
              "\t\t<track name=\"kept\" />\n"
              "\t</tracks>\n"
              "</rootElement>\n");
}

TEST(RocketFileTest, KeptTracksAttributesAreWrittenInTheirOrderBeforeTheTempo)
{
    SyncTracks tracks;
    tracks.tracksAttributes = {{"rows", "128"}, {"highlightRowStep", "4"}};
    tracks.tempo.rowsPerBeat = 4;
    tracks.tempo.beatsPerMinute = 0.1 + 0.2;  // needs all seventeen digits
    const std::string text = RocketXml(tracks);
    EXPECT_NE(text.find("<rootElement rows=\"128\">"), std::string::npos) << text;
    EXPECT_NE(text.find("<tracks rows=\"128\" highlightRowStep=\"4\" rowsPerBeat=\"4\" beatsPerMin=\"0.30000000000000004\" />"),
              std::string::npos)
        << text;
}

TEST(RocketFileTest, AMarkThatIsNotXmlIsLeftOutAndTheRestWritten)
{
    SyncTracks tracks;
    tracks.editorMarks = {"<bookmark row=\"1\"", "just text", "<bookmark row=\"2\" />"};
    tracks.Track("a").SetKey({0, 1.0f, KeyInterpolation::Step});
    const SyncTracks read = Parse(RocketXml(tracks));
    EXPECT_EQ(read.editorMarks, (std::vector<std::string>{"<bookmark row=\"2\" />"}));
    EXPECT_EQ(Keys(read, "a"), (std::vector<TrackKey>{{0, 1.0f, KeyInterpolation::Step}}));
}

// A set with every kind of thing a file holds, values at the edges of what a
// float can say.
SyncTracks EverythingSet()
{
    SyncTracks tracks;
    tracks.tempo = {137.25, 6};
    tracks.tracksAttributes = {{"rows", "4096"}, {"startRow", "16"}, {"endRow", "2048"}};
    tracks.editorMarks = {"<bookmark row=\"8\" />", "<loopmark row=\"64\" />", "<group name=\"a &amp; b\" />"};
    SyncTrack& values = tracks.Track("values");
    values.editorAttributes = {{"folded", "1"}, {"color", "ff8fbc8f"}};
    values.keptInFile = true;
    const float edges[] = {0.1f, -0.0f, 1e-7f, 1.17549435e-38f, 1.4e-45f, 3.40282347e+38f, -3.40282347e+38f, 16777215.0f, 123456.789f};
    int row = 0;
    for (const float value : edges) {
        values.SetKey({row, value, static_cast<KeyInterpolation>(row % keyInterpolationCount)});
        row += 7;
    }
    values.SetKey({2147483647, 1.0f, KeyInterpolation::Step});
    tracks.Track("unkeyed but kept").keptInFile = true;
    SyncTrack& awkward = tracks.Track("quote\" less< amp& more> apos' tab\tend");
    awkward.SetKey({3, 2.0f, KeyInterpolation::Smooth});
    return tracks;
}

TEST(RocketFileTest, OwnOutputReadsBackTheSame)
{
    const SyncTracks written = EverythingSet();
    SyncTracks read = Parse(RocketXml(written));
    // Everything read from a file is kept in the file.
    for (std::size_t index = 0; index < read.Size(); ++index) {
        EXPECT_TRUE(read[index].keptInFile);
    }
    read.Find("quote\" less< amp& more> apos' tab\tend")->keptInFile = false;
    ExpectSameTracks(written, read);
    // And again, unchanged.
    EXPECT_EQ(RocketXml(Parse(RocketXml(read))), RocketXml(read));
}

TEST(RocketFileTest, EditorsFilesReadAndWrittenKeepEverythingTheEditorsKeep)
{
    for (const std::string* file : {&originalEditorFile, &olderRocketEditorFile, &newerRocketEditorFile}) {
        const SyncTracks read = Parse(*file);
        ExpectSameTracks(read, Parse(RocketXml(read)));
    }
}

// What an editor takes from a file, gathered as that editor gathers it.
struct EditorView {
    int rows = -1;
    int rowsPerBeat = -1;
    std::vector<std::pair<std::string, std::vector<TrackKey>>> tracks;
    std::vector<int> bookmarks;
};

TrackKey KeyAsEditorsRead(const pugi::xml_node& key)
{
    return {std::atoi(key.attribute("row").value()), std::strtof(key.attribute("value").value(), nullptr),
            static_cast<KeyInterpolation>(std::atoi(key.attribute("interpolation").value()))};
}

// The original editor: QDomDocument needs a single root element; the rows
// are on it, every <track> under it counts, with its <key> children.
EditorView AsTheOriginalEditorReads(const std::string& text)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str()));
    int topElements = 0;
    for (const pugi::xml_node& node : document.children()) {
        topElements += node.type() == pugi::node_element ? 1 : 0;
    }
    EXPECT_EQ(topElements, 1);
    EditorView view;
    const pugi::xml_node root = document.document_element();
    if (root.attribute("rows")) {
        view.rows = std::atoi(root.attribute("rows").value());
    }
    for (const pugi::xpath_node& track : root.select_nodes(".//track")) {
        std::vector<TrackKey> keys;
        for (const pugi::xml_node& key : track.node().children("key")) {
            keys.push_back(KeyAsEditorsRead(key));
        }
        view.tracks.emplace_back(track.node().attribute("name").value(), keys);
    }
    for (const pugi::xpath_node& bookmark : root.select_nodes(".//bookmark")) {
        view.bookmarks.push_back(std::atoi(bookmark.node().attribute("row").value()));
    }
    return view;
}

// The RocketEditor: mxml walks every element in document order; <tracks>
// gives the rows a beat, each <key> belongs to the <track> last met.
EditorView AsTheRocketEditorReads(const std::string& text)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str()));
    EditorView view;
    for (const pugi::xpath_node& found : document.select_nodes("//*")) {
        const pugi::xml_node element = found.node();
        const std::string name = element.name();
        if (name == "tracks") {
            const pugi::xml_attribute rowsPerBeat = element.attribute("rowsPerBeat");
            view.rowsPerBeat = std::atoi((rowsPerBeat ? rowsPerBeat : element.attribute("highlightRowStep")).value());
            view.rows = std::atoi(element.attribute("rows").value());
        } else if (name == "track") {
            view.tracks.emplace_back(element.attribute("name").value(), std::vector<TrackKey>{});
        } else if (name == "key" && !view.tracks.empty()) {
            view.tracks.back().second.push_back(KeyAsEditorsRead(element));
        } else if (name == "bookmark") {
            view.bookmarks.push_back(std::atoi(element.attribute("row").value()));
        }
    }
    return view;
}

TEST(RocketFileTest, BothEditorsReadOwnOutput)
{
    SyncTracks tracks;
    tracks.tempo.rowsPerBeat = 4;
    tracks.tracksAttributes = {{"rows", "2048"}, {"startRow", "0"}, {"endRow", "2048"}};
    tracks.editorMarks = {"<bookmark row=\"8\" />", "<bookmark row=\"40\" />"};
    tracks.Track("glow").SetKey({0, 0.25f, KeyInterpolation::Linear});
    tracks.Track("glow").SetKey({1500, 1e10f, KeyInterpolation::Step});
    tracks.Track("camera:distance").SetKey({16, -400.5f, KeyInterpolation::Smooth});
    tracks.Track("kept").keptInFile = true;
    const std::vector<std::pair<std::string, std::vector<TrackKey>>> expectedTracks = {
        {"glow", {{0, 0.25f, KeyInterpolation::Linear}, {1500, 1e10f, KeyInterpolation::Step}}},
        {"camera:distance", {{16, -400.5f, KeyInterpolation::Smooth}}},
        {"kept", {}},
    };
    const std::string text = RocketXml(tracks);

    const EditorView original = AsTheOriginalEditorReads(text);
    EXPECT_EQ(original.rows, 2048);
    EXPECT_EQ(original.tracks, expectedTracks);
    EXPECT_EQ(original.bookmarks, (std::vector<int>{8, 40}));

    const EditorView rocketEditor = AsTheRocketEditorReads(text);
    EXPECT_EQ(rocketEditor.rows, 2048);
    EXPECT_EQ(rocketEditor.rowsPerBeat, 4);
    EXPECT_EQ(rocketEditor.tracks, expectedTracks);
    EXPECT_EQ(rocketEditor.bookmarks, (std::vector<int>{8, 40}));
}

// ---------------------------------------------------------------------------
// Faults, each with its message and line.

std::string InTrack(const std::string& key)
{
    return "<tracks>\n<track name=\"glow\">\n" + key + "\n</track>\n</tracks>\n";
}

const std::string keyLine = "Unable to read tracks file data/demo.rocket, line 3: ";

TEST(RocketFileTest, NotXmlIsReportedWithPugixmlsWordsAndTheLine)
{
    EXPECT_EQ(ReadError("<tracks>\n<track name=\"a\">\n</tracks>"),
              "Unable to read tracks file data/demo.rocket, line 3: Start-end tags mismatch");
    EXPECT_EQ(ReadError("<tracks>\n\n\n<key row=\"1\" value=\"2\n"),
              "Unable to read tracks file data/demo.rocket, line 4: Error parsing element attribute");
    EXPECT_EQ(ReadError(""), "Unable to read tracks file data/demo.rocket, line 1: No document element found");
    EXPECT_EQ(ReadError("<tracks>\n<track name=\"a\" name=\"b\"/></tracks>"),
              "Unable to read tracks file data/demo.rocket, line 2: a <track> element has two attributes named \"name\"");
}

TEST(RocketFileTest, XmlWithoutTracksIsRefused)
{
    EXPECT_EQ(ReadError("<?xml version=\"1.0\"?>\n<sync rows=\"8\"><bookmarks/></sync>\n"),
              "Unable to read tracks file data/demo.rocket: there are no tracks in it (no <tracks> or <track> element)");
}

TEST(RocketFileTest, TracksAndKeysMissingWhatTheyNeedAreRefused)
{
    EXPECT_EQ(ReadError("<tracks>\n\n<track/>\n</tracks>"),
              "Unable to read tracks file data/demo.rocket, line 3: a <track> element has no name");
    EXPECT_EQ(ReadError("<tracks>\n<track name=\"\"/>\n</tracks>"),
              "Unable to read tracks file data/demo.rocket, line 2: a <track> element has no name");
    EXPECT_EQ(ReadError(InTrack("<key value=\"1\" interpolation=\"0\"/>")), keyLine + "a key of track \"glow\" has no row");
    EXPECT_EQ(ReadError(InTrack("<key row=\"32\" interpolation=\"0\"/>")),
              keyLine + "the key at row 32 of track \"glow\" has no value");
    EXPECT_EQ(ReadError(InTrack("<key row=\"32\" value=\"1\"/>")),
              keyLine + "the key at row 32 of track \"glow\" has no interpolation");
}

TEST(RocketFileTest, NumbersWithAnythingElseInThemAreRefused)
{
    for (const std::string text : {"12x", "", "1e", " 3", "3 ", "+3", "0x10", "1.0"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadError(InTrack("<key row=\"" + text + "\" value=\"1\" interpolation=\"0\"/>")),
                  keyLine + "the row \"" + text + "\" of a key of track \"glow\" is not a whole number");
        EXPECT_EQ(ReadError(InTrack("<key row=\"5\" value=\"1\" interpolation=\"" + text + "\"/>")),
                  keyLine + "the interpolation \"" + text + "\" at row 5 of track \"glow\" is not a whole number");
    }
    for (const std::string text : {"12x", "", "1e", " 3", "+3", "1,5", "0x10"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadError(InTrack("<key row=\"5\" value=\"" + text + "\" interpolation=\"0\"/>")),
                  keyLine + "the value \"" + text + "\" at row 5 of track \"glow\" is not a number");
    }
}

TEST(RocketFileTest, NumbersOutOfRangeAreRefused)
{
    for (const std::string row : {"-1", "2147483648", "99999999999999999999"}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(ReadError(InTrack("<key row=\"" + row + "\" value=\"1\" interpolation=\"0\"/>")),
                  keyLine + "the row \"" + row + "\" of a key of track \"glow\" is out of range (0 to 2147483647)");
    }
    EXPECT_EQ(ReadError(InTrack("<key row=\"2147483647\" value=\"1\" interpolation=\"0\"/>")), "");
    for (const std::string value : {"1e39", "-3.5e38", "inf", "-infinity", "nan", "1e-50"}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(ReadError(InTrack("<key row=\"5\" value=\"" + value + "\" interpolation=\"0\"/>")),
                  keyLine + "the value \"" + value + "\" at row 5 of track \"glow\" is not a finite number in a float's range");
    }
    // The largest float, as the RocketEditor's "%f" writes it, and the smallest.
    EXPECT_EQ(ReadError(InTrack("<key row=\"5\" value=\"340282346638528859811704183484516925440.000000\" interpolation=\"0\"/>")),
              "");
    EXPECT_EQ(ReadError(InTrack("<key row=\"5\" value=\"1.4e-45\" interpolation=\"0\"/>")), "");
}

TEST(RocketFileTest, UnknownInterpolationsAreRefused)
{
    for (const std::string interpolation : {"4", "-1", "7", "99999999999"}) {
        SCOPED_TRACE(interpolation);
        EXPECT_EQ(ReadError(InTrack("<key row=\"5\" value=\"1\" interpolation=\"" + interpolation + "\"/>")),
                  keyLine + "interpolation " + interpolation +
                      " at row 5 of track \"glow\" is none of 0 (step), 1 (linear), 2 (smooth), 3 (ramp)");
    }
}

TEST(RocketFileTest, TwoKeysOnOneRowOfATrackAreRefused)
{
    EXPECT_EQ(ReadError("<tracks>\n<track name=\"glow\">\n"
                        "<key row=\"16\" value=\"1\" interpolation=\"0\"/>\n"
                        "<key row=\"16\" value=\"2\" interpolation=\"0\"/>\n"
                        "</track>\n</tracks>"),
              "Unable to read tracks file data/demo.rocket, line 4: two keys on row 16 of track \"glow\"");
    // Also when the track's name comes twice.
    EXPECT_EQ(ReadError("<tracks>\n"
                        "<track name=\"glow\"><key row=\"16\" value=\"1\" interpolation=\"0\"/></track>\n"
                        "<track name=\"glow\"><key row=\"16\" value=\"1\" interpolation=\"0\"/></track>\n"
                        "</tracks>"),
              "Unable to read tracks file data/demo.rocket, line 3: two keys on row 16 of track \"glow\"");
    // The same row in two tracks is fine.
    EXPECT_EQ(ReadError("<tracks>"
                        "<track name=\"a\"><key row=\"16\" value=\"1\" interpolation=\"0\"/></track>"
                        "<track name=\"b\"><key row=\"16\" value=\"1\" interpolation=\"0\"/></track>"
                        "</tracks>"),
              "");
}

// Kestrova's own attribute: the editors keep it as they keep any.
TEST(RocketFileTest, TheRowGridIsReadAndWrittenWithTheTempo)
{
    const SyncTracks module = Parse("<tracks rowGrid=\"module\" rowsPerBeat=\"4\"><track name=\"a\"/></tracks>");
    EXPECT_TRUE(module.tempo.moduleGrid);
    EXPECT_TRUE(module.tracksAttributes.empty()) << "written from the tempo, not kept beside it";
    EXPECT_FALSE(Parse("<tracks rowGrid=\"tempo\"><track name=\"a\"/></tracks>").tempo.moduleGrid);
    EXPECT_FALSE(Parse("<tracks><track name=\"a\"/></tracks>").tempo.moduleGrid);

    const std::string written = RocketXml(module);
    EXPECT_NE(written.find("rowsPerBeat=\"4\" beatsPerMin=\"120\" rowGrid=\"module\""), std::string::npos) << written;
    EXPECT_TRUE(Parse(written).tempo.moduleGrid);
    EXPECT_EQ(RocketXml(Parse("<tracks rowGrid=\"tempo\"><track name=\"a\"/></tracks>")).find("rowGrid"), std::string::npos)
        << "the default is not written";

    EXPECT_EQ(ReadError("<rootElement>\n<tracks rowGrid=\"rows\">\n<track name=\"a\"/></tracks></rootElement>"),
              "Unable to read tracks file data/demo.rocket, line 2: rowGrid \"rows\" is neither \"tempo\" nor \"module\"");
}

TEST(RocketFileTest, InvalidTemposAreRefused)
{
    const auto tempoError = [](const std::string& attributes) {
        return ReadError("<rootElement>\n<tracks " + attributes + ">\n<track name=\"a\"/></tracks></rootElement>");
    };
    const std::string tracksLine = "Unable to read tracks file data/demo.rocket, line 2: ";
    for (const std::string beats : {"0", "-120", "inf", "nan", "x", "", "1e999"}) {
        SCOPED_TRACE(beats);
        EXPECT_EQ(tempoError("beatsPerMin=\"" + beats + "\""),
                  tracksLine + "beatsPerMin \"" + beats + "\" is not a positive number of beats a minute");
    }
    for (const std::string rows : {"0", "-4", "2.5", "x", "99999999999"}) {
        SCOPED_TRACE(rows);
        EXPECT_EQ(tempoError("rowsPerBeat=\"" + rows + "\""),
                  tracksLine + "rowsPerBeat \"" + rows + "\" is not a positive whole number of rows a beat");
    }
    EXPECT_EQ(tempoError("highlightRowStep=\"0\""),
              tracksLine + "highlightRowStep \"0\" is not a positive whole number of rows a beat");
    // Only the attribute that gives the tempo counts.
    EXPECT_EQ(tempoError("highlightRowStep=\"0\" rowsPerBeat=\"4\""), "");
}

// ---------------------------------------------------------------------------
// Files on the disk.

// The message reading the file fails with; empty when it reads.
std::string FileReadError(const std::string& path)
{
    try {
        ReadRocketFile(path);
    } catch (const DemoMessage& message) {
        return message.Text();
    }
    return {};
}

TEST(RocketFileTest, FilesThatCannotBeReadSayWhy)
{
    const TemporaryFolder folder;
    const std::string missing = (folder.Path() / "missing.rocket").string();
    EXPECT_EQ(FileReadError(missing), "Unable to read tracks file " + missing + ": No such file or directory");

    // A named pipe is refused at once, not waited on.
    const std::string pipe = (folder.Path() / "pipe.rocket").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& notAFile : {folder.Path().string(), pipe}) {
        EXPECT_EQ(FileReadError(notAFile), "Unable to read tracks file " + notAFile + ": it is not a regular file");
    }

    const fs::path broken = folder.Path() / "broken.rocket";
    WriteText(broken, "<tracks>\n<track name=\"a\"></tracks>");
    EXPECT_EQ(FileReadError(broken.string()), "Unable to read tracks file " + broken.string() + ", line 2: Start-end tags mismatch");
}

TEST(RocketFileTest, SavedFileReadsBackAndLeavesNothingElse)
{
    const TemporaryFolder folder;
    const fs::path file = folder.Path() / "demo.rocket";
    const SyncTracks tracks = EverythingSet();
    WriteRocketFile(tracks, file.string());
    EXPECT_EQ(ReadBytes(file), RocketXml(tracks));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"demo.rocket"}));
    SyncTracks read = ReadRocketFile(file.string());
    read.Find("quote\" less< amp& more> apos' tab\tend")->keptInFile = false;
    ExpectSameTracks(tracks, read);
}

TEST(RocketFileTest, SavingKeepsTheOldFilesPermissions)
{
    const TemporaryFolder folder;
    const fs::path file = folder.Path() / "demo.rocket";
    WriteText(file, originalEditorFile);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteRocketFile(Parse(originalEditorFile), file.string());
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ReadBytes(file), RocketXml(Parse(originalEditorFile)));
}

TEST(RocketFileTest, SavingThroughLinksReplacesTheFileAtTheEndAndKeepsTheLinks)
{
    const TemporaryFolder folder;
    fs::create_directory(folder.Path() / "real");
    const fs::path target = folder.Path() / "real" / "demo.rocket";
    WriteText(target, olderRocketEditorFile);
    // show.rocket -> data.rocket -> real/demo.rocket, each relative to its link's folder.
    fs::create_symlink("data.rocket", folder.Path() / "show.rocket");
    fs::create_symlink("real/demo.rocket", folder.Path() / "data.rocket");

    const SyncTracks tracks = EverythingSet();
    WriteRocketFile(tracks, (folder.Path() / "show.rocket").string());
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "show.rocket"));
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "data.rocket"));
    EXPECT_EQ(fs::read_symlink(folder.Path() / "show.rocket"), "data.rocket");
    EXPECT_EQ(ReadBytes(target), RocketXml(tracks));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"show.rocket", "data.rocket", "real"}));
    EXPECT_EQ(FolderEntries(folder.Path() / "real"), (std::set<std::string>{"demo.rocket"}));

    // A link to a file not there yet makes the file.
    fs::create_symlink(folder.Path() / "real" / "new.rocket", folder.Path() / "new.rocket");
    WriteRocketFile(tracks, (folder.Path() / "new.rocket").string());
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "new.rocket"));
    EXPECT_EQ(ReadBytes(folder.Path() / "real" / "new.rocket"), RocketXml(tracks));
}

// The message a save fails with; empty when it succeeds.
std::string SaveError(const SyncTracks& tracks, const std::string& path)
{
    try {
        WriteRocketFile(tracks, path);
    } catch (const DemoMessage& message) {
        return message.Text();
    }
    return {};
}

TEST(RocketFileTest, AFailedSaveLeavesTheOldFileAndNoTemporary)
{
    const TemporaryFolder folder;
    const SyncTracks tracks = EverythingSet();

    // A folder that is not there.
    const std::string nowhere = (folder.Path() / "missing" / "demo.rocket").string();
    EXPECT_EQ(SaveError(tracks, nowhere),
              "Unable to save tracks file " + nowhere + ": cannot make a new file in its folder (No such file or directory)");

    // A folder where the file should be.
    fs::create_directory(folder.Path() / "demo.rocket");
    const std::string folderPath = (folder.Path() / "demo.rocket").string();
    EXPECT_EQ(SaveError(tracks, folderPath), "Unable to save tracks file " + folderPath + ": cannot replace it (Is a directory)");
    EXPECT_TRUE(fs::is_directory(folderPath));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"demo.rocket"}));

    // Links that lead round in a circle.
    fs::create_symlink("b.rocket", folder.Path() / "a.rocket");
    fs::create_symlink("a.rocket", folder.Path() / "b.rocket");
    const std::string circle = (folder.Path() / "a.rocket").string();
    EXPECT_EQ(SaveError(tracks, circle),
              "Unable to save tracks file " + circle + ": cannot follow its links (Too many levels of symbolic links)");
    EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"demo.rocket", "a.rocket", "b.rocket"}));
}

// Files may grow no larger than a limit while it lives, as a full disk
// would have them.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        ignoredSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, ignoredSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous{};
    void (*ignoredSignal)(int) = nullptr;
};

TEST(RocketFileTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole)
{
    const TemporaryFolder folder;
    const fs::path file = folder.Path() / "demo.rocket";
    WriteText(file, originalEditorFile);
    const SyncTracks tracks = EverythingSet();
    ASSERT_GT(RocketXml(tracks).size(), 200u);
    std::string error;
    {
        const FileSizeLimit limit(200);
        error = SaveError(tracks, file.string());
    }
    EXPECT_EQ(error, "Unable to save tracks file " + file.string() + ": cannot write the new version (File too large)");
    EXPECT_EQ(ReadBytes(file), originalEditorFile);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"demo.rocket"}));
}

TEST(RocketFileTest, RecoveryGoesBesideTheTracksFile)
{
    EXPECT_EQ(RecoveryPathFor("data/demo.rocket"), "data/demo.recovered.rocket");
    EXPECT_EQ(RecoveryPathFor("demo.rocket"), "demo.recovered.rocket");
    EXPECT_EQ(RecoveryPathFor("data/tracks"), "data/tracks.recovered");

    const TemporaryFolder folder;
    fs::create_directory(folder.Path() / "real");
    WriteText(folder.Path() / "real" / "show.rocket", originalEditorFile);
    fs::create_symlink("real/show.rocket", folder.Path() / "demo.rocket");
    EXPECT_EQ(fs::path(RecoveryPathFor((folder.Path() / "demo.rocket").string())),
              folder.Path() / "real" / "show.recovered.rocket");
}

}  // namespace
