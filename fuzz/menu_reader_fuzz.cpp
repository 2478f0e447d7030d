// The menu script reader on any list file, in both of its uses: Portalcraft
// (30 sites, start scenes split off) and the map programs (100 sites, page
// files split off).  The reader keeps its capacities, the list file stays as
// it was, and the KML written from what it read is well-formed.
#include <cstdint>
#include <string>

#include "frontend/frontend.h"
#include "fuzz/common.h"
#include "menu/kml.h"
#include "menu/menu_script.h"
#include "textconv/textconv.h"
#include "textconv/textfile.h"

namespace {

const frontend::ProgramInfo info = {"menufuzz", "usage\n", "banner"};

void readAs(const fuzz::Folder& dir, const std::string& listPath, const std::string& input, int capacity,
            menu::SceneSplit split) {
    char program[] = "menufuzz";
    char* argv[] = {program, nullptr};
    frontend::Run run(info, 1, argv);
    menu::MenuScript script;
    {
        frontend::ListFile list(run, listPath, dir / "menu.asc");
        FUZZ_CHECK(list.open("Lst File \"%s\" Not Found!\n"), "the list file could not be opened");
        menu::readMenuScript(list, script, capacity);
        list.close();
    }
    FUZZ_CHECK(fuzz::readFile(listPath) == input, "the list file changed");
    FUZZ_CHECK(!fuzz::exists(dir / "menu.asc"), "the scratch list was left behind");
    menu::splitSceneFields(script, split);
    FUZZ_CHECK(script.siteCount >= 0 && script.siteCount <= capacity, "site count beyond the capacity");
    FUZZ_CHECK(script.sites.size() == static_cast<std::size_t>(script.siteCount), "sites and site count differ");
    for (const menu::SiteRecord& site : script.sites) {
        menu::LinkForm form = menu::linkForm(site);
        if (split == menu::SceneSplit::startScene)
            FUZZ_CHECK(form != menu::LinkForm::pageFile, "a page file in Portalcraft's split");
    }

    const std::string scratch = dir / "menu.txt";
    const std::string output = dir / "menu.kml";
    {
        textconv::TextWriter out;
        FUZZ_CHECK(out.open(scratch, textconv::TextWriter::Mode::direct), "cannot create " + scratch);
        menu::writeKml(out, "menu", script);
        FUZZ_CHECK(out.close(), out.error());
    }
    FUZZ_CHECK(textconv::convertOutputFile(scratch.c_str(), output.c_str()) == 0, "conversion failed");
    fuzz::checkXmlOutput(output);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Folder dir;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string listPath = dir / "menu.lst";
    fuzz::writeFile(listPath, input);
    readAs(dir, listPath, input, menu::portalSiteCapacity, menu::SceneSplit::startScene);
    readAs(dir, listPath, input, menu::mapSiteCapacity, menu::SceneSplit::pageFiles);
    return 0;
}
