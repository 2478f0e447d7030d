#include "maps/frame.h"

#include <string_view>
#include <vector>

namespace maps {

Names formNames(const std::string& argument, const char* outputSuffix) {
    Names names;
    names.argument = argument;
    frontend::StemNames stem = frontend::stemNames(argument);
    names.stem = stem.stem;
    names.listPath = stem.listPath;
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
    if (frontend::refuseListClash(run, names.listPath,
                                  {names.scratchPath, names.scratchListPath, names.outputPath}))
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
