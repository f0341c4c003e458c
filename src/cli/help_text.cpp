#include "cli/help_text.h"

namespace inkswap::cli {

namespace {

constexpr char Program[] =
    R"(Usage: inkswap-cli COMMAND [OPTIONS] FILE...

Looks at and corrects the ZX Spectrum screens inside files: raw 6,912-byte
screens (.scr), +3DOS files, TAP and TZX tapes, SNA, Z80 and SZX snapshots,
each recognised by what it holds. A screen corrected in a file is written
back in place, as the Inkswap program's Save does: only the screen's bytes,
its block's checksum or its snapshot page change, and the file is replaced
in one step. Every command takes many files; FILE - is standard input.

Commands:
  info         the kind of each file and its screens, with their FLASH cells
               and the cells Correct All Cells would correct
  correct-all  Correct All Cells: every cell with more ink than paper pixels
               encoded the other way round, its look kept
  correct      correct the cells named as X,Y
  export       the picture of a screen as a PNG or GIF image
  extract      a screen as a plain 6,912-byte .scr file
  insert       a .scr screen put into a file in place of one of its screens

  inkswap-cli COMMAND --help   the command's options
  inkswap-cli --version        the version

Exit status: 0 when every file succeeded, 1 when any failed (the others are
still done, and each failure is one line on standard error), 2 when the
command line cannot be read.
)";

constexpr char Screens[] =
    R"(  --screen N       work on screen N of each file (1, the screen the file
                   shows first, unless given)
  --all-screens    work on every screen of each file
)";

constexpr char Writing[] =
    R"(  -o, --output FILE  write the result to FILE (one input file only); - is
                   standard output
  --output-dir DIR write the results into DIR, under their own names
  --force          replace outputs that exist already (never without it)
)";

constexpr char Info[] =
    R"(Usage: inkswap-cli info [--json] FILE...

Prints the kind of each file and its screens: number, name, bank, and the
counts to check before a change: cells with FLASH set, and cells that
correct-all would correct (more than 32 of their 64 pixels set).

  --json           print the same as one JSON document
)";

constexpr char CorrectAll[] =
    R"(Usage: inkswap-cli correct-all [OPTIONS] FILE...

Corrects every cell with more ink than paper pixels (its pixels inverted,
its ink and paper swapped: the same look, the opposite encoding), and
writes each file back in place as Inkswap's Save does, or with -o or
--output-dir to new files, the input left alone. A file in which nothing
changes is not written back. From standard input the result goes to
standard output unless -o or --output-dir says otherwise.

  --dry-run        say what would change, write nothing
)";

constexpr char Correct[] =
    R"(Usage: inkswap-cli correct X,Y [X,Y ...] [OPTIONS] FILE...

Corrects the cells named, column X (0 to 31) and row Y (0 to 23), in the
order given (a cell named twice ends as it was), and writes each file as
correct-all does.

  --dry-run        say what would change, write nothing
)";

constexpr char Export[] =
    R"(Usage: inkswap-cli export [OPTIONS] FILE...

Writes the picture of a screen as an image: a PNG with a palette (the
Spectrum has 15 colours), or an animated GIF when the screen flashes, each
phase of FLASH shown for 0.32 seconds as the Spectrum shows it. The image is
named after the file, with a tape's screen name or number or a 128K
snapshot's bank (game loading.png, game screen 2.png, game bank 7.png),
next to the file unless -o or --output-dir says otherwise.

  --format png|gif   the kind of image (png)
  --scale N          every Spectrum pixel N x N image pixels, 1 to 8 (1)
  --view colour|bitmap  the picture in its colours, or the bare bitmap as
                     grey ink on black (colour)
  --grid             a blue line along every cell edge
)";

constexpr char Extract[] =
    R"(Usage: inkswap-cli extract [OPTIONS] FILE...

Writes a screen of each file as a plain 6,912-byte screen file, named as
export names its images, with .scr. From standard input the screen goes to
standard output unless -o or --output-dir says otherwise.
)";

constexpr char Insert[] =
    R"(Usage: inkswap-cli insert SCR [OPTIONS] FILE...

Puts the screen of SCR (a screen file, or the first screen of any file
Inkswap reads; - for standard input) into each file in place of one of its
screens, every other byte kept, and writes each file as correct-all does.

  --dry-run        say what would change, write nothing
)";

// Each command's text, then the option groups it takes.
struct Help {
    Command What;
    const char* Text;
    bool ChoosesScreens;
    bool Writes;
};

constexpr Help Helps[] = {
    {Command::Info, Info, false, false},     {Command::CorrectAll, CorrectAll, true, true},
    {Command::Correct, Correct, true, true}, {Command::Export, Export, true, true},
    {Command::Extract, Extract, true, true}, {Command::Insert, Insert, true, true},
};

} // namespace

const char* ProgramHelp() {
    return Program;
}

const char* CommandHelp(Command command) {
    // Put together once per command: the texts are constant.
    static std::string texts[std::size(Helps)];
    for (std::size_t i = 0; i < std::size(Helps); ++i) {
        if (Helps[i].What != command) {
            continue;
        }
        if (texts[i].empty()) {
            texts[i] = Helps[i].Text;
            texts[i] += Helps[i].ChoosesScreens ? Screens : "";
            texts[i] += Helps[i].Writes ? Writing : "";
        }
        return texts[i].c_str();
    }
    return Program;
}

} // namespace inkswap::cli
