#include "cli/WavCommand.h"

#include "base/FileProblem.h"
#include "base/Path.h"
#include "cli/Commands.h"
#include "wav/ResampleFile.h"
#include "wav/WavState.h"
#include "wav/WavView.h"

#include <memory>
#include <ostream>

namespace cli {

WavJob ParseWavArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"wav needs info, resample or strip"};
    WavJob job;
    job.action = static_cast<WavJob::Action>(Choice("wav", args[0], {"info", "resample", "strip"}));
    const char* name = job.action == WavJob::Action::Info       ? "wav info"
                       : job.action == WavJob::Action::Resample ? "wav resample"
                                                                : "wav strip";
    const bool resample = job.action == WavJob::Action::Resample;
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--bank" && job.action == WavJob::Action::Info) {
            job.bank = static_cast<std::uint64_t>(Number(ValueOf(args, i), 0, 0x7FFFFFFF, "--bank"));
        } else if (a == "--rate" && resample) {
            job.rate = wav::kTargetRates[Choice(a, ValueOf(args, i), {"8000", "16000"})];
        } else if (a == "--bits" && resample) {
            job.width = Choice(a, ValueOf(args, i), {"8", "16"}) == 0 ? wav::SampleWidth::Bits8
                                                                      : wav::SampleWidth::Bits16;
        } else if (a == "--channel" && resample) {
            job.channel = Choice(a, ValueOf(args, i), {"left", "right"}) == 0 ? wav::Channel::Left
                                                                              : wav::Channel::Right;
        } else if (a == "--signed" && resample) {
            job.sign = wav::Sign::TwosComplement;
        } else if (a == "--filter" && resample) {
            job.lowPass = true;
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{std::string(name) + ": unknown option '" + a + "'"};
        } else {
            files.push_back(a);
        }
    }
    if (job.action == WavJob::Action::Info) {
        if (files.size() != 1) throw UsageError{"wav info takes one F.wav"};
    } else {
        if (files.size() != 2) throw UsageError{std::string(name) + " takes F.wav and OUT"};
        job.output = files[1];
    }
    job.input = files[0];
    if (job.sign == wav::Sign::TwosComplement && job.width != wav::SampleWidth::Bits16)
        throw UsageError{"--signed goes with --bits 16"};
    return job;
}

namespace {

// The window's message, then the file and why.
int Fail(std::ostream& err, const std::string& message, const base::FailureDetail& detail) {
    err << message << '\n' << base::DetailLines(detail);
    return kExitFailure;
}

void PrintGrid(std::ostream& out, const wav::DataGrid& grid) {
    for (const auto& row : grid) {
        for (int c = 0; c < wav::kDataGridColumns; ++c)
            out << (c == 0 ? "" : "\t") << row[c];
        out << '\n';
    }
}

int RunWav(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const WavJob job = ParseWavArgs(args);

    if (job.action == WavJob::Action::Info) {
        // The header and the bank shown are all that is read of the file.
        const wav::WavInfo info = wav::ReadWavInfo(job.input, job.bank);
        // A bank the file does not have is a wrong command line: said before anything is printed.
        if (job.bank && info.load.fileRead && !info.load.failure && !info.bankInRange)
            throw UsageError{"--bank must be from 0 to " +
                             std::to_string(wav::BankCount(info.load.fileSize) - 1) + " for " + job.input};
        // The group as a window that has loaded nothing before shows it after this load.
        if (info.load.fileRead) {
            wav::HeaderView view = wav::DefaultHeaderView();
            wav::ShowLoad(view, info.load, info.check);
            for (const wav::HeaderLabel& label : view)
                out << wav::HeaderLine(label) << '\n';
        }
        if (info.load.failure) return Fail(err, *info.load.failure, info.load.detail);
        if (job.bank) {
            PrintGrid(out, wav::DataGridOfBank(info.bankBytes));
        }
        return kExitOk;
    }

    if (job.action == WavJob::Action::Strip) {
        const wav::LoadResult stripped = wav::StripWavFile(job.input, job.output);
        if (stripped.failure) return Fail(err, *stripped.failure, stripped.detail);
        return kExitOk;
    }

    if (base::SameFile(job.output, job.input))
        return Fail(err, wav::kSaveFileError, {base::OutputIsInput(job.output)});
    // Read and written in blocks: the memory does not grow with the file.
    wav::OpenedWav opened = wav::OpenWavFile(job.input);
    if (opened.load.failure) return Fail(err, *opened.load.failure, opened.load.detail);

    if (job.channel == wav::Channel::Right && opened.check.header.NumChannels != 2)
        return Fail(err, "Right Channel: " + job.input + " has one channel", {});
    const wav::FileResampleResult resampled =
        wav::ResampleWavFile(opened, job.channel, job.rate, job.width, job.sign, job.output, job.lowPass);
    if (resampled.counted)
        out << "RESample_Length : " << wav::ResampleLengthText(resampled.count, job.width) << '\n';
    if (resampled.failure) return Fail(err, *resampled.failure, resampled.detail);
    return kExitOk;
}

} // namespace

const Command kWavCommand{
    "wav",
    {"print a WAV file's header, resample a channel or strip the header, as the WAV tab does",
     {{"info",
       "F.wav",
       "Print the WAV tab's header rows, one \"Caption value\" a line, reading only the header (and the bank "
       "asked for).",
       {{"--bank", "N",
         "print the rows of the 256-byte bank N of the hexadecimal view too, cells tab-separated; N is "
         "checked against the file's size before anything is printed"}},
       "wav"},
      {"resample",
       "F.wav OUT",
       "Resample one channel and write its samples as RESample Gen and Save do.",
       {{"--rate", "8000|16000", "the sample rate written, in Hz (default 8000)"},
        {"--bits", "8|16", "the bits per sample written (default 8)"},
        {"--channel", "left|right", "the channel resampled (default left)"},
        {"--signed", "", "write 16-bit samples in two's complement (default: offset binary; needs --bits 16)"},
        {"--filter", "",
         "low-pass at the target's Nyquist frequency first (a windowed sinc, the WAV tab's \"Low-pass\" box) "
         "and round 8-bit samples instead of cutting them (default off)"}},
       "wav"},
      {"strip",
       "F.wav OUT",
       "Copy the bare sample data without the header, as ReSample_ByPass does.",
       {},
       "wav"}},
     "Sample rates below 1000 Hz are refused.",
     {"tavix-cli wav resample voice.wav voice.bin --rate 16000 --bits 16"}},
    RunWav};

} // namespace cli
