// Reading a scene script into the scene model, and the scene listing.
#pragma once

#include <string>
#include <string_view>

#include "scene/scene_model.h"

namespace frontend {
class ListFile;
class Run;
}  // namespace frontend

namespace scene {

// Where the parser takes its line pieces from and reports lines it skips.
class ScriptLines {
public:
    virtual ~ScriptLines() = default;
    // The next piece of a line (at most 999 bytes, its LF included when it
    // has one); false at the end of the script.
    virtual bool nextLine(std::string& line) = 0;
    // A warning about the line just read.
    virtual void warn(const std::string& message) = 0;
};

// Fills model (which must be fresh) from the lines of a scene script.
void parseSceneScript(ScriptLines& lines, SceneModel& model);
// The same, reading the open list file of the run.
void parseSceneScript(frontend::ListFile& list, SceneModel& model);

// The scene listing as the console shows it (texts converted for the console).
std::string sceneListing(const SceneModel& model);
void printSceneListing(frontend::Run& run, const SceneModel& model);

// Scanning of data fields the way the C library's sscanf reads "%s", "%d"
// and "%g": any run of white space separates fields, and reading stops at
// the first field that does not fit; every field after it reads as missing.
class FieldScanner {
public:
    explicit FieldScanner(std::string_view text) : rest_(text) {}

    // "%s": a run of characters other than white space.
    bool text(std::string& out);
    // "%d": optional sign and decimal digits, clamped to 32 bits.
    bool integer(int& out);
    // "%g": optional sign, digits with an optional fraction and exponent,
    // clamped to the range of a float.
    bool real(float& out);

    int fieldsRead() const { return fieldsRead_; }
    bool stopped() const { return stopped_; }
    // The field that stopped the reading because it is not a number (empty
    // when reading stopped at the end of the text).
    std::string_view badField() const { return badField_; }

private:
    bool skipSpace();
    void stopAtBadField();

    std::string_view rest_;
    int fieldsRead_ = 0;
    bool stopped_ = false;
    std::string_view badField_;
};

}  // namespace scene
