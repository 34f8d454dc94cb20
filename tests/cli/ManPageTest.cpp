#include "cli/Cli.h"
#include "cli/CliRun.h"

#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace {

// The sections of a man page made by tavix-docgen, by their title (".SH DESCRIPTION", ".SS osd"), each the
// text of its verbatim block as a terminal shows it: the roff escapes undone, ".sp" an empty line.
std::map<std::string, std::string> VerbatimSections(const std::string& page) {
    std::map<std::string, std::string> sections;
    std::istringstream lines(page);
    std::string line, title;
    bool inBlock = false;
    while (std::getline(lines, line)) {
        if (line.rfind(".SH ", 0) == 0 || line.rfind(".SS ", 0) == 0) {
            title = line.substr(4);
        } else if (line == ".nf") {
            inBlock = true;
        } else if (line == ".fi") {
            inBlock = false;
        } else if (inBlock) {
            std::string text;
            if (line == ".sp") line.clear();
            if (line.rfind("\\&", 0) == 0) line.erase(0, 2);
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'e') {
                    text += '\\';
                    ++i;
                } else if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '-') {
                    text += '-';
                    ++i;
                } else {
                    EXPECT_NE(line[i], '\\') << "an escape the page should not hold: " << line;
                    text += line[i];
                }
            }
            sections[title] += text + "\n";
        }
    }
    return sections;
}

std::string Page(const std::string& name) {
    return testsupport::ReadText(std::string(TAVIX_MAN_DIR) + "/" + name);
}

TEST(ManPage, EveryCommandsHelpIsItsSectionOfTheManPage) {
    const auto sections = VerbatimSections(Page("tavix-cli.1"));
    const auto main = clitest::RunProcess("--help");
    ASSERT_EQ(main.code, 0);
    ASSERT_TRUE(sections.count("DESCRIPTION"));
    EXPECT_EQ(sections.at("DESCRIPTION"), main.out);
    // One section per command, in the registry's order, and no other.
    EXPECT_EQ(sections.size(), cli::Commands().size() + 1);
    for (const cli::Command* command : cli::Commands()) {
        SCOPED_TRACE(command->name);
        const auto help = clitest::RunProcess(std::string(command->name) + " --help");
        EXPECT_EQ(help.code, 0);
        ASSERT_TRUE(sections.count(command->name));
        EXPECT_EQ(sections.at(command->name), help.out);
    }
}

#ifdef TAVIX_WINDOW_PATH
TEST(ManPage, TheWindowsHelpIsItsManPage) {
    testsupport::TempDir dir;
    // No display is needed for --help.
    const std::string cmd = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= ") + TAVIX_WINDOW_PATH +
                            " --help >" + (dir / "out") + " 2>" + (dir / "err");
    ASSERT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 0) << testsupport::ReadText(dir / "err");
    const auto sections = VerbatimSections(Page("tavix.1"));
    ASSERT_TRUE(sections.count("DESCRIPTION"));
    EXPECT_EQ(sections.at("DESCRIPTION"), testsupport::ReadText(dir / "out"));
    EXPECT_EQ(testsupport::ReadText(dir / "out").rfind("usage: tavix [FILE]\n", 0), 0u);

    // A wrong command line is one line, naming the help, before any window is made.
    const std::string bad = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen ") +
                            TAVIX_WINDOW_PATH + " a.bmp b.bmp >" + (dir / "out") + " 2>" + (dir / "err");
    EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);
    // (The toolkit may have said something of its own before.)
    const std::string err = testsupport::ReadText(dir / "err");
    const std::string line = "tavix: takes one FILE (see 'tavix --help')\n";
    ASSERT_GE(err.size(), line.size());
    EXPECT_EQ(err.substr(err.size() - line.size()), line) << err;
}
#endif

} // namespace
