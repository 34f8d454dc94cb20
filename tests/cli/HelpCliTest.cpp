#include "cli/Cli.h"
#include "cli/CliRun.h"

#include "support/BmpBuilder.h"
#include "support/WavBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using clitest::RunProcess;

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(HelpCli, EveryCommandHasItsHelpBothWaysAndALineInTheList) {
    const auto list = RunProcess("--help");
    ASSERT_EQ(list.code, 0);
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(RunProcess("help").out, list.out);
    EXPECT_EQ(list.out.rfind("usage: tavix-cli COMMAND [ARGS]\n", 0), 0u) << list.out;
    ASSERT_FALSE(cli::Commands().empty());
    for (const cli::Command* command : cli::Commands()) {
        const std::string name = command->name;
        SCOPED_TRACE(name);
        // The list names it at the start of a line, followed by its summary's first words.
        const std::string head = "\n  " + name + std::string(10 - name.size(), ' ');
        const std::size_t at = list.out.find(head);
        ASSERT_NE(at, std::string::npos) << list.out;
        EXPECT_EQ(list.out.compare(at + head.size(), 12, command->help.summary.substr(0, 12)), 0);

        const auto help = RunProcess(name + " --help");
        EXPECT_EQ(help.code, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out.rfind("usage: tavix-cli " + name + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("\nExample"), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("\nExit status: 0 done"), std::string::npos);
        // --help wins wherever it stands, over whatever else the line holds.
        EXPECT_EQ(RunProcess("help " + name).out, help.out);
        EXPECT_EQ(RunProcess(name + " nonsense --bogus --help").out, help.out);
        // Every option the command takes is in its help, with its value.
        for (const cli::FormHelp& form : command->help.forms)
            for (const cli::OptionHelp& option : form.options)
                EXPECT_NE(help.out.find("  " + option.name + (option.value.empty() ? "" : " " + option.value)),
                          std::string::npos)
                    << option.name;
        // No line runs past the help's width (the man page's indent added, 80 columns) unless one word is longer.
        std::size_t start = 0;
        while (start < help.out.size()) {
            const std::size_t end = help.out.find('\n', start);
            const std::string line = help.out.substr(start, end - start);
            const bool oneWord = line.find(' ', line.find_first_not_of(' ')) == std::string::npos;
            if (!oneWord && line.find("tavix-cli ") == std::string::npos) { // a synopsis or an example stays whole
                EXPECT_LE(line.size(), cli::kHelpWidth) << line;
            }
            start = end + 1;
        }
    }
}

TEST(HelpCli, UsageErrorsNameTheCommandAndPointAtItsHelp) {
    struct Case {
        const char* args;
        const char* err;
    };
    const Case cases[] = {
        {"", "tavix-cli: no command given (see 'tavix-cli --help')\n"},
        {"frobnicate", "tavix-cli: unknown command 'frobnicate' (see 'tavix-cli --help')\n"},
        {"help frobnicate", "tavix-cli: no command 'frobnicate' to help with (see 'tavix-cli --help')\n"},
        {"osd", "tavix-cli: osd needs a SHEET.bmp (see 'tavix-cli osd --help')\n"},
        {"osd s.bmp --bogus", "tavix-cli: osd: unknown option '--bogus' (see 'tavix-cli osd --help')\n"},
        {"osd s.bmp --cell 9",
         "tavix-cli: osd: --cell must be a number from 12 to 16, not '9' (see 'tavix-cli osd --help')\n"},
        {"header --bogus", "tavix-cli: header: unknown option '--bogus' (see 'tavix-cli header --help')\n"},
        {"palette a.bmp", "tavix-cli: palette takes IN.bmp and OUT.bmp (see 'tavix-cli palette --help')\n"},
        {"wav", "tavix-cli: wav needs info, resample or strip (see 'tavix-cli wav --help')\n"},
        {"wav resample a.wav o --rate 44100",
         "tavix-cli: wav: --rate takes 8000 or 16000, not '44100' (see 'tavix-cli wav --help')\n"},
        {"font glyph --text A --bpp 16",
         "tavix-cli: font: --bpp takes 1, 2, 4 or 8, not '16' (see 'tavix-cli font --help')\n"},
        {"aosd image a.bmp", "tavix-cli: aosd image takes IN.bmp and OUT (see 'tavix-cli aosd --help')\n"},
        {"merge out", "tavix-cli: merge needs at least one FILE or a --list (see 'tavix-cli merge --help')\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const auto r = RunProcess(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(HelpCli, WavInfoChecksTheBankBeforePrintingAnything) {
    testsupport::TempDir dir;
    testsupport::WavLayout s;
    s.data = {1, 2, 3, 4, 5, 6}; // a 50-byte file: bank 0 only
    testsupport::WriteFile(dir / "tone.wav", testsupport::BuildWav(s));
    auto r = RunProcess("wav info " + dir / "tone.wav" + " --bank 1");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tavix-cli: wav: --bank must be from 0 to 0 for " + dir / "tone.wav" +
                         " (see 'tavix-cli wav --help')\n");
    r = RunProcess("wav info " + dir / "tone.wav" + " --bank 0");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(LineCount(r.out), 10 + 17);
    // A file the tab refuses is a failed job whatever bank was asked for: its rows, the message, exit 1.
    testsupport::WriteFile(dir / "short.wav", {'R', 'I', 'F', 'F'});
    r = RunProcess("wav info " + dir / "short.wav" + " --bank 9");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.find("tavix-cli:"), std::string::npos) << r.err;
}

TEST(HelpCli, HeaderOfAFileThatIsNoBmpPrintsItsRowsAndFails) {
    testsupport::TempDir dir;
    testsupport::BmpLayout s;
    s.width = 4;
    s.height = 2;
    s.biBitCount = 8;
    std::vector<std::uint8_t> bytes = testsupport::BuildBmp(s);
    testsupport::WriteFile(dir / "good.bmp", bytes);
    bytes[0] = 'G';
    bytes[1] = 'I';
    testsupport::WriteFile(dir / "gif.bmp", bytes);

    const auto good = RunProcess("header " + dir / "good.bmp");
    EXPECT_EQ(good.code, 0);
    EXPECT_EQ(good.err, "");
    const auto r = RunProcess("header " + dir / "gif.bmp");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(LineCount(r.out), 17);
    EXPECT_NE(r.out.find("0000-0001\t47 49 (G I)\tIdentifier\n"), std::string::npos) << r.out;
    // Every row but the identifier's is the good file's.
    EXPECT_EQ(r.out.substr(r.out.find("0002-0005")), good.out.substr(good.out.find("0002-0005")));
    EXPECT_EQ(r.err, dir / "gif.bmp" + " is not a BMP file: it does not start with \"BM\"\n");
}

TEST(HelpCli, AnOutputFolderThatCannotBeMadeIsNamedWithTheReason) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "file", {'x'});
    const auto r = RunProcess("font glyph --text A --out " + dir / "file/sub");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "cannot create " + dir / "file/sub" + ": Not a directory\n");
}

} // namespace
