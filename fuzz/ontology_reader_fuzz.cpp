// The ontology reader on any text, then resolution (the validation) and,
// when it succeeds, the network page: tables within their capacities,
// every link tied to existing nodes, and a page whose script elements are
// not ended early by a text.
#include <cstdint>
#include <string>

#include "fuzz/common.h"
#include "ontology/ontology.h"
#include "textconv/textconv.h"
#include "textconv/textfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Line pieces as the list file gives them: at most 999 bytes, cut at a
    // NUL, lines under 5 bytes skipped, CR LF read as LF.
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i)
        if (!(data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')) text += static_cast<char>(data[i]);

    ontology::OntologyModel model;
    ontology::OntologyReader reader(model, [](const std::string&) {});
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end + 1;
        if (end - pos > 999) end = pos + 999;
        std::string line = text.substr(pos, end - pos);
        pos = end;
        if (std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
        if (line.size() >= 5) reader.readLine(line);
    }
    reader.finish();

    FUZZ_CHECK(model.project.size() <= ontology::maxProjectEntries, "project entries");
    FUZZ_CHECK(model.classes.size() <= ontology::maxClasses, "classes");
    FUZZ_CHECK(model.relations.size() <= ontology::maxRelations, "relations");
    FUZZ_CHECK(model.nodes.size() <= ontology::maxNodes, "nodes");
    FUZZ_CHECK(model.links.size() <= ontology::maxLinks, "links");

    if (!ontology::resolve(model, [](const std::string&) {})) return 0;
    for (const ontology::NodeRecord& node : model.nodes)
        FUZZ_CHECK(node.classIndex < model.classes.size(), "a node tied to no class");
    ontology::replaceUnderscores(model);

    fuzz::Folder dir;
    const std::string scratch = dir / "onto.out";
    const std::string page = dir / "onto.htm";
    {
        textconv::TextWriter out;
        FUZZ_CHECK(out.open(scratch, textconv::TextWriter::Mode::direct), "cannot create " + scratch);
        ontology::writeNetworkPage(out, model, "onto");
        FUZZ_CHECK(out.close(), out.error());
    }
    FUZZ_CHECK(textconv::convertOutputFile(scratch.c_str(), page.c_str()) == 0, "conversion failed");
    fuzz::checkScriptElements(page);
    return 0;
}
