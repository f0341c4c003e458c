#include "cli/commands.h"

#include "cli/gif_writer.h"
#include "cli/info_report.h"
#include "cli/input_file.h"
#include "cli/output_file.h"
#include "cli/png_writer.h"
#include "cli/report.h"
#include "screen/indexed_picture.h"
#include "screen/proposed_name.h"
#include "screen/screen_file.h"
#include "screen/screen_image.h"

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

// export and extract: an output for each chosen screen.
bool WriteScreens(Batch& batch, const std::string& name, ScreenFile& file, std::string& reason) {
    const Invocation& run = batch.Run;
    std::vector<std::size_t> chosen;
    if (!ChosenScreens(run, file, chosen, reason)) {
        return false;
    }
    const bool picture = run.What == Command::Export;
    const char* extension = !picture ? ".scr" : run.Format == ImageFormat::Gif ? ".gif" : ".png";
    for (const std::size_t index : chosen) {
        Screen screen{};
        CopyScreen(file, index, screen.data());
        std::vector<std::uint8_t> bytes(screen.begin(), screen.end());
        if (picture) {
            const IndexedPicture image =
                MakeIndexedPicture(screen.data(), run.Look, run.Format == ImageFormat::Gif);
            const bool encoded =
                run.Format == ImageFormat::Gif ? EncodeGif(image, bytes) : EncodePng(image, bytes);
            if (!encoded) {
                reason = "screen " + std::to_string(index + 1) + " could not be encoded";
                return false;
            }
        }
        std::string output;
        const bool standard = !run.Output && !run.OutputDir && name == StandardStream;
        if (standard) {
            output = StandardStream;
        } else if (!OutputName(batch, name, file, index, extension, output, reason)) {
            return false;
        }
        if (!batch.Written.Write(output, bytes, reason)) {
            return false;
        }
        if (output != StandardStream) {
            batch.Out.Result(ScreenLabel(name, index) + " -> " + output);
        }
    }
    return true;
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
        return WriteScreens;
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
