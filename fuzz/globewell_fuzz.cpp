// Globewell's whole run on any menu script, in a fresh folder: the KML is
// well-formed, the list file stays as it was, and the run leaves the KML
// and no scratch file.
#include <cstdint>
#include <string>

#include "frontend/frontend.h"
#include "fuzz/common.h"
#include "maps/frame.h"
#include "menu/kml.h"

#define main globewellMain
#include "maps/globewell.cpp"
#undef main

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::Folder dir;
    const std::string listPath = dir / "hall.lst";
    fuzz::writeFile(listPath, input);

    const int status = fuzz::runOnList(globewellMain, "globewell", dir, dir / "hall", listPath, input);
    FUZZ_CHECK(status == 0, "exit status " + std::to_string(status));
    FUZZ_CHECK(fuzz::exists(dir / "hall.kml"), "status 0 without the KML");
    fuzz::checkXmlOutput(dir / "hall.kml");
    FUZZ_CHECK(!fuzz::exists(dir / "hall.asc") && !fuzz::exists(dir / "hall.txt"), "a scratch file was left behind");
    return 0;
}
