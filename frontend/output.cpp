// Writing outputs: directly (pages, loader) or through the output scratch
// file and the library's conversion to UTF-8.
#include <cstdio>

#include "frontend/frontend.h"
#include "textconv/textconv.h"

namespace frontend {

bool writeDirect(Run& run, const std::string& path, const std::function<void(textconv::TextWriter&)>& write) {
    textconv::TextWriter out;
    if (!out.open(path, textconv::TextWriter::Mode::replace)) {
        run.error("%s", out.error().c_str());
        return false;
    }
    write(out);
    if (!out.close()) {
        run.error("%s", out.error().c_str());
        return false;
    }
    return true;
}

ScratchOutput::ScratchOutput(Run& run, std::string scratchPath) : run_(run), scratchPath_(std::move(scratchPath)) {}

ScratchOutput::~ScratchOutput() = default;

bool ScratchOutput::write(const std::function<bool(textconv::TextWriter&)>& write) {
    textconv::TextWriter out;
    if (!out.open(scratchPath_, textconv::TextWriter::Mode::direct)) {
        run_.error("%s", out.error().c_str());
        return false;
    }
    bool complete = write(out);
    if (!out.close()) {
        run_.error("%s", out.error().c_str());
        return false;
    }
    return complete;
}

bool ScratchOutput::convertTo(const std::string& outputPath) {
    std::string failure;
    int result = textconv::convertOutputFile(scratchPath_.c_str(), outputPath.c_str(), &failure);
    std::fflush(stdout);
    if (result == 0) return true;
    if (!failure.empty()) run_.error("%s", failure.c_str());
    run_.markFailed();
    return false;
}

void ScratchOutput::remove() { removeFile(scratchPath_); }

}  // namespace frontend
