#pragma once
// The command line of inkswap-cli, read into what the run is to do:
//
//     inkswap-cli COMMAND [OPTIONS] FILE...
//
// Options may come anywhere after the command, as `--name value`,
// `--name=value` or `-o value`; `--` ends them. A command line that cannot
// be read (an unknown command or option, a missing or bad value, options
// that cannot go together) is a usage error with a message that says why.

#include "screen/indexed_picture.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace inkswap::cli {

enum class Command { Info, CorrectAll, Correct, Export, Extract, Insert };

enum class ImageFormat { Png, Gif };

struct Cell {
    std::int32_t X;
    std::int32_t Y;
};

inline constexpr char StandardStream[] = "-"; // as a file: standard input or output

struct Invocation {
    Command What = Command::Info;
    std::vector<std::string> Files;
    std::vector<Cell> Cells;            // correct
    std::string Source;                 // insert: the file whose screen goes in
    std::optional<std::int32_t> Screen; // 1-based; none: the first
    bool AllScreens = false;
    bool DryRun = false;
    bool Json = false;
    bool Force = false;
    std::optional<std::string> Output;
    std::optional<std::string> OutputDir;
    ImageFormat Format = ImageFormat::Png;
    PictureLook Look;
};

struct Arguments {
    enum class Outcome { Run, Help, Version, UsageError } Result = Outcome::Run;
    Invocation Run;
    std::optional<Command> HelpFor; // Help: a command's, or the program's
    std::optional<Command> Given;   // the command named, when it is one
    std::string Message;            // UsageError: what is wrong; empty: no command at all
};

Arguments ReadArguments(std::span<const char* const> arguments);

// The command's name as typed ("correct-all").
const char* CommandName(Command command);

} // namespace inkswap::cli
