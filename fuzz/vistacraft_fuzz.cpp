// Vistacraft's whole run on any scene script, in a fresh folder.  The input
// is the scene script, optionally followed by "\0PANO\0" and the pano.xml
// given to every scene (otherwise, or when that is not well-formed, a small
// one).  Every XML output is
// well-formed, the pages' script elements are whole, the list file stays as
// it was, a run in which every scene has its pano.xml succeeds, and a run
// that reports success leaves every output and no scratch file.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "frontend/frontend.h"
#include "fuzz/common.h"
#include "scene/parser.h"
#include "scene/run_paths.h"
#include "scene/scene_model.h"
#include "scene/writers.h"

#define main vistacraftMain
#include "scene/main.cpp"
#undef main

namespace {

const char* const defaultPano =
    "<krpano version=\"1.19\" title=\"hall\" onstart=\"\">\n"
    "\t<view hlookat=\"90\" vlookat=\"0\" fovtype=\"MFOV\" fov=\"120\" />\n"
    "\t<preview url=\"panos/hall.tiles/preview.jpg\" />\n"
    "\t<image type=\"CUBE\" multires=\"true\" tilesize=\"512\">\n"
    "\t\t<level tiledimagewidth=\"640\" tiledimageheight=\"640\">\n"
    "\t\t\t<cube url=\"panos/hall.tiles/%s/l1/%v/l1_%s_%v_%h.jpg\" />\n"
    "\t\t</level>\n"
    "\t</image>\n"
    "</krpano>\n";

const char* const runFiles[] = {"Tour.lst", "Tour.asc", "Tour.tmp", "Tour.xml", "Tour.htm", "Tourscene.htm",
                                "loadPanoScene.xml"};

// Gives every scene whose name is a plain folder name below dir its
// pano.xml.  True when every scene got one.
bool placePanoramas(const fuzz::Folder& dir, const std::string& listPath, const std::string& pano) {
    namespace fs = std::filesystem;
    char program[] = "vistacraft";
    char* argv[] = {program, nullptr};
    const frontend::ProgramInfo info{"vistacraft", "", ""};
    frontend::Run run(info, 1, argv);
    auto model = std::make_unique<scene::SceneModel>();
    {
        frontend::ListFile list(run, listPath, dir / "scenes.asc");
        if (!list.open("%s")) return false;
        scene::parseSceneScript(list, *model);
    }
    bool all = true;
    for (int k = 0; k < model->sceneCount; ++k) {
        fs::path path = fs::path(scene::panoXmlPath(dir.path(), model->scenes[static_cast<std::size_t>(k)].name))
                            .lexically_normal();
        fs::path folder = path.parent_path();
        bool clash = folder.filename() == "." || folder.filename() == "..";
        for (const char* name : runFiles) clash = clash || folder.filename() == name;
        if (folder.parent_path() != fs::path(dir.path()) || clash) {
            all = false;
            continue;
        }
        std::error_code ec;
        fs::create_directory(folder, ec);
        if (fs::is_directory(folder, ec) && !fs::exists(path, ec)) fuzz::writeFile(path.string(), pano);
        if (!fs::is_regular_file(path, ec)) all = false;
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string mark("\0PANO\0", 6);
    const std::size_t cut = input.find(mark);
    const std::string script = input.substr(0, cut);
    // A pano.xml comes from the panorama tools, not from an editor: one that
    // is not well-formed itself cannot give a well-formed scene XML, so the
    // input's own is used only when it is well-formed.
    std::string pano = cut == std::string::npos ? defaultPano : input.substr(cut + mark.size());
    if (cut != std::string::npos && !fuzz::xmlWellFormed(pano, nullptr)) pano = defaultPano;

    fuzz::Folder dir;
    const std::string listPath = dir / "Tour.lst";
    fuzz::writeFile(listPath, script);
    const bool panoramas = placePanoramas(dir, listPath, pano);

    const int status = fuzz::runOnList(vistacraftMain, "vistacraft", dir, dir / "Tour.lst", listPath, script);
    FUZZ_CHECK(status == 0 || status == 1, "exit status " + std::to_string(status));
    FUZZ_CHECK(status == 0 || !panoramas, "the run failed although every scene has its pano.xml");
    fuzz::checkXmlOutput(dir / "Tour.xml");
    fuzz::checkXmlOutput(dir / "loadPanoScene.xml");
    fuzz::checkScriptElements(dir / "Tour.htm");
    fuzz::checkScriptElements(dir / "Tourscene.htm");
    FUZZ_CHECK(!fuzz::exists(dir / "Tour.asc"), "the scratch list was left behind");
    if (status == 0) {
        for (const char* name : {"Tour.xml", "Tour.htm", "Tourscene.htm", "loadPanoScene.xml"})
            FUZZ_CHECK(fuzz::exists(dir / name), std::string("status 0 without ") + name);
        FUZZ_CHECK(!fuzz::exists(dir / "Tour.tmp"), "the output scratch file was left behind");
    }
    return 0;
}
