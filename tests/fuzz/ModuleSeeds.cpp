// Writes small MOD and XM songs into a folder, as the first inputs of the
// module renderer's fuzzing.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "module/ModuleWriter.h"

namespace {

void Save(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& file)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: module_seeds OUTPUT_DIR\n");
        return 2;
    }
    ModuleSong song;
    song.title = "seed";
    song.sample = SquareWaveSample(32);
    song.patterns.push_back(EmptyPattern(64, 4));
    song.patterns[0].rows[0][0] = {49, 1, 0, 0};
    song.patterns[0].rows[16][1] = {0, 0, 0x0F, 3};
    song.patterns[0].rows[32][2] = {0, 0, 0x0F, 200};
    song.patterns[0].rows[48][3] = {52, 1, 0x0D, 0};
    song.order = {0, 0};
    Save(WriteMod(song), std::filesystem::path(argv[1]) / "seed.mod");
    Save(WriteXm(song), std::filesystem::path(argv[1]) / "seed.xm");
    return 0;
}
