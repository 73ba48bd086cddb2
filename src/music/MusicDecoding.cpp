#include "music/MusicDecoding.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

MusicDecoding::~MusicDecoding()
{
    if (decoding.valid()) {
        decoding.wait();
    }
}

void MusicDecoding::Start(const std::string& path)
{
    if (decoding.valid()) {
        decoding.wait();
    }
    started = path;
    decoding = std::async(std::launch::async,
                          [path] {
                              // Behind the loader's own work for the processor: the show's
                              // building and its pictures are what the first frame waits
                              // for, the music only at the end (Linux gives each thread
                              // its own niceness).
                              setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
                              return std::make_shared<const DecodedMusic>(DecodedMusic::Load(path));
                          });
}

std::shared_ptr<const DecodedMusic> MusicDecoding::Take(const std::string& path)
{
    if (decoding.valid() && started == path) {
        return decoding.get();
    }
    return std::make_shared<const DecodedMusic>(DecodedMusic::Load(path));
}
