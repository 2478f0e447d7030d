// Netloom: the ontology model, its reader, resolution and the network page.
//
// An ontology data file has five sections (#PROJECT, #CLASS, #RELATION,
// #NODES, #LINKS).  The reader fills the tables below in file order, the
// resolver ties every node to its class and every link to its nodes and
// relation, and the page writer turns the resolved model into the ANSI text
// of one vis.js network page.  All texts are ANSI (KS X 1001) text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace textconv {
class TextWriter;
}

namespace ontology {

// Capacities of the tables; records beyond them are skipped.
inline constexpr std::size_t maxProjectEntries = 10;
inline constexpr std::size_t maxClasses = 100;
inline constexpr std::size_t maxRelations = 100;
inline constexpr std::size_t maxNodes = 500;
inline constexpr std::size_t maxLinks = 750;

struct ProjectEntry {
    std::string key;
    std::string value;
};

struct ClassRecord {
    std::string name;
    std::string borderColor;
    std::string shape = "ellipse";  // the network library's own default shape
    short number = 1;
};

// Arrow heads of the line styles.
inline constexpr const char* arrowsNone = "";
inline constexpr const char* arrowsTo = "to";
inline constexpr const char* arrowsMoving = "to,middle";
inline constexpr const char* arrowsFrom = "from";
inline constexpr const char* arrowsBoth = "to,from";

struct RelationRecord {
    std::string name;
    std::string label;
    std::string arrows = arrowsTo;
    short labelForm = 1;
};

// Shape modes of a node.
inline constexpr int shapeOfClass = 0;
inline constexpr int shapeImage = 1;
inline constexpr int shapeCircularImage = 2;

struct NodeRecord {
    std::string id;
    std::string className;
    std::string label;
    std::string title;  // hover text; may hold HTML
    std::string link;   // page opened when the node is selected; may be empty
    std::string image;  // never empty: the no-image picture when none is given
    int shapeMode = shapeOfClass;
    std::size_t classIndex = 0;  // set by resolve()
};

struct LinkRecord {
    std::string node1;
    std::string node2;
    std::string relation;
    std::string qualifier;
    // Copies of the named relation's values, set by resolve().
    std::string relationLabel;
    std::string arrows;
    short labelForm = 1;
};

struct OntologyModel {
    std::vector<ProjectEntry> project;
    std::vector<ClassRecord> classes;
    std::vector<RelationRecord> relations;
    std::vector<NodeRecord> nodes;
    std::vector<LinkRecord> links;
};

// The address of the picture of a node that names none.
std::string noImagePicture();

// Arrow heads for a line style as written in a relation record.
std::string arrowsOfLineStyle(std::string_view lineStyle);

// Reads the lines of an ontology data file into a model.
class OntologyReader {
public:
    // Receives a warning about the line just given to readLine.
    using Warn = std::function<void(const std::string& message)>;

    OntologyReader(OntologyModel& model, Warn warn);

    // One line piece as the list file gives it (its line feed included when
    // it has one).
    void readLine(std::string_view line);
    // Ends the file: every table keeps the records its section counts.
    void finish();

private:
    enum class Section { none, ignored, project, classes, relations, nodes, links };

    void closeSection();
    bool takeSlot(std::size_t capacity, const char* what);
    void readProject(std::string_view line, const std::vector<std::string_view>& words);
    void readClass(const std::vector<std::string_view>& words);
    void readRelation(const std::vector<std::string_view>& words);
    void readNode(const std::vector<std::string_view>& words);
    void readLink(const std::vector<std::string_view>& words);
    // Field count of a record whose field at numberAt is a number: the fields
    // before it when the word there is not one.
    std::size_t fieldCount(const std::vector<std::string_view>& words, std::size_t fields,
                           std::size_t numberAt, long minimum, long maximum, long& number);

    template <typename T>
    T& slot(std::vector<T>& table);

    OntologyModel& model_;
    Warn warn_;
    Section section_ = Section::none;
    std::size_t stored_ = 0;  // records stored since the section's header
    std::size_t counts_[5] = {0, 0, 0, 0, 0};
};

// Ties every node to its class and every link to its nodes and relation,
// copying the relation's label, arrows and label form into the link.  Each
// name that does not resolve gives one message line (ANSI text, with its
// line feed) to say; the checks run as groups (classes, then both ends of
// the links, then relations) and the first failing group ends them.
// Returns false when a check failed.
bool resolve(OntologyModel& model, const std::function<void(const std::string& line)>& say);

// Turns underscores into blanks in the texts the page shows as words: node
// labels, the relation labels the links took and the relation names of the
// links.
void replaceUnderscores(OntologyModel& model);

// Writes the network page of a resolved model as ANSI text.  baseName is
// the ANSI text of the page's name.
void writeNetworkPage(textconv::TextWriter& out, const OntologyModel& model,
                      std::string_view baseName);

}  // namespace ontology
