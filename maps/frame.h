// The frame that Markwell and Globewell share: the command line, the names
// derived from it, and the run sequence from the menu script to one
// converted output file.
#pragma once

#include <string>

#include "frontend/frontend.h"
#include "menu/menu_script.h"
#include "textconv/textfile.h"

namespace maps {

// Names taken from the command line.
struct Names {
    std::string argument;         // all arguments, joined with one blank
    std::string stem;             // the argument cut at the first dot of its last component
    std::string listPath;         // the argument when it has that dot, else "%s.lst"
    std::string outputPath;       // "%sNmap.htm" or "%s.kml"
    std::string scratchPath;      // "%s.txt": the output as ANSI text before its conversion
    std::string scratchListPath;  // "%s.asc": ANSI copy of a list file that is not ANSI
    std::string baseName;         // the stem after its last '\' or '/'
};

// outputSuffix follows the stem in the output's path ("Nmap.htm", ".kml").
Names formNames(const std::string& argument, const char* outputSuffix);

struct MapProgram {
    frontend::ProgramInfo info;
    const char* outputSuffix;
    // The program's own console lines.
    void (*sayOutputPath)(frontend::Run& run, const std::string& outputPath);
    void (*sayCreated)(frontend::Run& run, const std::string& outputPath);
    void (*sayConversionError)(frontend::Run& run);
    // Writes the output's ANSI text for the read and split menu script.
    void (*write)(frontend::Run& run, textconv::TextWriter& out, const Names& names,
                  const menu::MenuScript& menu);
};

// One run: names, normalisation, reading (100 sites, page files split off),
// the output scratch file, its conversion and clean-up.  Returns the exit status.
int runMapProgram(const MapProgram& program, int argc, char** argv);

}  // namespace maps
