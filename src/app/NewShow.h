#pragma once

#include <filesystem>
#include <string>

// A show folder of one's own to start from: a commented script that plays
// at once and teaches the format, the music, a ShaderShow shader to edit and
// a tracks file that keys the shader's glow. Every other file the effects
// read comes from the fallback show, the installed or built one.
class NewShow {
public:
    // folder: where data/ goes, made when missing. fallbackShow: the show
    // whose files stand in for those the new one lacks. music: the file to
    // copy into data/music/; empty: the fallback show's own music, whose
    // tempo the tracks then keep (another music gets the tracks' default).
    NewShow(std::filesystem::path folder, std::filesystem::path fallbackShow, std::filesystem::path music = {});

    // Writes every file that is not there yet and leaves those that are.
    // Throws DemoMessage, having written nothing, when the folder already
    // holds a script or there is no fallback show or music; and naming the
    // file when one cannot be written. Gives the report for the demo maker:
    // what was written and what kept, and how to play and check the show.
    std::string Make() const;

private:
    std::filesystem::path folder;
    std::filesystem::path fallbackShow;
    std::filesystem::path music;
    bool shippedMusic;
};

// `kestrova --new FOLDER [--music FILE]` (both absolute; music may be
// empty): makes the show with the fallback show found from the running
// program, and prints the report on standard output or the message on
// standard error. Gives the exit status.
int MakeNewShow(const std::filesystem::path& folder, const std::filesystem::path& music);
