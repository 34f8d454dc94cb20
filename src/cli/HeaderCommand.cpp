#include "base/FileProblem.h"
#include "cli/Commands.h"
#include "picture/BmpLoader.h"
#include "picture/HeaderView.h"

#include <memory>
#include <ostream>

namespace cli {

namespace {

void PrintRow(std::ostream& out, const picture::HeaderRow& row) {
    out << row.range << '\t' << row.value << '\t' << row.description << '\n';
}

int RunHeader(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) throw UsageError{"header takes one FILE.bmp"};
    if (args[0].rfind("--", 0) == 0) throw UsageError{"header: unknown option '" + args[0] + "'"};
    auto bm = std::make_unique<picture::CurrentBitmap>();
    const auto result = picture::LoadBitmapFile(*bm, args[0]);
    if (!result.headersRead) {
        err << picture::MessageOf(result.status) << '\n' << base::DetailLines(result.detail);
        return kExitFailure;
    }
    if (result.png) err << picture::kPngHeaderNote << '\n';
    // Each grid's rows, its title row first, exactly as the Bitmap Header tab shows them.
    PrintRow(out, picture::HeaderTitles());
    for (const auto& row : picture::FileHeaderRows(bm->FileHeader, /*printableOnly=*/true))
        PrintRow(out, row);
    PrintRow(out, picture::HeaderTitles());
    for (const auto& row : picture::InfoHeaderRows(bm->InfoHeader))
        PrintRow(out, row);
    // The grids show any file's first bytes; a script asking for a BMP's header must not take another file's
    // bytes for one.
    if (!result.png && (bm->FileHeader[0] != 'B' || bm->FileHeader[1] != 'M')) {
        err << args[0] << " is not a BMP file: it does not start with \"BM\"\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

const Command kHeaderCommand{
    "header",
    {"print the rows of a picture's two BMP header grids",
     {{"",
       "FILE.bmp|FILE.png",
       "Print the rows of the Bitmap Header tab's two grids, one row a line: range, value and description, "
       "tab-separated, each grid after its title row. Identifier bytes that are not printable show as \".\". "
       "A PNG prints the rows of the BMP that holds its picture and says so on stderr. A file that is not a "
       "BMP (its first two bytes are not \"BM\") prints its rows too, says so on stderr and exits 1.",
       {},
       "bmp png"}},
     "",
     {"tavix-cli header sheet.bmp"}},
    RunHeader};

} // namespace cli
