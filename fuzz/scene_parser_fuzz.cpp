// The scene script parser on any text: the model stays within its
// capacities, the listing can be made, and the generated gallery scenes are
// well-formed XML after the output conversion.
#include <cstdint>
#include <string>

#include "frontend/frontend.h"
#include "fuzz/common.h"
#include "scene/parser.h"
#include "scene/scene_model.h"
#include "scene/writers.h"
#include "textconv/textconv.h"
#include "textconv/textfile.h"

namespace {

// Line pieces as the list file gives them: at most 999 bytes, cut at a NUL,
// lines under 5 bytes skipped; CR LF read as LF.
class MemoryLines : public scene::ScriptLines {
public:
    explicit MemoryLines(std::string text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text_ += text[i];
    }
    bool nextLine(std::string& line) override {
        for (;;) {
            if (pos_ >= text_.size()) return false;
            std::size_t end = text_.find('\n', pos_);
            end = end == std::string::npos ? text_.size() : end + 1;
            if (end - pos_ > frontend::listPieceBytes) end = pos_ + frontend::listPieceBytes;
            line.assign(text_, pos_, end - pos_);
            pos_ = end;
            if (std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
            if (line.size() >= 5) return true;
        }
    }
    void warn(const std::string&) override {}

private:
    std::string text_;
    std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryLines lines(std::string(reinterpret_cast<const char*>(data), size));
    auto model = std::make_unique<scene::SceneModel>();
    scene::parseSceneScript(lines, *model);

    FUZZ_CHECK(model->sceneCount >= 0 && model->sceneCount <= scene::maxScenes, "scene count");
    FUZZ_CHECK(model->galleryObjectCount >= 0 && model->galleryObjectCount <= scene::maxGalleryObjects,
               "gallery object count");
    for (int k = 0; k < model->sceneCount; ++k) {
        const scene::Scene& s = model->scenes[static_cast<std::size_t>(k)];
        for (int count : {s.crossLinkCount, s.outLinkCount, s.stillCount, s.videoCount, s.galleryCount,
                          s.referenceCount})
            FUZZ_CHECK(count >= 0 && count <= scene::maxEntries, "entry count of scene " + std::to_string(k));
        for (int g = 0; g < s.galleryCount; ++g) {
            const scene::Gallery& gallery = s.galleries[static_cast<std::size_t>(g)];
            FUZZ_CHECK(gallery.firstObject >= 0 && gallery.objectCount >= 0 &&
                           gallery.firstObject + gallery.objectCount <= model->galleryObjectCount,
                       "gallery objects out of range");
        }
    }
    (void)scene::sceneListing(*model);

    // The gallery scenes and the startup action, converted, inside the scene
    // XML's root element (which they close).
    fuzz::Folder dir;
    const std::string scratch = dir / "gallery.tmp";
    const std::string output = dir / "gallery.xml";
    {
        textconv::TextWriter out;
        FUZZ_CHECK(out.open(scratch, textconv::TextWriter::Mode::direct), "cannot create " + scratch);
        out.write("<krpano>\n");
        scene::writeGalleryScenes(*model, out);
        FUZZ_CHECK(out.close(), out.error());
    }
    FUZZ_CHECK(textconv::convertOutputFile(scratch.c_str(), output.c_str()) == 0, "conversion failed");
    fuzz::checkXmlOutput(output);
    return 0;
}
