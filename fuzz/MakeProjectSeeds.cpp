// Writes the seed corpus of the build's fuzz target: project files with every kind of job, wrong keys,
// types and values, jobs that need each other, and build records whole and broken.
#include "support/BmpBuilder.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-project-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<std::string> texts = {
        "[[osd]]\nname = \"a\"\ninput = \"s.bmp\"\nout = \"o\"\ncell = 12\nreduce = true\ncode = \"asm\"\n",
        "[[palette]]\nname = \"p\"\ninput = \"a.bmp\"\nout = \"b.bmp\"\nedits = [\"insert 3=FF0000\", \"swap "
        "1,2,3\"]\n",
        "[[font_bank]]\nname = \"f\"\nout = \"f\"\nascii = true\nbpp = 2\nwidth = 16\ncode = true\n"
        "[[font_glyph]]\nname = \"g\"\ntext = \"A\"\nout = \"g\"\n",
        "[[aosd_sequence]]\nname = \"s\"\ninput = \"l01.bmp\"\ncount = 3\nout = \"s\"\nrlc = \"k470a\"\n"
        "[[aosd_merge]]\nname = \"m\"\ninputs = [\"s.bin\", \"x.bin\"]\n",
        "[[wav_resample]]\nname = \"w\"\ninput = \"t.wav\"\nout = \"w.bin\"\nbits = 16\nsigned = true\n"
        "[[wav_strip]]\nname = \"x\"\ninput = \"t.wav\"\nout = \"x.bin\"\n"
        "[[merge]]\nname = \"all\"\ninputs = [\"w.bin\", \"x.bin\"]\nout = \"ALL\"\n",
        "[[palette]]\nname = \"x\"\ninput = \"a.bmp\"\nout = \"b.bmp\"\n[[palette]]\nname = \"y\"\ninput = "
        "\"b.bmp\"\nout = \"a.bmp\"\n",
        "[[osd]]\nname = 1\ncell = 99\nbogus = [1, 2]\n[foo]\n[osd2]\nx = 1.5\n",
        "[[font_bank]]\nname = \"r\"\nout = \"r\"\nrange = \"0x20-0x7E,8592\"\nfont = \"f/a.ttc:1\"\n"
        "[[font_glyph]]\nname = \"g\"\nout = \"r/\"\nload = \"g.txt\"\nfont = \"x.ttf:99999\"\nbpp = \"2\"\n"
        "[[wav_resample]]\nname = \"w\"\ninput = \"t.wav\"\nout = \"w\"\nrate = 8000.0\nchannel = 1\n",
        "{\n  \"tavix\": \"0.1\",\n  \"jobs\": {\n    \"a\": {\n      \"key\": \"00ff\",\n      \"inputs\": "
        "{\"a b\\\"c\": \"1:2\"},\n      \"outputs\": {}\n    }\n  }\n}\n",
        "{\"jobs\": {\"a\": {\"key\": \"\\u0001\"}}",
    };
    int n = 0;
    for (const std::string& text : texts)
        testsupport::WriteFile(dir + "/seed" + std::to_string(n++) + ".toml",
                               std::vector<std::uint8_t>(text.begin(), text.end()));
    return 0;
}
