#include "cli/arguments.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace inkswap::cli {

namespace {

struct CommandInfo {
    Command What;
    const char* Name;
    const char* Options; // the options it takes, each between spaces
};

const CommandInfo Commands[] = {
    {Command::Info, "info", " --json "},
    {Command::CorrectAll, "correct-all",
     " --screen --all-screens --dry-run -o --output --output-dir --force "},
    {Command::Correct, "correct",
     " --screen --all-screens --dry-run -o --output --output-dir --force "},
    {Command::Export, "export",
     " --format --scale --view --grid --screen --all-screens -o --output --output-dir --force "},
    {Command::Extract, "extract", " --screen --all-screens -o --output --output-dir --force "},
    {Command::Insert, "insert",
     " --screen --all-screens --dry-run -o --output --output-dir --force "},
};

// The options that take a value.
bool TakesValue(std::string_view option) {
    return option == "--screen" || option == "-o" || option == "--output" ||
           option == "--output-dir" || option == "--format" || option == "--scale" ||
           option == "--view";
}

bool Accepts(const CommandInfo& command, std::string_view option) {
    const std::string_view options = command.Options;
    const std::size_t at = options.find(option);
    return at != std::string_view::npos && options[at - 1] == ' ' &&
           options[at + option.size()] == ' ';
}

bool ReadNumber(std::string_view text, std::int32_t& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

// "X,Y" with X 0..31 and Y 0..23; false for anything else.
bool ReadCell(std::string_view text, Cell& cell) {
    const std::size_t comma = text.find(',');
    return comma != std::string_view::npos && ReadNumber(text.substr(0, comma), cell.X) &&
           ReadNumber(text.substr(comma + 1), cell.Y);
}

bool LooksLikeCell(std::string_view text) {
    const std::size_t comma = text.find(',');
    return comma != std::string_view::npos && comma > 0 && comma + 1 < text.size() &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || (c >= '0' && c <= '9'); });
}

class Reader {
public:
    explicit Reader(Arguments& result) : result_(result) {}

    bool Fail(std::string message) {
        result_.Result = Arguments::Outcome::UsageError;
        result_.Message = std::move(message);
        return false;
    }

    bool Option(std::string_view option, std::string_view value) {
        Invocation& run = result_.Run;
        if (option == "--screen") {
            std::int32_t screen = 0;
            if (!ReadNumber(value, screen) || screen < 1) {
                return Fail("--screen wants a screen number from 1, not '" + std::string(value) +
                            "'");
            }
            run.Screen = screen;
            return true;
        }
        if (option == "--scale") {
            return ReadNumber(value, run.Look.Scale) && run.Look.Scale >= SmallestScale &&
                           run.Look.Scale <= LargestScale
                       ? true
                       : Fail("--scale wants 1 to 8, not '" + std::string(value) + "'");
        }
        if (option == "--format") {
            if (value != "png" && value != "gif") {
                return Fail("--format wants png or gif, not '" + std::string(value) + "'");
            }
            run.Format = value == "png" ? ImageFormat::Png : ImageFormat::Gif;
            return true;
        }
        if (option == "--view") {
            if (value != "colour" && value != "color" && value != "bitmap") {
                return Fail("--view wants colour or bitmap, not '" + std::string(value) + "'");
            }
            run.Look.View = value == "bitmap" ? BitmapView : ColourView;
            return true;
        }
        if (option == "-o" || option == "--output") {
            run.Output = std::string(value);
            return true;
        }
        if (option == "--output-dir") {
            run.OutputDir = std::string(value);
            return true;
        }
        run.AllScreens |= option == "--all-screens";
        run.DryRun |= option == "--dry-run";
        run.Json |= option == "--json";
        run.Force |= option == "--force";
        run.Look.Grid |= option == "--grid";
        return true;
    }

private:
    Arguments& result_;
};

// The operands: cells first for correct, the source for insert, then the
// files.
bool TakeOperands(std::vector<std::string>& operands, Invocation& run, Reader& reader) {
    std::size_t at = 0;
    if (run.What == Command::Correct) {
        for (; at < operands.size() && LooksLikeCell(operands[at]); ++at) {
            Cell cell{};
            if (!ReadCell(operands[at], cell) || cell.X > 31 || cell.Y > 23) {
                return reader.Fail("a cell is X,Y with X 0 to 31 and Y 0 to 23, not '" +
                                   operands[at] + "'");
            }
            run.Cells.push_back(cell);
        }
        if (run.Cells.empty()) {
            return reader.Fail("correct wants the cells to correct, as X,Y, before the files");
        }
    }
    if (run.What == Command::Insert) {
        if (at == operands.size()) {
            return reader.Fail("insert wants the screen file to put in, then the files");
        }
        run.Source = operands[at++];
    }
    run.Files.assign(operands.begin() + static_cast<std::ptrdiff_t>(at), operands.end());
    if (run.Files.empty()) {
        return reader.Fail("no file given");
    }
    return true;
}

// What cannot go together.
bool CheckCombinations(const Invocation& run, Reader& reader) {
    const auto standard = [](const std::string& name) { return name == StandardStream; };
    const auto fromStandard = std::count_if(run.Files.begin(), run.Files.end(), standard) +
                              (run.What == Command::Insert && standard(run.Source) ? 1 : 0);
    if (fromStandard > 1) {
        return reader.Fail("standard input can be read once only");
    }
    if (run.Output && run.OutputDir) {
        return reader.Fail("-o and --output-dir cannot go together");
    }
    const bool onePicture = run.What == Command::Export || run.What == Command::Extract;
    if (run.Output && (run.Files.size() > 1 || (onePicture && run.AllScreens))) {
        return reader.Fail("-o names one output: give one file (and one screen)");
    }
    if (run.AllScreens && run.Screen) {
        return reader.Fail("--screen and --all-screens cannot go together");
    }
    const bool fromStandardInput = std::any_of(run.Files.begin(), run.Files.end(), standard);
    if (run.What == Command::Export && !run.Output && !run.OutputDir && fromStandardInput) {
        return reader.Fail("a picture of standard input needs -o or --output-dir");
    }
    const bool wholeFile = run.What == Command::CorrectAll || run.What == Command::Correct ||
                           run.What == Command::Insert;
    if (wholeFile && run.OutputDir && fromStandardInput) {
        return reader.Fail("standard input has no name to give a file in --output-dir: use -o");
    }
    return true;
}

const CommandInfo* FindCommand(std::string_view name) {
    for (const CommandInfo& command : Commands) {
        if (name == command.Name) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace

Arguments ReadArguments(std::span<const char* const> arguments) {
    Arguments result;
    Reader reader(result);
    if (arguments.empty()) {
        result.Result = Arguments::Outcome::UsageError;
        return result;
    }
    const std::string_view first = arguments[0];
    if (first == "--help" || first == "-h" || first == "help") {
        result.Result = Arguments::Outcome::Help;
        if (first == "help" && arguments.size() > 1) {
            const CommandInfo* command = FindCommand(arguments[1]);
            if (command == nullptr) {
                reader.Fail("no command '" + std::string(arguments[1]) + "'");
                return result;
            }
            result.HelpFor = command->What;
        }
        return result;
    }
    if (first == "--version") {
        result.Result = Arguments::Outcome::Version;
        return result;
    }
    const CommandInfo* command = FindCommand(first);
    if (command == nullptr) {
        reader.Fail("no command '" + std::string(first) + "'");
        return result;
    }
    result.Run.What = command->What;
    result.Given = command->What;
    std::vector<std::string> operands;
    bool options = true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!options || argument == StandardStream || argument.empty() || argument[0] != '-') {
            operands.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            options = false;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            result.Result = Arguments::Outcome::Help;
            result.HelpFor = command->What;
            return result;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view option = argument.substr(0, equals);
        if (!Accepts(*command, option)) {
            reader.Fail(std::string(command->Name) + " has no option '" + std::string(option) +
                        "'");
            return result;
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            if (!TakesValue(option)) {
                reader.Fail("'" + std::string(option) + "' takes no value");
                return result;
            }
            value = argument.substr(equals + 1);
        } else if (TakesValue(option)) {
            if (++i == arguments.size()) {
                reader.Fail("'" + std::string(option) + "' wants a value");
                return result;
            }
            value = arguments[i];
        }
        if (!reader.Option(option, value)) {
            return result;
        }
    }
    if (!TakeOperands(operands, result.Run, reader) || !CheckCombinations(result.Run, reader)) {
        return result;
    }
    return result;
}

const char* CommandName(Command command) {
    for (const CommandInfo& info : Commands) {
        if (info.What == command) {
            return info.Name;
        }
    }
    return "";
}

} // namespace inkswap::cli
