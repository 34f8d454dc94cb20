#include "support/WavBuilder.h"

#include "base/LittleEndian.h"

namespace testsupport {

namespace {
void AppendId(std::vector<std::uint8_t>& out, const std::string& id) {
    for (size_t i = 0; i < 4; ++i)
        out.push_back(i < id.size() ? static_cast<std::uint8_t>(id[i]) : ' ');
}
} // namespace

std::vector<std::uint8_t> Chunk(const std::string& id, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> out;
    AppendId(out, id);
    base::AppendLe32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> BuildWav(const WavLayout& s) {
    const std::uint16_t blockAlign =
        s.blockAlign.value_or(static_cast<std::uint16_t>(s.channels * s.bits / 8));
    std::vector<std::uint8_t> fmtBody;
    base::AppendLe16(fmtBody, s.audioFormat);
    base::AppendLe16(fmtBody, s.channels);
    base::AppendLe32(fmtBody, s.sampleRate);
    base::AppendLe32(fmtBody, s.byteRate.value_or(s.sampleRate * blockAlign));
    base::AppendLe16(fmtBody, blockAlign);
    base::AppendLe16(fmtBody, s.bits);
    fmtBody.insert(fmtBody.end(), s.formatExtra.begin(), s.formatExtra.end());

    std::vector<std::uint8_t> body; // everything after the RIFF chunk's size
    AppendId(body, s.wave);
    AppendId(body, s.fmt);
    base::AppendLe32(body, static_cast<std::uint32_t>(fmtBody.size()));
    body.insert(body.end(), fmtBody.begin(), fmtBody.end());
    body.insert(body.end(), s.chunkBeforeData.begin(), s.chunkBeforeData.end());
    AppendId(body, s.dataId);
    base::AppendLe32(body, s.dataLength.value_or(static_cast<std::uint32_t>(s.data.size())));
    body.insert(body.end(), s.data.begin(), s.data.end());

    std::vector<std::uint8_t> out;
    AppendId(out, s.riff);
    base::AppendLe32(out, s.chunkSize.value_or(static_cast<std::uint32_t>(body.size())));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> Le16Bytes(const std::vector<std::uint16_t>& samples) {
    std::vector<std::uint8_t> out;
    out.reserve(2 * samples.size());
    for (std::uint16_t v : samples)
        base::AppendLe16(out, v);
    return out;
}

std::vector<std::uint8_t> Pcm16ForWorking(const std::vector<std::uint16_t>& working) {
    std::vector<std::uint8_t> out;
    out.reserve(2 * working.size());
    for (std::uint16_t w : working)
        base::AppendLe16(out, static_cast<std::uint16_t>(w ^ 0x8000));
    return out;
}

} // namespace testsupport
