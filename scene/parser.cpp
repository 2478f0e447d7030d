// The scene script parser and the scene listing.
//
// A scene script is a sequence of sections: a section line whose first field
// begins with '#', then its data lines.  Every data line carries its fields
// separated by white space, then '$' and a free text to the end of the line.
// Gallery lines begin with '*'; comment lines with "//".  Section keywords
// are compared on their first five characters after upper-casing, so #Scene
// and #SCENERY both open a scene.

#include "scene/parser.h"

#include <array>
#include <cfloat>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frontend/frontend.h"
#include "textconv/numbers.h"

namespace scene {

// ---- field scanning ---------------------------------------------------------

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}


}  // namespace

bool FieldScanner::skipSpace() {
    std::size_t i = 0;
    while (i < rest_.size() && isSpace(rest_[i])) ++i;
    rest_.remove_prefix(i);
    if (rest_.empty()) stopped_ = true;
    return !stopped_;
}

void FieldScanner::stopAtBadField() {
    std::size_t end = 0;
    while (end < rest_.size() && !isSpace(rest_[end])) ++end;
    badField_ = rest_.substr(0, end);
    stopped_ = true;
}

bool FieldScanner::text(std::string& out) {
    if (stopped_ || !skipSpace()) return false;
    std::size_t end = 0;
    while (end < rest_.size() && !isSpace(rest_[end])) ++end;
    out.assign(rest_.substr(0, end));
    rest_.remove_prefix(end);
    ++fieldsRead_;
    return true;
}

bool FieldScanner::integer(int& out) {
    if (stopped_ || !skipSpace()) return false;
    const std::size_t length = textconv::integerLength(rest_);
    if (length == 0) {
        stopAtBadField();
        return false;
    }
    out = static_cast<int>(textconv::integerValue(rest_.substr(0, length), INT32_MIN, INT32_MAX));
    rest_.remove_prefix(length);
    ++fieldsRead_;
    return true;
}

bool FieldScanner::real(float& out) {
    if (stopped_ || !skipSpace()) return false;
    const std::size_t length = textconv::decimalNumberLength(rest_);
    if (length == 0) {
        stopAtBadField();
        return false;
    }
    out = static_cast<float>(textconv::decimalValue(rest_.substr(0, length), FLT_MAX));
    rest_.remove_prefix(length);
    ++fieldsRead_;
    return true;
}

// ---- parsing ----------------------------------------------------------------

namespace {

enum class Section { none, scene, gallery, crossLink, outLink, still, video, reference, ignored };

std::string format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string format(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0) std::vsnprintf(text.data(), text.size() + 1, fmt, again);
    va_end(again);
    return text;
}

// Reads the fields of one data line in order.  A field that is missing or
// follows a field that is not a number gets its default; the defaults used
// are reported in one warning for the line (unless the format itself gives
// that default, as for the lookat of a link).
class LineFields {
public:
    LineFields(std::string_view text, ScriptLines& lines) : scan_(text), lines_(lines) {}

    bool text(const char* name, std::string& out, bool warnIfMissing = true) {
        if (scan_.text(out)) return true;
        out.clear();
        if (warnIfMissing) note(name, "empty");
        return false;
    }
    bool integer(const char* name, int& out, int fallback = 0, bool warnIfMissing = true) {
        if (scan_.integer(out)) return true;
        noteBad(name);
        out = fallback;
        if (warnIfMissing) note(name, std::to_string(fallback));
        return false;
    }
    bool real(const char* name, float& out, float fallback, bool warnIfMissing = true) {
        if (scan_.real(out)) return true;
        noteBad(name);
        out = fallback;
        if (warnIfMissing) note(name, format("%g", static_cast<double>(fallback)));
        return false;
    }
    int fieldsRead() const { return scan_.fieldsRead(); }

    // Emits the warning for this line, if any.
    void report() {
        std::string message;
        if (!badName_.empty()) {
            message = format("%s \"%s\" is not a number", badName_.c_str(),
                             frontend::consoleText(bad_).c_str());
        }
        if (!defaults_.empty()) {
            if (!message.empty()) message += "; ";
            message += "fields not given, read as: " + defaults_;
        }
        if (!message.empty()) lines_.warn(message);
    }

private:
    // A field that begins with '$' is the title: the fields before it were
    // left out, which is told as such.
    void noteBad(const char* name) {
        const std::string_view bad = scan_.badField();
        if (badName_.empty() && !bad.empty() && bad[0] != '$') {
            badName_ = name;
            bad_ = std::string(scan_.badField());
        }
    }
    void note(const char* name, const std::string& value) {
        if (!defaults_.empty()) defaults_ += ", ";
        defaults_ += name;
        defaults_ += ' ';
        defaults_ += value;
    }

    FieldScanner scan_;
    ScriptLines& lines_;
    std::string badName_;
    std::string bad_;
    std::string defaults_;
};

class Parser {
public:
    Parser(ScriptLines& lines, SceneModel& model) : lines_(lines), model_(model) {}

    void run() {
        std::string line;
        while (lines_.nextLine(line)) handleLine(line);
        closeSection();
        model_.sceneCount = scenesRead_ < maxScenes ? scenesRead_ : maxScenes;
        model_.galleryObjectCount = nextObject_;
    }

private:
    Scene& scene() { return model_.scenes[static_cast<std::size_t>(currentScene_)]; }

    void handleLine(const std::string& line) {
        // The line reader skips lines shorter than 5 bytes; a piece handed in
        // directly is held to the same rule.
        if (line.size() < 5) return;
        FieldScanner first(line);
        std::string field;
        if (!first.text(field)) return;  // only white space
        if (field.compare(0, 2, "//") == 0) return;
        if (field[0] == '#') {
            sectionLine(field);
            return;
        }
        if (field[0] == '*') {
            galleryLine(line);
            return;
        }
        dataLine(line);
    }

    // Stores the entry counter of an open section as the scene's count.
    void closeSection() {
        if (beyondCapacity_) return;
        Scene& s = scene();
        switch (section_) {
        case Section::crossLink: s.crossLinkCount = entries_; break;
        case Section::outLink: s.outLinkCount = entries_; break;
        case Section::still: s.stillCount = entries_; break;
        case Section::video: s.videoCount = entries_; break;
        case Section::reference: s.referenceCount = entries_; break;
        default: break;
        }
    }

    void sectionLine(const std::string& field) {
        closeSection();
        std::string key = field.substr(0, 5);
        for (char& c : key) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        if (key == "#SCEN") {
            section_ = Section::scene;
            ++scenesRead_;
            if (scenesRead_ > maxScenes) {
                beyondCapacity_ = true;
                lines_.warn(format("a scene script holds at most %d scenes: this scene and its "
                                   "sections are skipped",
                                   maxScenes));
            } else {
                beyondCapacity_ = false;
                currentScene_ = scenesRead_ - 1;
            }
        } else if (key == "#GALL") {
            section_ = Section::gallery;
            // A second #GALLERY section in a scene starts its galleries over,
            // as a repeated section of any other kind does.
            if (!beyondCapacity_) {
                auto& opened = galleryOpened_[static_cast<std::size_t>(currentScene_)];
                if (opened) scene().galleryCount = 0;
                opened = true;
            }
        } else if (key == "#CROS") {
            section_ = Section::crossLink;
        } else if (key == "#OUTL") {
            section_ = Section::outLink;
        } else if (key == "#STIL") {
            section_ = Section::still;
        } else if (key == "#VIDE") {
            section_ = Section::video;
        } else if (key == "#REFE") {
            section_ = Section::reference;
        } else {
            section_ = Section::ignored;
        }
        entries_ = 0;
        currentGallery_ = -1;
    }

    static std::string titleOf(const std::string& line, std::size_t dollar) {
        std::string title = line.substr(dollar + 1);
        if (!title.empty() && title.back() == '\n') title.pop_back();
        return title;
    }

    // A line that would belong to a scene beyond the capacity, or to a
    // section whose lines are not read.
    bool skippedBySection() {
        if (beyondCapacity_) {
            lines_.warn(format("line skipped: it belongs to a scene beyond the %d a scene "
                               "script holds",
                               maxScenes));
            return true;
        }
        if (section_ == Section::ignored) {
            lines_.warn("line skipped: it stands in a section of unknown name");
            return true;
        }
        return false;
    }

    void galleryLine(const std::string& line) {
        currentGallery_ = -1;  // the objects that follow belong to this line
        if (skippedBySection()) return;
        const std::size_t dollar = line.find('$');
        if (dollar == std::string::npos) {
            lines_.warn("gallery line skipped: it has no '$' before its title; its objects are "
                        "skipped too");
            return;
        }
        Scene& s = scene();
        if (s.galleryCount >= maxEntries) {
            lines_.warn(format("gallery line skipped: a scene holds at most %d galleries; its "
                               "objects are skipped too",
                               maxEntries));
            return;
        }
        Gallery& g = s.galleries[static_cast<std::size_t>(s.galleryCount)];
        g = Gallery{};
        g.title = titleOf(line, dollar);
        LineFields fields(line, lines_);
        std::string first;
        fields.text("folder", first);
        g.folder = first.substr(1);
        fields.integer("ath", g.ath);
        fields.integer("atv", g.atv);
        fields.report();
        g.firstObject = nextObject_;
        g.objectCount = 0;
        currentGallery_ = s.galleryCount;
        ++s.galleryCount;
    }

    void dataLine(const std::string& line) {
        if (section_ == Section::none) {
            lines_.warn("line skipped: it stands before the first section line");
            return;
        }
        if (skippedBySection()) return;
        const std::size_t dollar = line.find('$');
        if (dollar == std::string::npos) {
            lines_.warn("line skipped: it has no '$' before its text");
            return;
        }
        const std::string text = titleOf(line, dollar);
        // Links read their fields from the text before the '$'; the other
        // sections from the whole line, so that a trailing text field left
        // out takes the first word of the title, '$' included.
        const std::string_view whole(line);
        const std::string_view beforeDollar = whole.substr(0, dollar);
        Scene& s = scene();
        const auto i = static_cast<std::size_t>(entries_);
        switch (section_) {
        case Section::scene: {
            if (entries_ >= 1) {
                lines_.warn("line skipped: the scene is defined by the first line of its "
                            "#SCENE section");
                return;
            }
            LineFields fields(whole, lines_);
            fields.text("name", s.name);
            const bool h = fields.integer("hlookat", s.hlookat, 0, false);
            const bool v = fields.integer("vlookat", s.vlookat, 0, false);
            fields.report();
            if (h && !v) {
                lines_.warn("hlookat given without vlookat: the view is read as 0 0");
                s.hlookat = 0;
            }
            s.title = text;
            break;
        }
        case Section::crossLink:
        case Section::outLink: {
            if (full()) return;
            CrossLink link;
            LineFields fields(beforeDollar, lines_);
            fields.text("target", link.target);
            fields.integer("ath", link.ath);
            fields.integer("atv", link.atv);
            fields.text("style", link.style);
            fields.integer("lookat", link.lookat, noLookat, false);
            fields.report();
            link.hoverText = text;
            if (section_ == Section::crossLink) {
                s.crossLinks[i] = link;
            } else {
                OutLink& out = s.outLinks[i];
                out.target = link.target;
                out.ath = link.ath;
                out.atv = link.atv;
                out.style = link.style;
                out.lookat = link.lookat;
                out.hoverText = link.hoverText;
            }
            break;
        }
        case Section::still: {
            if (full()) return;
            StillImage& still = s.stills[i];
            LineFields fields(whole, lines_);
            fields.text("name", still.name);
            fields.integer("ath", still.ath);
            fields.integer("atv", still.atv);
            fields.real("scale", still.scale, 1);
            const bool hasDistorted = fields.integer("distorted", still.distorted);
            fields.integer("rx", still.rx);
            fields.integer("ry", still.ry);
            fields.integer("rz", still.rz);
            fields.report();
            if (hasDistorted && still.distorted != 0 && still.distorted != 1) {
                lines_.warn(format("distorted is %d, not 0 or 1: written as true", still.distorted));
            }
            still.hoverText = text;
            break;
        }
        case Section::video: {
            if (full()) return;
            VideoLink& video = s.videos[i];
            LineFields fields(whole, lines_);
            fields.text("name", video.name);
            fields.integer("ath", video.ath);
            fields.integer("atv", video.atv);
            fields.integer("kind", video.kind);
            fields.report();
            video.title = text;
            break;
        }
        case Section::reference: {
            if (full()) return;
            Reference& ref = s.references[i];
            LineFields fields(whole, lines_);
            fields.text("target", ref.target);
            fields.integer("ath", ref.ath);
            fields.integer("atv", ref.atv);
            fields.text("icon", ref.icon);
            fields.real("scale", ref.scale, 1);
            fields.report();
            ref.title = text;
            break;
        }
        case Section::gallery: {
            objectLine(whole, text);
            return;
        }
        default: return;
        }
        ++entries_;
    }

    bool full() {
        if (entries_ < maxEntries) return false;
        lines_.warn(format("line skipped: a scene holds at most %d entries of each kind", maxEntries));
        return true;
    }

    void objectLine(std::string_view line, const std::string& title) {
        if (currentGallery_ < 0) {
            lines_.warn("object line skipped: no gallery line of this scene stands before it");
            return;
        }
        if (nextObject_ >= maxGalleryObjects) {
            lines_.warn(format("object line skipped: a scene script holds at most %d gallery "
                               "objects",
                               maxGalleryObjects));
            return;
        }
        GalleryObject& object = model_.galleryObjects[static_cast<std::size_t>(nextObject_)];
        LineFields fields(line, lines_);
        fields.text("file", object.file);
        fields.integer("type", object.type);
        fields.real("scale", object.scale, 1);
        fields.text("explanation", object.explanation);
        fields.report();
        object.title = title;
        ++nextObject_;
        ++scene().galleries[static_cast<std::size_t>(currentGallery_)].objectCount;
    }

    ScriptLines& lines_;
    SceneModel& model_;
    Section section_ = Section::none;
    int currentScene_ = 0;  // sections before the first #SCENE belong to scene 1
    int scenesRead_ = 0;
    bool beyondCapacity_ = false;
    int entries_ = 0;
    int currentGallery_ = -1;
    int nextObject_ = 0;
    std::array<bool, maxScenes> galleryOpened_{};  // a #GALLERY section was opened in the scene
};

class ListFileLines : public ScriptLines {
public:
    explicit ListFileLines(frontend::ListFile& list) : list_(list) {}
    bool nextLine(std::string& line) override { return list_.nextLine(line); }
    void warn(const std::string& message) override { list_.warn("%s", message.c_str()); }

private:
    frontend::ListFile& list_;
};

}  // namespace

void parseSceneScript(ScriptLines& lines, SceneModel& model) { Parser(lines, model).run(); }

void parseSceneScript(frontend::ListFile& list, SceneModel& model) {
    ListFileLines lines(list);
    parseSceneScript(lines, model);
}

// ---- the scene listing ------------------------------------------------------

std::string sceneListing(const SceneModel& model) {
    std::string out;
    auto c = [](const std::string& ansi) { return frontend::consoleText(ansi); };
    for (int n = 0; n < model.sceneCount; ++n) {
        const Scene& s = model.scenes[static_cast<std::size_t>(n)];
        out += format("\n#Scene %d: %s %s (%d, %d)\n\n", n + 1, c(s.title).c_str(),
                      c(s.name).c_str(), s.hlookat, s.vlookat);
        for (int j = 0; j < s.crossLinkCount; ++j) {
            const CrossLink& l = s.crossLinks[static_cast<std::size_t>(j)];
            out += format("  Cross Link %d: %s %s (%d, %d)\n", j + 1, c(l.hoverText).c_str(),
                          c(l.target).c_str(), l.ath, l.atv);
        }
        out += "\n";
        for (int j = 0; j < s.outLinkCount; ++j) {
            const OutLink& l = s.outLinks[static_cast<std::size_t>(j)];
            out += format("  Out Link %d: %s %s (%d, %d)\n", j + 1, c(l.hoverText).c_str(),
                          c(l.target).c_str(), l.ath, l.atv);
        }
        out += "\n";
        for (int j = 0; j < s.stillCount; ++j) {
            const StillImage& p = s.stills[static_cast<std::size_t>(j)];
            out += format("  Still Image %d: %s %s[%g] (%d, %d) %d %d %d\n", j + 1,
                          c(p.hoverText).c_str(), c(p.name).c_str(), static_cast<double>(p.scale),
                          p.ath, p.atv, p.rx, p.ry, p.rz);
        }
        out += "\n";
        for (int j = 0; j < s.videoCount; ++j) {
            const VideoLink& v = s.videos[static_cast<std::size_t>(j)];
            out += format("  Video %d: %s %s[%d] (%d, %d)\n", j + 1, c(v.title).c_str(),
                          c(v.name).c_str(), v.kind, v.ath, v.atv);
        }
        out += "\n";
        for (int j = 0; j < s.galleryCount; ++j) {
            const Gallery& g = s.galleries[static_cast<std::size_t>(j)];
            out += format("  Gallery %d: %s %s (%d, %d) %d-%d\n", j + 1, c(g.title).c_str(),
                          c(g.folder).c_str(), g.ath, g.atv, g.firstObject, g.objectCount);
            for (int k = g.firstObject; k < g.firstObject + g.objectCount; ++k) {
                const GalleryObject& o = model.galleryObjects[static_cast<std::size_t>(k)];
                out += format("\tGallery Object %d: %s %d %s %g\n", k + 1, c(o.title).c_str(),
                              o.type, c(o.file).c_str(), static_cast<double>(o.scale));
            }
        }
        out += "\n";
        for (int j = 0; j < s.referenceCount; ++j) {
            const Reference& r = s.references[static_cast<std::size_t>(j)];
            out += format("  Reference %d: %s %s %s[%g] (%d, %d)\n", j + 1, c(r.title).c_str(),
                          c(r.target).c_str(), c(r.icon).c_str(), static_cast<double>(r.scale),
                          r.ath, r.atv);
        }
        out += "\n";
    }
    return out;
}

void printSceneListing(frontend::Run& run, const SceneModel& model) {
    const std::string listing = sceneListing(model);
    run.say("%s", listing.c_str());
}

}  // namespace scene
