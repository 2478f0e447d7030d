#include "scene/run_paths.h"

#include "frontend/frontend.h"

namespace scene {

bool runPaths(const std::string& argument, RunPaths& paths) {
    std::string arg = argument;
    // A folder given with a trailing separator names the same folder.
    while (arg.size() > 1 && frontend::isSeparator(arg.back())) arg.pop_back();

    const std::size_t dot = frontend::lastExtensionDot(arg);
    if (dot != std::string::npos) {
        const std::size_t sep = frontend::lastSeparator(arg);
        const std::size_t start = sep == std::string::npos ? 0 : sep + 1;
        paths.baseName = arg.substr(start, dot - start);
        paths.listDirectory = std::string(frontend::directoryPart(arg));
    } else {
        paths.baseName = std::string(frontend::lastComponent(arg));
        paths.listDirectory = arg;
    }
    if (paths.baseName.empty() || paths.baseName == "." || paths.baseName == "..") return false;

    const std::string& dir = paths.listDirectory;
    const std::string& base = paths.baseName;
    paths.listPath = frontend::joinPath(dir, base + ".lst");
    paths.scratchListPath = frontend::joinPath(dir, base + ".asc");
    paths.mainPagePath = frontend::joinPath(dir, base + ".htm");
    paths.startScenePath = frontend::joinPath(dir, base + "scene.htm");
    paths.xmlScratchPath = frontend::joinPath(dir, base + ".tmp");
    paths.sceneXmlPath = frontend::joinPath(dir, base + ".xml");
    paths.loaderPath = frontend::joinPath(dir, "loadPanoScene.xml");
    return true;
}

}  // namespace scene
