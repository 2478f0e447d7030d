// Portalcraft's whole run on any menu script, in a fresh folder: the entry,
// menu and map XML and the KML are well-formed, the start page's script
// elements are whole, the list file stays as it was, and a run that
// reports success leaves every output and no scratch file.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "frontend/frontend.h"
#include "fuzz/common.h"
#include "menu/kml.h"
#include "menu/menu_script.h"
#include "menu/portal.h"

#define main portalcraftMain
#include "menu/main.cpp"
#undef main

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::Folder dir;
    const std::string listPath = dir / "expo.lst";
    fuzz::writeFile(listPath, input);

    const int status = fuzz::runOnList(portalcraftMain, "portalcraft", dir, dir / "expo", listPath, input);
    FUZZ_CHECK(status == 0, "exit status " + std::to_string(status));
    for (const char* name : {"expof.xml", "expom.xml", "expog.xml", "expo.kml"}) {
        FUZZ_CHECK(fuzz::exists(dir / name), std::string("status 0 without ") + name);
        fuzz::checkXmlOutput(dir / name);
    }
    FUZZ_CHECK(fuzz::exists(dir / "index.htm"), "status 0 without index.htm");
    fuzz::checkScriptElements(dir / "index.htm");
    FUZZ_CHECK(!fuzz::exists(dir / "expo.asc") && !fuzz::exists(dir / "expo.txt"), "a scratch file was left behind");
    return 0;
}
