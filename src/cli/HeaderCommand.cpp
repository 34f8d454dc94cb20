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
    return kExitOk;
}

} // namespace

const Command kHeaderCommand{
    "header",
    "  header FILE.bmp       print the rows of the two BMP header grids (range, value, description)\n",
    RunHeader};

} // namespace cli
