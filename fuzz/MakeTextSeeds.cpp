// Writes the seed corpus of the text-strings fuzz target: memo texts with every kind of line end, blanks,
// characters met again, several bytes a character, and bytes that are no UTF-8.
#include "support/BmpBuilder.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-text-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<std::string> texts = {
        "AB A\nC\n",
        "Hello World\r\nHELLO world\r\n",
        "one\rtwo\r\rthree",
        "   \n\n  x  \n",
        "\xEF\xBB\xBFMenu\nEinstellungen \xC3\xA4\xC3\xB6\xC3\xBC\n",
        "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80\n",
        "\x80\xFF\xC3(\xE2\x82 bad\n",
        "",
        std::string(300, 'x') + "\n" +
            std::string("!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
    };
    int n = 0;
    for (const std::string& text : texts)
        testsupport::WriteFile(dir + "/seed" + std::to_string(n++) + ".txt",
                               std::vector<std::uint8_t>(text.begin(), text.end()));
    return 0;
}
