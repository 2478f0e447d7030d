// Reading an ontology data file: section headers, records and the derived
// values of relations and nodes.
#include <string>
#include <utility>
#include <vector>

#include "ontology/ontology.h"
#include "textconv/numbers.h"
#include "settings.h"

namespace ontology {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string upperText(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = upper(c);
    return result;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// The number a word begins with, as a formatted scan reads it: an optional
// sign and decimal digits, clamped to [minimum, maximum].  False when the
// word does not begin with one; whole tells whether the word is nothing but
// a number within the range.
bool leadingNumber(std::string_view word, long minimum, long maximum, long& value, bool& whole) {
    const std::size_t length = textconv::integerLength(word);
    if (length == 0) return false;
    bool clamped = false;
    value = static_cast<long>(textconv::integerValue(word.substr(0, length), minimum, maximum, &clamped));
    whole = length == word.size() && !clamped;
    return true;
}

}  // namespace

std::string noImagePicture() { return std::string(settings::webServer) + "/VR/style/noimage.png"; }

std::string arrowsOfLineStyle(std::string_view lineStyle) {
    const std::string style = upperText(lineStyle);
    if (startsWith(style, "NULL")) return arrowsTo;
    if (startsWith(style, "LINE")) return arrowsNone;
    if (startsWith(style, "ARROW")) return arrowsTo;
    if (startsWith(style, "MOVING")) return arrowsMoving;
    if (startsWith(style, "INVERSE")) return arrowsFrom;
    if (startsWith(style, "BOTH")) return arrowsBoth;
    return arrowsTo;
}

OntologyReader::OntologyReader(OntologyModel& model, Warn warn) : model_(model), warn_(std::move(warn)) {}

void OntologyReader::closeSection() {
    switch (section_) {
    case Section::project: counts_[0] = stored_; break;
    case Section::classes: counts_[1] = stored_; break;
    case Section::relations: counts_[2] = stored_; break;
    case Section::nodes: counts_[3] = stored_; break;
    case Section::links: counts_[4] = stored_; break;
    default: break;
    }
}

// The next slot of the current section's table, reset to a fresh record.  A
// header that repeats a section starts it over at its first slot.
template <typename T>
T& OntologyReader::slot(std::vector<T>& table) {
    if (stored_ < table.size())
        table[stored_] = T{};
    else
        table.emplace_back();
    T& record = table[stored_];
    ++stored_;
    closeSection();
    return record;
}

bool OntologyReader::takeSlot(std::size_t capacity, const char* what) {
    if (stored_ < capacity) return true;
    warn_("skipped: the " + std::string(what) + " section holds at most " + std::to_string(capacity) +
          " records");
    return false;
}

void OntologyReader::readLine(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    const std::vector<std::string_view> words = splitWords(line);

    if (!words.empty() && words[0][0] == '#') {
        closeSection();
        const std::string head = upperText(words[0].substr(0, 5));
        if (head == "#PROJ") section_ = Section::project;
        else if (head == "#CLAS") section_ = Section::classes;
        else if (head == "#RELA") section_ = Section::relations;
        else if (head == "#NODE") section_ = Section::nodes;
        else if (head == "#LINK") section_ = Section::links;
        else section_ = Section::ignored;
        stored_ = 0;
        return;
    }
    // A line of blanks is no record.
    if (words.empty()) return;

    switch (section_) {
    case Section::none:
        warn_("skipped: a record before the first section header");
        break;
    case Section::ignored:
        warn_("skipped: the header before it opens no known section");
        break;
    case Section::project:
        if (takeSlot(maxProjectEntries, "project")) readProject(line, words);
        break;
    case Section::classes:
        if (takeSlot(maxClasses, "class")) readClass(words);
        break;
    case Section::relations:
        if (takeSlot(maxRelations, "relation")) readRelation(words);
        break;
    case Section::nodes:
        if (takeSlot(maxNodes, "node")) readNode(words);
        break;
    case Section::links:
        readLink(words);
        break;
    }
}

std::size_t OntologyReader::fieldCount(const std::vector<std::string_view>& words, std::size_t fields,
                                       std::size_t numberAt, long minimum, long maximum, long& number) {
    std::size_t n = words.size() < fields ? words.size() : fields;
    if (n <= numberAt) return n;
    bool whole = false;
    const std::string word(words[numberAt]);
    if (!leadingNumber(words[numberAt], minimum, maximum, number, whole)) {
        warn_("\"" + word + "\" is not a number; the record ends before it");
        return numberAt;
    }
    if (!whole) warn_("\"" + word + "\" is read as the number " + std::to_string(number));
    return n;
}

void OntologyReader::readProject(std::string_view line, const std::vector<std::string_view>& words) {
    ProjectEntry& entry = slot(model_.project);
    entry.key = words[0];
    std::size_t rest = std::size_t(words[0].data() - line.data()) + words[0].size();
    while (rest < line.size() && isBlank(line[rest])) ++rest;
    entry.value = line.substr(rest);
}

void OntologyReader::readClass(const std::vector<std::string_view>& words) {
    long number = 1;
    const std::size_t n = fieldCount(words, 4, 3, -32768, 32767, number);
    ClassRecord& record = slot(model_.classes);
    record.name = words[0];
    if (n >= 2) record.borderColor = words[1];
    if (n >= 3) record.shape = words[2];
    if (n >= 4) record.number = short(number);
}

void OntologyReader::readRelation(const std::vector<std::string_view>& words) {
    long labelForm = 1;
    const std::size_t n = fieldCount(words, 4, 3, -32768, 32767, labelForm);
    RelationRecord& record = slot(model_.relations);
    record.name = words[0];
    if (n >= 2 && upperText(words[1].substr(0, 4)) != "NULL") record.label = words[1];
    if (n >= 3) record.arrows = arrowsOfLineStyle(words[2]);
    if (n >= 4) record.labelForm = short(labelForm);
}

void OntologyReader::readNode(const std::vector<std::string_view>& words) {
    long imageMode = 0;
    const std::size_t n = fieldCount(words, 6, 5, -2147483647L - 1, 2147483647L, imageMode);
    NodeRecord& node = slot(model_.nodes);
    node.id = words[0];
    node.className = n >= 2 ? std::string(words[1]) : "dummy";
    node.label = n >= 3 ? std::string(words[2]) : "unnamed";
    node.image = noImagePicture();
    node.shapeMode = shapeOfClass;
    // A node that opens a page is underlined; the others show their label.
    node.title = node.label;
    if (n >= 4) {
        node.link = words[3];
        node.title = "<u>" + node.label + "</u>";
    }
    if (n >= 5) {
        node.image = words[4];
        node.shapeMode = shapeImage;
    }
    if (n >= 6) {
        node.shapeMode = int(imageMode);
        if (imageMode == 0)
            node.title = "<img src=\"" + node.image + "\"/>";
        else if (imageMode < 0)
            node.title = node.label;
    }
    if (n >= 4 && upperText(node.link) == "NULL") {
        node.link.clear();
        if (startsWith(node.title, "<u>")) node.title = node.label;
    }
}

void OntologyReader::readLink(const std::vector<std::string_view>& words) {
    if (words.size() < 3) {
        warn_("skipped: a link needs two node ids and a relation");
        return;
    }
    if (!takeSlot(maxLinks, "link")) return;
    LinkRecord& link = slot(model_.links);
    link.node1 = words[0];
    link.node2 = words[1];
    link.relation = words[2];
    if (words.size() >= 4) link.qualifier = words[3];
}

// The end of the file closes no section: a repeated header with no records
// after it, as the last header of the file, leaves its section as it was.
void OntologyReader::finish() {
    model_.project.resize(counts_[0]);
    model_.classes.resize(counts_[1]);
    model_.relations.resize(counts_[2]);
    model_.nodes.resize(counts_[3]);
    model_.links.resize(counts_[4]);
}

}  // namespace ontology
