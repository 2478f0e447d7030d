// Netloom: turns an ontology data file into one HTML page that draws the
// ontology as a vis.js network.
//
//   netloom <Ontology Data File>
//
// The argument names the file with an extension; whatever the extension,
// the file read is the stem with ".lst", and the page is the stem with
// ".htm".  The stem ends at the first dot of the last path component.
#include <string>

#include "frontend/frontend.h"
#include "ontology/ontology.h"

namespace {

const frontend::ProgramInfo netloomInfo = {
    "netloom",
    "\nUsage: Netloom <Ontology Data File> \n",
    "\nVisualization Script Converter 3.0 (2017/06/12)",
};

}  // namespace

int main(int argc, char** argv) {
    frontend::Run run(netloomInfo, argc, argv);
    if (!run.begin()) return run.exitStatus();

    const std::string& argument = run.argument();
    const std::size_t dot = frontend::firstExtensionDot(argument);
    if (dot == std::string::npos) {
        run.refuse("give the ontology data file with its extension (for example onto.lst): %s",
                   argument.c_str());
        return run.exitStatus();
    }
    const std::string stem = argument.substr(0, dot);
    const std::string baseName(frontend::lastComponent(stem));
    const std::string listPath = stem + ".lst";
    const std::string scratchListPath = stem + ".asc";
    const std::string scratchPath = stem + ".out";
    const std::string pagePath = stem + ".htm";
    if (frontend::refuseListClash(run, listPath, {scratchListPath, scratchPath, pagePath}))
        return run.exitStatus();

    ontology::OntologyModel model;
    {
        frontend::ListFile list(run, listPath, scratchListPath);
        if (!list.open("Ontology Plan \"%s\" Not Found!\n")) return run.exitStatus();
        ontology::OntologyReader reader(model, [&list](const std::string& message) {
            list.warn("%s", frontend::consoleText(message).c_str());
        });
        std::string line;
        while (list.nextLine(line)) reader.readLine(line);
        reader.finish();
        list.close();
    }

    const bool resolved = ontology::resolve(model, [&run](const std::string& line) {
        run.say("%s", frontend::consoleText(line).c_str());
    });
    if (!resolved) {
        run.markFailed();
        return run.exitStatus();
    }
    ontology::replaceUnderscores(model);

    frontend::ScratchOutput scratch(run, scratchPath);
    const std::string baseNameAnsi = frontend::commandTextAnsi(baseName);
    if (!scratch.write([&](textconv::TextWriter& out) {
            ontology::writeNetworkPage(out, model, baseNameAnsi);
            return true;
        })) {
        run.markFailed();
        return run.exitStatus();
    }
    if (!scratch.convertTo(pagePath)) {
        // The output scratch file stays for inspection.
        run.say("Output File Encoding Conversion Error.\n");
        return run.exitStatus();
    }
    run.say("Visualization Script %s has been Created.\n", pagePath.c_str());
    scratch.remove();
    return run.exitStatus();
}
