#include "maps/frame.h"

#include <string_view>
#include <vector>

namespace maps {

namespace {

bool endsWithTxt(std::string_view path) {
    std::string_view name = frontend::lastComponent(path);
    if (name.size() < 4) return false;
    std::string_view ext = name.substr(name.size() - 4);
    return ext[0] == '.' && (ext[1] | 0x20) == 't' && (ext[2] | 0x20) == 'x' && (ext[3] | 0x20) == 't';
}

}  // namespace

Names formNames(const std::string& argument, const char* outputSuffix) {
    Names names;
    names.argument = argument;
    const std::size_t dot = frontend::firstExtensionDot(argument);
    if (dot == std::string::npos) {
        names.stem = argument;
        names.listPath = argument + ".lst";
    } else {
        names.stem = argument.substr(0, dot);
        names.listPath = argument;
    }
    names.outputPath = names.stem + outputSuffix;
    names.scratchPath = names.stem + ".txt";
    names.scratchListPath = names.stem + ".asc";
    names.baseName = std::string(frontend::lastComponent(names.stem));
    return names;
}

int runMapProgram(const MapProgram& program, int argc, char** argv) {
    frontend::Run run(program.info, argc, argv);
    if (!run.begin()) return run.exitStatus();

    const Names names = formNames(run.argument(), program.outputSuffix);
    run.say("List File: %s\n", names.listPath.c_str());
    program.sayOutputPath(run, names.outputPath);

    // The scratch text is "%s.txt", and editors save list files from
    // Notepad as .txt: such a list would be overwritten and deleted.
    const std::string advice = "rename the list file to " + names.stem + ".lst";
    if (frontend::refuseListClash(run, names.listPath,
                                  {names.scratchPath, names.scratchListPath, names.outputPath},
                                  endsWithTxt(names.listPath) ? advice.c_str() : nullptr))
        return run.exitStatus();

    frontend::ListFile list(run, names.listPath, names.scratchListPath);
    if (!list.open("Lst File \"%s\" Not Found!\n")) return run.exitStatus();
    menu::MenuScript menu;
    menu::readMenuScript(list, menu, menu::mapSiteCapacity);
    list.close();
    menu::splitSceneFields(menu, menu::SceneSplit::pageFiles);

    frontend::ScratchOutput scratch(run, names.scratchPath);
    const bool written = scratch.write([&](textconv::TextWriter& out) {
        program.write(run, out, names, menu);
        return true;
    });
    if (!written) {
        // Nothing of the scratch file is left (it was never created, or the
        // writer removed it after a failed write): a file or folder of that
        // name that was there before is not ours to delete.
        run.markFailed();
        return run.exitStatus();
    }
    if (scratch.convertTo(names.outputPath))
        program.sayCreated(run, names.outputPath);
    else
        program.sayConversionError(run);
    scratch.remove();
    return run.exitStatus();
}

}  // namespace maps
