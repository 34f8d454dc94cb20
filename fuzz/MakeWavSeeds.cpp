// Writes the seed corpus of the WAV fuzz target: canonical files of every layout the tool takes, and the
// files it refuses for a reason of their own.
#include "support/BmpBuilder.h"
#include "support/WavBuilder.h"

#include <cstdint>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-wav-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int n = 0;
    auto write = [&](const testsupport::WavLayout& layout) {
        testsupport::WriteFile(dir + "/seed" + std::to_string(n++) + ".wav", testsupport::BuildWav(layout));
    };
    for (std::uint16_t bits : {8, 16})
        for (std::uint16_t channels : {1, 2})
            for (std::uint32_t rate : {8000u, 16000u, 44100u, 3000u}) {
                testsupport::WavLayout s;
                s.bits = bits;
                s.channels = channels;
                s.sampleRate = rate;
                s.data.resize(301);
                for (std::size_t i = 0; i < s.data.size(); ++i)
                    s.data[i] = static_cast<std::uint8_t>(i * 29);
                write(s);
            }
    testsupport::WavLayout s;
    s.data = {1, 2, 3, 4};
    testsupport::WavLayout f = s;
    f.audioFormat = 3;
    write(f);
    f.audioFormat = 0xFFFE;
    write(f);
    testsupport::WavLayout list = s;
    list.chunkBeforeData = testsupport::Chunk("LIST", {'I', 'N', 'F', 'O'});
    write(list);
    testsupport::WavLayout longer = s;
    longer.dataLength = 0xFFFFFFF0u;
    write(longer);
    testsupport::WavLayout slow = s;
    slow.sampleRate = 1;
    write(slow);
    testsupport::WavLayout fast = s;
    fast.sampleRate = 0xFFFFFFFFu;
    write(fast);
    return 0;
}
