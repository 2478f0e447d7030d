// Netloom's whole run on any ontology data file, in a fresh folder: the
// list file stays as it was; a run that reports success leaves the page,
// with whole script elements, and no scratch file; a failed run (names that
// do not resolve) leaves no page.
#include <cstdint>
#include <string>

#include "frontend/frontend.h"
#include "fuzz/common.h"
#include "ontology/ontology.h"

#define main netloomMain
#include "ontology/netloom.cpp"
#undef main

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::Folder dir;
    const std::string listPath = dir / "onto.lst";
    fuzz::writeFile(listPath, input);

    const int status = fuzz::runOnList(netloomMain, "netloom", dir, dir / "onto.lst", listPath, input);
    FUZZ_CHECK(status == 0 || status == 1, "exit status " + std::to_string(status));
    FUZZ_CHECK(!fuzz::exists(dir / "onto.asc"), "the scratch list was left behind");
    if (status == 0) {
        FUZZ_CHECK(fuzz::exists(dir / "onto.htm"), "status 0 without the page");
        FUZZ_CHECK(!fuzz::exists(dir / "onto.out"), "the output scratch file was left behind");
        fuzz::checkScriptElements(dir / "onto.htm");
    } else {
        FUZZ_CHECK(!fuzz::exists(dir / "onto.htm"), "a failed run left a page");
    }
    return 0;
}
