#include "cli/commands.h"

#include "cli/info_report.h"
#include "cli/input_file.h"
#include "cli/output_file.h"
#include "cli/picture_jobs.h"
#include "cli/report.h"
#include "screen/proposed_name.h"
#include "screen/screen_file.h"
#include "screen/screen_image.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace inkswap::cli {

namespace {

using Screen = std::array<std::uint8_t, ScreenFileSize>;

// Room for any proposed name of a file named on a command line.
constexpr std::size_t NameCapacity = 8192;

// What every file's work shares: the run, what it reports, what it wrote,
// and for insert the screen that goes in.
struct Batch {
    const Invocation& Run;
    Report& Out;
    Outputs Written;
    Screen Source{};
    std::vector<std::string> Json;
};

std::string ScreenLabel(const std::string& name, std::size_t index) {
    return name + ": screen " + std::to_string(index + 1);
}

// The screens of the file the run works on; false when it has not the one
// asked for.
bool ChosenScreens(const Invocation& run, const ScreenFile& file, std::vector<std::size_t>& chosen,
                   std::string& reason) {
    if (run.AllScreens) {
        for (std::size_t i = 0; i < file.Screens.size(); ++i) {
            chosen.push_back(i);
        }
        return true;
    }
    const auto index = static_cast<std::size_t>(run.Screen.value_or(1) - 1);
    if (index >= file.Screens.size()) {
        reason = "has no screen " + std::to_string(index + 1);
        return false;
    }
    chosen.push_back(index);
    return true;
}

// The name an output made from screen `index` of the file is given.
bool OutputName(const Batch& batch, const std::string& name, const ScreenFile& file,
                std::size_t index, const char* extension, std::string& output,
                std::string& reason) {
    if (batch.Run.Output) {
        output = *batch.Run.Output;
        return true;
    }
    std::vector<char> proposed(NameCapacity);
    const char* path = name == StandardStream ? nullptr : name.c_str();
    if (!ProposeFileName(path, file, index, extension, proposed.data(), proposed.size())) {
        reason = "its name is too long for a name of its output";
        return false;
    }
    output = batch.Run.OutputDir ? InFolder(*batch.Run.OutputDir, proposed.data())
                                 : std::string(proposed.data());
    return true;
}

std::string CellsChanged(int count, bool dryRun) {
    if (count == 0) {
        return "no cell to correct";
    }
    return std::to_string(count) + (count == 1 ? " cell " : " cells ") +
           (dryRun ? "would be corrected" : "corrected");
}

// Changes the screen as the command does; the result line's end.
std::string Change(const Batch& batch, Screen& screen, bool& changed) {
    const Invocation& run = batch.Run;
    if (run.What == Command::Insert) {
        changed = screen != batch.Source;
        screen = batch.Source;
        return !changed     ? "screen unchanged"
               : run.DryRun ? "screen would be put in"
                            : "screen put in";
    }
    int count = 0;
    if (run.What == Command::CorrectAll) {
        std::array<std::uint16_t, CellCount> cells{};
        count = CorrectAllCells(screen.data(), cells.data());
    } else {
        const Screen before = screen;
        for (const Cell& cell : run.Cells) {
            CorrectCell(screen.data(), cell.X, cell.Y);
        }
        count = static_cast<int>(run.Cells.size());
        changed = screen != before;
        return CellsChanged(count, run.DryRun);
    }
    changed = count > 0;
    return CellsChanged(count, run.DryRun);
}

// correct-all, correct, insert: the screens changed and put back, the
// file written in place or to its output.
bool ChangeFile(Batch& batch, const std::string& name, ScreenFile& file, std::string& reason) {
    const Invocation& run = batch.Run;
    std::vector<std::size_t> chosen;
    if (!ChosenScreens(run, file, chosen, reason)) {
        return false;
    }
    std::vector<std::string> results;
    bool anyChange = false;
    for (const std::size_t index : chosen) {
        Screen screen{};
        CopyScreen(file, index, screen.data());
        bool changed = false;
        results.push_back(ScreenLabel(name, index) + ": " + Change(batch, screen, changed));
        if (changed && !run.DryRun && !PutScreen(file, index, screen.data())) {
            reason = "screen " + std::to_string(index + 1) + " could not be put back";
            return false;
        }
        anyChange |= changed;
    }
    const bool toOutput = run.Output || run.OutputDir;
    const bool toStandardOutput = !toOutput && name == StandardStream;
    if (!run.DryRun) {
        if (toOutput) {
            const std::string output = run.Output ? *run.Output : InFolder(*run.OutputDir, name);
            if (!batch.Written.Write(output, file.Bytes, reason)) {
                return false;
            }
        } else if (anyChange || toStandardOutput) {
            if (!Outputs::WriteBack(name, file.Bytes, reason)) {
                return false;
            }
        }
    }
    const bool quiet = !run.DryRun && (toStandardOutput || run.Output == StandardStream);
    for (const std::string& line : results) {
        if (!quiet) {
            batch.Out.Result(line);
        }
    }
    return true;
}

// A screen of a file of the group that goes to a file of its own.
struct ScreenOutput {
    std::size_t File; // in the group
    std::size_t Index;
    std::string Output;
};

// The outputs of a file's chosen screens; false, with the reason, for the
// first that cannot be planned (those before it stay planned).
bool PlanOutputs(const Batch& batch, const std::string& name, const ScreenFile& file,
                 std::size_t inGroup, std::vector<ScreenOutput>& outputs,
                 std::vector<PictureJob>& jobs, std::string& reason) {
    const Invocation& run = batch.Run;
    std::vector<std::size_t> chosen;
    if (!ChosenScreens(run, file, chosen, reason)) {
        return false;
    }
    const bool picture = run.What == Command::Export;
    const char* extension = !picture ? ".scr" : run.Format == ImageFormat::Gif ? ".gif" : ".png";
    for (const std::size_t index : chosen) {
        std::string output = StandardStream;
        const bool standard = !run.Output && !run.OutputDir && name == StandardStream;
        if (!standard && !OutputName(batch, name, file, index, extension, output, reason)) {
            return false;
        }
        outputs.push_back({inGroup, index, output});
        PictureJob& job = jobs.emplace_back();
        CopyScreen(file, index, job.Screen.data());
    }
    return true;
}

// Writes a planned output; false, with the reason, when it cannot be.
bool WriteOutput(Batch& batch, const std::string& name, const ScreenOutput& output,
                 const PictureJob& job, std::string& reason) {
    if (!job.Done) {
        reason = "screen " + std::to_string(output.Index + 1) + " could not be encoded";
        return false;
    }
    if (!batch.Written.Write(output.Output, job.Encoded, reason)) {
        return false;
    }
    if (output.Output != StandardStream) {
        batch.Out.Result(ScreenLabel(name, output.Index) + " -> " + output.Output);
    }
    return true;
}

// The files of a group, read and their outputs planned.
struct Group {
    std::size_t First = 0; // of the run's files
    std::size_t Count = 0;
    std::vector<std::string> Failures; // a file's reason; empty: none yet
    std::vector<ScreenOutput> Outputs;
    std::vector<PictureJob> Jobs;
};

void ReadGroup(Batch& batch, Group& group) {
    group.Failures.assign(group.Count, std::string());
    for (std::size_t i = 0; i < group.Count; ++i) {
        const std::string& name = batch.Run.Files[group.First + i];
        batch.Out.Progress(group.First + i, name);
        ScreenFile file{};
        if (ReadInput(name, file, group.Failures[i])) {
            PlanOutputs(batch, name, file, i, group.Outputs, group.Jobs, group.Failures[i]);
        }
    }
}

// Writes and reports the group's outputs in the files' order; a file's
// first failure ends its outputs.
void WriteGroup(Batch& batch, const Group& group) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < group.Count; ++i) {
        const std::string& name = batch.Run.Files[group.First + i];
        std::string reason;
        for (; at < group.Outputs.size() && group.Outputs[at].File == i; ++at) {
            if (reason.empty()) {
                WriteOutput(batch, name, group.Outputs[at], group.Jobs[at], reason);
            }
        }
        if (!reason.empty() || !group.Failures[i].empty()) {
            batch.Out.Failure(name, !reason.empty() ? reason : group.Failures[i]);
        }
    }
}

// export and extract: the files read a group at a time; a group's
// pictures are encoded in the background while the group before is
// written and the group after read.
void WriteScreens(Batch& batch) {
    const Invocation& run = batch.Run;
    const bool picture = run.What == Command::Export;
    const std::int32_t scale = run.Look.Scale;
    const std::size_t groupSize = std::clamp<std::size_t>(256 / (scale * scale), 2, 64);
    PictureEncoder encoder(run.Look, run.Format);
    Group groups[2];
    const auto read = [&](Group& group, std::size_t first) {
        group = Group{first, std::min(groupSize, run.Files.size() - first), {}, {}, {}};
        ReadGroup(batch, group);
        if (!picture) {
            for (PictureJob& job : group.Jobs) {
                job.Encoded.assign(job.Screen.begin(), job.Screen.end());
                job.Done = true;
            }
            return;
        }
        encoder.Start(group.Jobs);
    };
    if (run.Files.empty()) {
        return;
    }
    read(groups[0], 0);
    for (std::size_t k = 0;; ++k) {
        Group& current = groups[k % 2];
        encoder.Wait();
        const std::size_t next = current.First + current.Count;
        if (next < run.Files.size()) {
            read(groups[(k + 1) % 2], next);
        }
        WriteGroup(batch, current);
        if (next >= run.Files.size()) {
            return;
        }
    }
}

bool DescribeFile(Batch& batch, const std::string& name, ScreenFile& file, std::string&) {
    if (batch.Run.Json) {
        batch.Json.push_back(InfoJson(name, file));
        return true;
    }
    std::string text = InfoText(name, file);
    text.pop_back(); // Result ends the line
    batch.Out.Result(text);
    return true;
}

using FileWork = bool (*)(Batch&, const std::string&, ScreenFile&, std::string&);

FileWork WorkOf(Command command) {
    switch (command) {
    case Command::Info:
        return DescribeFile;
    case Command::Export:
    case Command::Extract:
    case Command::CorrectAll:
    case Command::Correct:
    case Command::Insert:
        break;
    }
    return ChangeFile;
}

// insert's screen: the first of the source file.
bool ReadSource(Batch& batch) {
    ScreenFile source{};
    std::string reason;
    if (!ReadInput(batch.Run.Source, source, reason)) {
        batch.Out.Failure(batch.Run.Source, reason);
        return false;
    }
    CopyScreen(source, 0, batch.Source.data());
    return true;
}

} // namespace

int RunCommand(const Invocation& run) {
    Report report(run.Files.size());
    Batch batch{run, report, Outputs(run.Force), {}, {}};
    if (run.What == Command::Insert && !ReadSource(batch)) {
        report.Finish();
        return 1;
    }
    if (run.What == Command::Export || run.What == Command::Extract) {
        WriteScreens(batch);
        report.Finish();
        return report.AnyFailed() ? 1 : 0;
    }
    const FileWork work = WorkOf(run.What);
    for (std::size_t i = 0; i < run.Files.size(); ++i) {
        const std::string& name = run.Files[i];
        report.Progress(i, name);
        ScreenFile file{};
        std::string reason;
        if (!ReadInput(name, file, reason) || !work(batch, name, file, reason)) {
            report.Failure(name, reason);
        }
    }
    if (run.What == Command::Info && run.Json) {
        std::fputs(InfoDocument(batch.Json).c_str(), stdout);
    }
    report.Finish();
    return report.AnyFailed() ? 1 : 0;
}

} // namespace inkswap::cli
