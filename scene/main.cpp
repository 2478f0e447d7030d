// Vistacraft: a scene script becomes the krpano scene XML of a tour, its two
// HTML pages and the loader XML.
//
// The run: banner, file names, normalisation of the scene script, parsing,
// scene listing, the scene XML into its ANSI scratch file, the pages and the
// loader, conversion of the scratch file into the UTF-8 scene XML, clean-up.

#include <memory>

#include "frontend/frontend.h"
#include "scene/parser.h"
#include "scene/run_paths.h"
#include "scene/scene_model.h"
#include "scene/writers.h"

int main(int argc, char** argv) {
    const frontend::ProgramInfo info{
        "vistacraft",
        "\nUsage: Vistacraft <Halvane Scene Script> \n",
        "\nHalvane Scene Script Converter 3.4 (2017/09/23)",
    };
    frontend::Run run(info, argc, argv);
    if (!run.begin()) return run.exitStatus();

    scene::RunPaths paths;
    if (!scene::runPaths(run.argument(), paths)) {
        run.refuse("no scene script name in \"%s\"", run.argument().c_str());
        return run.exitStatus();
    }
    if (frontend::refuseListClash(run, paths.listPath,
                                  {paths.scratchListPath, paths.mainPagePath, paths.startScenePath,
                                   paths.xmlScratchPath, paths.sceneXmlPath, paths.loaderPath})) {
        return run.exitStatus();
    }

    run.say("List file: %s\n", paths.listPath.c_str());
    run.say("XML  file: %s\n", paths.sceneXmlPath.c_str());
    run.say("HTML File: %s\n\n", paths.mainPagePath.c_str());

    auto model = std::make_unique<scene::SceneModel>();
    {
        frontend::ListFile list(run, paths.listPath, paths.scratchListPath);
        if (!list.open("Lst File \"%s\" Not Found!\n")) return run.exitStatus();
        scene::parseSceneScript(list, *model);
        list.close();
    }
    scene::printSceneListing(run, *model);

    // The scene XML.  A missing pano.xml ends the run here and leaves the
    // scratch file as far as it was written; so does a scratch file that
    // cannot be written (what was written is gone then).
    frontend::ScratchOutput scratch(run, paths.xmlScratchPath);
    const bool written = scratch.write([&](textconv::TextWriter& out) {
        if (!scene::writeSceneXml(run, *model, paths.listDirectory, paths.baseName, out)) return false;
        scene::writeGalleryScenes(*model, out);
        return true;
    });
    if (!written) {
        run.markFailed();
        return run.exitStatus();
    }

    if (scene::writeMainPage(run, paths.mainPagePath, paths.baseName)) {
        run.say("%s has been Created.\n", paths.mainPagePath.c_str());
    }
    const bool startPage = scene::writeStartScenePage(run, paths.startScenePath, paths.baseName);
    scene::writeLoaderXml(run, paths.loaderPath);
    if (startPage) run.say("%s has been Created.\n", paths.startScenePath.c_str());

    if (scratch.convertTo(paths.sceneXmlPath)) {
        run.say("\n%s has been Created.\n", paths.sceneXmlPath.c_str());
    } else {
        run.say("\nXml Script Code Conversion Error!\n");
    }
    scratch.remove();
    return run.exitStatus();
}
