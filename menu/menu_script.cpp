// The menu script reader, shared by Portalcraft, Markwell and Globewell.
//
// The text is ANSI: a byte 80 or above followed by a byte from 21 up is one
// two-byte code, and its trail byte may be an ASCII byte such as '#', '$' or
// '.' (extended Hanja codes).  Every scan below steps over such codes whole.
#include "menu/menu_script.h"

#include <cstring>

namespace menu {

namespace {

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Bytes taken by the character at text[i]: 2 for a two-byte code, else 1.
std::size_t charWidth(std::string_view text, std::size_t i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() &&
        static_cast<unsigned char>(text[i + 1]) >= 0x21)
        return 2;
    return 1;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The '#' that makes a section line: the first one that is a character of
// its own and not part of a numeric character reference ("&#" and a digit),
// which the list normalisation writes for characters outside KS X 1001.
std::size_t sectionMark(std::string_view line) {
    bool afterAmpersand = false;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t width = charWidth(line, i);
        if (width == 1) {
            char c = line[i];
            if (c == '#' && !(afterAmpersand && i + 1 < line.size() && isDigit(line[i + 1])))
                return i;
            afterAmpersand = c == '&';
        } else {
            afterAmpersand = false;
        }
        i += width;
    }
    return std::string_view::npos;
}

// Splits off the next blank-separated word of text from pos on; empty when
// there is none.  pos moves past the word.
std::string nextWord(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isBlank(static_cast<unsigned char>(text[pos]))) ++pos;
    std::size_t start = pos;
    while (pos < text.size() && !isBlank(static_cast<unsigned char>(text[pos])))
        pos += charWidth(text, pos);
    return std::string(text.substr(start, pos - start));
}

std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    return line;
}

bool onlyBlanks(std::string_view line) {
    for (char c : line)
        if (!isBlank(static_cast<unsigned char>(c))) return false;
    return true;
}

enum class Section { none, project, site, host, ignored };

Section sectionNamed(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (name.compare(0, 5, "#PROJ") == 0) return Section::project;
    if (name.compare(0, 4, "#SIT") == 0) return Section::site;
    if (name.compare(0, 4, "#HOS") == 0) return Section::host;
    return Section::ignored;
}

// Position of the last character of text (stepping over two-byte codes).
std::size_t lastCharStart(std::string_view text) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += charWidth(text, i)) last = i;
    return last;
}

}  // namespace

std::size_t findAnsiChar(std::string_view text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i += charWidth(text, i))
        if (text[i] == c) return i;
    return std::string_view::npos;
}

void readMenuScript(frontend::ListFile& list, MenuScript& menu, int siteCapacity) {
    Section section = Section::none;
    std::string sectionName;  // as written, for warnings
    long sectionLine = 0;
    int counter = 0;
    menu.siteCount = 0;
    menu.sites.clear();

    std::string line;
    while (list.nextLine(line)) {
        std::string_view text = line;
        std::size_t mark = sectionMark(text);
        if (mark != std::string_view::npos) {
            if (section == Section::site) menu.siteCount = counter;
            sectionName = std::string(withoutLineEnd(text.substr(mark)));
            sectionLine = list.lineNumber();
            section = sectionNamed(sectionName);
            counter = 0;
            continue;
        }
        if (onlyBlanks(text)) continue;

        switch (section) {
        case Section::none:
            break;
        case Section::ignored:
            list.warn("line ignored: it belongs to the section \"%s\" of line %ld, which is not "
                      "#PROJECT, #SITE or #HOST (a '#' anywhere in a line opens a section)",
                      frontend::consoleText(sectionName).c_str(), sectionLine);
            break;
        case Section::project: {
            if (counter >= projectSlots) {
                list.warn("more than %d project lines: line ignored", projectSlots);
                break;
            }
            std::size_t pos = 0;
            std::string label = nextWord(text, pos);
            while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 33) ++pos;
            menu.projectLabels[counter] = label;
            menu.projectValues[counter] = std::string(text.substr(pos));
            ++counter;
            break;
        }
        case Section::site: {
            if (counter >= siteCapacity) {
                list.warn("more than %d sites in a site section: site line ignored", siteCapacity);
                break;
            }
            std::size_t dollar = findAnsiChar(text, '$');
            if (dollar == std::string_view::npos) {
                list.warn("site line without '$' before the site name: line ignored");
                break;
            }
            SiteRecord site;
            site.siteName = std::string(withoutLineEnd(text.substr(dollar + 1)));
            std::string_view words = text.substr(0, dollar);
            std::size_t pos = 0;
            site.directory = nextWord(words, pos);
            site.sceneField = nextWord(words, pos);
            site.latitude = nextWord(words, pos);
            site.longitude = nextWord(words, pos);
            if (site.longitude.empty())
                list.warn("site line with fewer than four words (folder, scene, latitude, "
                          "longitude) before '$': the missing ones are empty");
            site.lineNumber = list.lineNumber();
            if (static_cast<std::size_t>(counter) < menu.sites.size())
                menu.sites[counter] = std::move(site);
            else
                menu.sites.push_back(std::move(site));
            ++counter;
            menu.siteCount = counter;
            break;
        }
        case Section::host: {
            std::size_t pos = 0;
            std::string host = nextWord(text, pos);
            std::size_t last = lastCharStart(host);
            if (last != std::string_view::npos && (host[last] == '/' || host[last] == '\\'))
                host.erase(last);
            menu.hostValue = host;
            ++counter;
            break;
        }
        }
    }
    menu.sites.resize(static_cast<std::size_t>(menu.siteCount));
}

void splitSceneFields(MenuScript& menu, SceneSplit split) {
    for (int k = 0; k < menu.siteCount; ++k) {
        SiteRecord& site = menu.sites[static_cast<std::size_t>(k)];
        const std::string& field = site.sceneField;
        site.pageFile = false;
        std::size_t dot = findAnsiChar(field, '.');
        if (dot == std::string::npos) {
            site.scene = field;
            site.startScene.clear();
            continue;
        }
        if (split == SceneSplit::pageFiles) {
            std::string_view extension = std::string_view(field).substr(dot);
            if (extension.starts_with(".xml") || extension.starts_with(".htm")) {
                site.scene = field;
                site.startScene.assign(1, '*');
                site.pageFile = true;
                continue;
            }
        }
        site.scene = field.substr(0, dot);
        site.startScene = field.substr(dot + 1);
    }
}

LinkForm linkForm(const SiteRecord& site) {
    if (site.pageFile) return LinkForm::pageFile;
    if (site.startScene.empty()) return LinkForm::mainPage;
    return LinkForm::startScene;
}

}  // namespace menu
