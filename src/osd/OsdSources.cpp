#include "osd/OsdSources.h"

#include "base/Format.h"
#include "settings/Settings.h"

#include <string>

namespace osd {

namespace {

// Component X of a colour as the firmware tables hold it: 8 bits, or the top 6 bits for RGB666.
unsigned Component(base::Colour c, int shift, settings::PaletteFormat paletteFormat) {
    if (paletteFormat == settings::PaletteFormat::Rgb666) return (c >> (shift + 2)) & 0x3F;
    return (c >> shift) & 0xFF;
}

} // namespace

void WritePaletteSource(base::OutputFile& file, const base::Colour* table, std::uint16_t count,
                        settings::PaletteFormat paletteFormat) {
    struct Channel {
        char name;
        int shift;
    };
    static constexpr Channel kChannels[] = {{'R', 0}, {'G', 8}, {'B', 16}};

    std::string out;
    out.reserve(16384);
    for (const Channel& ch : kChannels) {
        for (unsigned i = 0; i < count; ++i) {
            if (i % 128 == 0) {
                const unsigned k = i / 256;
                const char* part = i % 256 == 0 ? "LSB" : "MSB";
                out += base::strprintf(
                    "\nextern UB8 CODE abPALETTE_%c%u_%s[];\n\nUB8 CODE abPALETTE_%c%u_%s[]= {\n", ch.name, k,
                    part, ch.name, k, part);
            }
            // The table has 256 entries; a longer count reads zeros rather than past it.
            const base::Colour c = i < 256 ? table[i] : 0;
            out += " 0x";
            base::AppendHex2(out, Component(c, ch.shift, paletteFormat));
            out += ',';
            if ((i + 1) % 16 == 0) out += '\n';
            if ((i + 1) % 128 == 0) out += "};\n";
        }
        if (count % 128 != 0) out += "};\n";
    }

    out += "\nextern void Palette_Init (void);\nvoid Palette_Init (void)\n{";
    unsigned lines = (count / 128u) % 256u;
    if (lines == 0 || count % 128 != 0) ++lines;
    for (const Channel& ch : kChannels) {
        for (unsigned l = 0; l < lines; ++l) {
            const unsigned m = l / 2;
            if (l % 2 == 0) {
                out += base::strprintf(
                    "\n\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_%c%u | VELDA_MASK_OSD_BANK0);\n\n",
                    ch.name, m);
                out += base::strprintf("\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x00,sizeof(abPALETTE_%c%u_LSB),"
                                       " abPALETTE_%c%u_LSB);\n",
                                       ch.name, m, ch.name, m);
            } else {
                out += base::strprintf("\tVELDA_TxBurst(VELDA_300_3FF_OSDPAT+0x80,sizeof(abPALETTE_%c%u_MSB),"
                                       " abPALETTE_%c%u_MSB);\n",
                                       ch.name, m, ch.name, m);
            }
        }
    }
    out += "}\n";
    file.Write(out);
}

void WriteFontInitSource(base::OutputFile& file, unsigned blocks) {
    std::string out = "\nextern void FONT_Init(void);\nvoid FONT_Init(void)\n{\n";
    for (unsigned i = 0; i < blocks; ++i) {
        const unsigned h = i % 2;
        const unsigned k = i / 2;
        if (h == 0)
            out += base::strprintf(
                "\tVELDA_TxByte(VELDA_12F_OSD_ATTR,VELDA_MASK_OSDPAT_R0 | VELDA_MASK_OSD_BANK%u);\n\n", k);
        out += base::strprintf("\tVELDA_TxBurst(VELDA_500_5FF_UFONT_MSB+0x%02X,sizeof(abFONT_BANK%u_MSB%u), "
                               "abFONT_BANK%u_MSB%u);\n",
                               h * 128, k, h, k, h);
        out += base::strprintf("\tVELDA_TxBurst(VELDA_400_4FF_UFONT_LSB+0x%02X,sizeof(abFONT_BANK%u_LSB%u), "
                               "abFONT_BANK%u_LSB%u);\n\n",
                               h * 128, k, h, k, h);
    }
    out += "}\n";
    file.Write(out);
}

} // namespace osd
