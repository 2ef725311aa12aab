// Scripted sessions of kolvane-host with the add-on library, checked through what they leave in
// the project folder and what they print.
#include <gtest/gtest.h>

#include <png.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "documents/occt_document.h"
#include "host_run.h"
#include "loadcase/loadcase_file.h"

namespace {

namespace fs = std::filesystem;
using hostapp::EntityType;
using hostapp::OcctDocument;

// Two lines of every run register the folders; the script's own lines follow them.
constexpr int kFirstLine = 3;

// The explorer and a new mechanical loadcase "Steel".
const std::string kLoadcase =
    "menu \"FEM Explorer\"\n"
    "menu Loadcase\n"
    "type 11066 Steel\n"
    "click Mechanical\n"
    "click APPLY\n";

// The bracket opened again with the loadcase "Steel" taken up from its file.
const std::string kReopenSteel =
    "open $KOLVANE_SAMPLES/bracket.step\n"
    "menu \"FEM Explorer\"\n"
    "menu Loadcase\n"
    "choose 11032 Steel\n"
    "click APPLY\n";

// The back of the bracket's upright fully fixed, a pressure of 1 on the top of its base.
const std::string kBracketLoads =
    "menu \"Add Reactions\"\n"
    "choose 11032 \"XYZ fully fixed\"\n"
    "select face:1\n"
    "click APPLY\n"
    "menu \"Add Actions\"\n"
    "choose 11032 \"face: pressure\"\n"
    "type 11016 1\n"
    "select face:8\n"
    "click APPLY\n";

const std::string kExpect = "expect-message \"Select a point, edge or face\"\n";

// The bracket's loads edited in the explorer's tree, the Modify Data window expected to show `shown`.
std::string treeEdits(const std::string& shown) {
    return "open $KOLVANE_SAMPLES/bracket.step\n" + kLoadcase + kBracketLoads +
           "tree \"face;fix,6=XYZ\" delete\n"
           "on-modal \"Modify Data\"\n"
           "expect-text 11 \"" +
           shown +
           "\"\n"
           "type 11 \"face;pressure=3\"\n"
           "accept\n"
           "end\n"
           "tree \"face;pressure=1\" modify\n"
           "tree \"face;pressure=3\" modify \"face;pressure=2.5\"\n";
}

struct Entry {
    std::string text;
    int kind;
    host::KeyBytes body;
    host::KeyBytes entity;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> entries(const std::string& file) {
    const auto loaded = loadcase::LoadcaseFile::load(file);
    EXPECT_TRUE(loaded.ok()) << file << ": " << loaded.error;
    std::vector<Entry> out;
    for (const auto& e : loaded.entries)
        out.push_back({e.text(), static_cast<int>(e.kind()), e.bodyKey().bytes(), e.entityKey().bytes()});
    return out;
}

std::vector<Entry> entriesOfKind(const std::string& file, int kind) {
    std::vector<Entry> out;
    for (auto& e : entries(file)) {
        if (e.kind == kind) out.push_back(e);
    }
    return out;
}

// How often `word` stands in `text`.
int occurrences(const std::string& text, const std::string& word) {
    int count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
    return count;
}

host::KeyBytes faceKey(const OcctDocument& doc, int number) {
    return doc.entityKey(*doc.fromGlobalNumber(EntityType::Face, number));
}

// How many pixels of the picture have exactly `rgb` (0xRRGGBB).
int pixelsOf(const std::string& file, std::uint32_t rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return -1;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return -1;
    int count = 0;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        const std::uint32_t p = (pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2];
        if (p == rgb) ++count;
    }
    return count;
}

class HostSession : public ::testing::Test {
  protected:
    HostRunFolder folder;
    std::shared_ptr<OcctDocument> bracket = OcctDocument::open(samplePath("bracket.step"));
};

// Face 7 is the second body's first: a part names its body, an assembly none; the mesher numbers
// the dump's faces over all bodies.
TEST_F(HostSession, TwoBodyPartAndAssemblyKeepTheirOwnKeys) {
    auto solids = OcctDocument::open(samplePath("two_solids.step"));
    const std::string project = folder.projectFolder("two_solids");
    for (const bool assembly : {false, true}) {
        SCOPED_TRACE(assembly ? "assembly" : "part");
        fs::remove_all(project);
        const auto run = folder.run(std::string("open $KOLVANE_SAMPLES/two_solids.step ") +
                                    (assembly ? "assembly" : "part") + "\nstate 112\n" + kLoadcase +
                                    "menu \"Add Reactions\"\nchoose 11032 \"Z direction\"\nselect face:7\n"
                                    "click APPLY\nmenu \"Build Mesh\"\nclick MESH\nstate 112\n");
        ASSERT_EQ(run.status, 0) << run.err;
        const auto reactions = entriesOfKind(project + "/Steel.api_fem", 4);
        ASSERT_EQ(reactions.size(), 1u);
        EXPECT_EQ(reactions[0].body, assembly ? host::KeyBytes{} : solids->bodyKey(1));
        EXPECT_EQ(reactions[0].entity, faceKey(*solids, 7));
        const std::string input = HostRunFolder::read(project + "/Steel.txt");
        EXPECT_NE(input.find("RESTRAINTS\nbor 7 1 1 0\n"), std::string::npos) << input;
        if (!assembly) continue;
        EXPECT_NE(run.out.find("opened two_solids (assembly)"), std::string::npos);
        EXPECT_NE(run.out.find("state 112: 2\n"), std::string::npos);
        EXPECT_NE(run.out.find("state 112: 1\n"), std::string::npos);
    }
}

// The explorer's tree deletes and modifies, inline and through its modal window, reach the file.
TEST_F(HostSession, TreeEditsReachTheFile) {
    const auto run = folder.run(treeEdits("face;pressure=1"));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto all = entries(folder.projectFolder("bracket") + "/Steel.api_fem");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].text, "face;pressure=2.5");
    EXPECT_EQ(all[1].entity, faceKey(*bracket, 8));
}

// The display unit the script opens the part with reaches the loadcase header. (The table
// editor's cells typed in its modal run are the beam_loads sample's and the every_dialog GUI run's.)
TEST_F(HostSession, UnitsTheScriptOpensThePartWithReachTheHeader) {
    const auto run = folder.run("open $KOLVANE_SAMPLES/beam.step units=cm display=in\n" + kLoadcase);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string header = HostRunFolder::read(folder.projectFolder("beam") + "/Steel.txt");
    EXPECT_EQ(header.rfind("HEADER\n", 0), 0u);
    EXPECT_NE(header.find(" in "), std::string::npos) << header;
}

// The loadcase's entries carry the host's keys; a reopening finds every entity again by them.
TEST_F(HostSession, LoadcaseKeepsTheHostsKeysAndMeshRunWritesTheSameInputAfterReopening) {
    const std::string mesh =
        "menu \"Build Mesh\"\nclick MESH\nexpect-message \"cannot find mesher -> re-install\"\n";
    const auto first = folder.run("open $KOLVANE_SAMPLES/bracket.step\n" + kLoadcase + kBracketLoads +
                                  "print tree\n" + mesh);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("Reactions\n  face;fix,6=XYZ\n"), std::string::npos) << first.out;
    const std::string project = folder.projectFolder("bracket");
    auto stored = entries(project + "/Steel.api_fem");
    ASSERT_EQ(stored.size(), 4u) << "the mesh settings come last";
    stored.pop_back();
    EXPECT_EQ(stored,
              (std::vector<Entry>{{"Steel:0", 0, {}, {}},
                                  {"face;fix,6=XYZ", 4, bracket->bodyKey(0), faceKey(*bracket, 1)},
                                  {"face;pressure=1", 3, bracket->bodyKey(0), faceKey(*bracket, 8)}}));
    const std::string input = HostRunFolder::read(project + "/Steel.txt");
    EXPECT_NE(input.find("MODEL\n" + project + "/dump.stp\n"), std::string::npos) << input;
    EXPECT_NE(input.find("RESTRAINTS\nbor 1 "), std::string::npos) << input;
    EXPECT_NE(input.find("LOADS\nbol 8 1 1\n"), std::string::npos) << input;
    const auto dump = OcctDocument::open(project + "/dump.stp");
    EXPECT_EQ(dump->totalCount(EntityType::Face), 11);
    EXPECT_EQ(faceKey(*dump, 8), faceKey(*bracket, 8)) << "the dump is the same part";
    EXPECT_NE(HostRunFolder::read(project + "/Steel.log").find("stepfile created"), std::string::npos);

    // A second run takes the loadcase up from the file and meshes again: the host finds every
    // entity by its key, so the solver input comes out the same.
    std::ofstream(project + "/Steel.txt", std::ios::app) << "stale\n";
    fs::remove(project + "/dump.stp");
    const auto second = folder.run(kReopenSteel + mesh, "second.run");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(HostRunFolder::read(project + "/Steel.txt"), input);
    EXPECT_TRUE(fs::exists(project + "/dump.stp"));
}

// A host failure the script plans reaches the user as the add-on's message, printed and checked;
// the next try works. (A message checked once is not matched again: the last row of the bad lines.)
TEST_F(HostSession, MessagesArePrintedAndChecked) {
    const auto failed = folder.run(
        "open $KOLVANE_SAMPLES/beam.step\nfail IQDSessions::Item\nmenu \"FEM Explorer\"\n"
        "expect-message \"Exception caught in CKolvaneInterface::InvokeCommand\"\n"
        "menu \"FEM Explorer\"\nexpect-state 112 1\n");
    EXPECT_EQ(failed.status, 0) << failed.err << failed.out;
    EXPECT_NE(failed.out.find("message: Exception caught in CKolvaneInterface::InvokeCommand\n"),
              std::string::npos)
        << failed.out;
}

// The set-up registers the install folder with kolvane-register as an installer would: the first
// FEM Explorer of a new user opens without a settings error, its project in the documents folder;
// a projects folder the person registers is kept by the next set-up.
TEST_F(HostSession, ASetUpInstallationOpensTheFirstExplorerWithoutAWord) {
    const auto registerWith = [&](const std::string& arguments) {
        const std::string command = "KOLVANE_CONFIG_DIR='" + folder.path("settings") +
                                    "' KOLVANE_DOCUMENTS_DIR='" + folder.path("documents") + "' '" +
                                    buildFolder() + "/bin/kolvane-register' " + arguments;
        return std::system(command.c_str());
    };
    fs::create_directories(folder.path("tarvdir"));
    ASSERT_EQ(registerWith("--install '" + folder.path("tarvdir") + "'"), 0);
    const std::string script = folder.path("first.run");
    std::ofstream(script) << "open $KOLVANE_SAMPLES/bracket.step\nmenu \"FEM Explorer\"\n";
    const auto first = folder.runFile(script);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out.find("message:"), std::string::npos) << first.out;
    EXPECT_TRUE(fs::is_directory(folder.path("documents/FEMprojects/bracket")));

    ASSERT_EQ(registerWith("--projects '" + folder.path("mine") + "'"), 0);
    ASSERT_EQ(registerWith("--install '" + folder.path("tarvdir") + "'"), 0);
    const auto second = folder.runFile(script);
    EXPECT_EQ(second.out.find("message:"), std::string::npos) << second.out;
    EXPECT_TRUE(fs::is_directory(folder.path("mine/bracket")));
    EXPECT_NE(registerWith("--projects '' 2>/dev/null"), 0) << "an empty projects folder is refused";
}

// The lists a script writer reads the numbers for `select` from: a box has 6 faces, 12 edges and
// 8 corners, each listed once with its body and where it lies.
TEST_F(HostSession, PrintListsFacesEdgesAndVerticesInSelectNumbering) {
    const auto run =
        folder.run("open $KOLVANE_SAMPLES/beam.step\nprint faces\nprint edges\nprint vertices\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(occurrences(run.out, "\nface "), 6);
    EXPECT_EQ(occurrences(run.out, "\nedge "), 12);
    EXPECT_EQ(occurrences(run.out, "\nvertex "), 8);
    EXPECT_EQ(run.out.find("edge 13:"), std::string::npos);
    EXPECT_NE(run.out.find("edge 12: body 1, box "), std::string::npos) << run.out;
    for (const char* corner : {" at 0 0 0\n", " at 200 20 10\n"})
        EXPECT_NE(run.out.find(corner), std::string::npos) << corner << "\n" << run.out;
}

// A log the script waited on before counts only with what was written since: a second solve in
// the same folder is not finished because the first one's last line is still there.
TEST_F(HostSession, WaitFileTakesOnlyWhatChangedInALogItWaitedOnBefore) {
    const std::string log = folder.path("job.slog");
    const std::string twice = "wait-file " + log + " 20 \"] done\"\nwait-file " + log + " 20 \"] done\"\n";
    const auto found = [](const std::string& out) { return occurrences(out, "found"); };
    std::ofstream(log) << "[1.0 s] done\n";
    const auto stale =
        folder.run("wait-file " + log + " 5 \"] done\"\nwait-file " + log + " 0.5 \"] done\"\n");
    EXPECT_EQ(stale.status, 1);
    EXPECT_EQ(found(stale.out), 1) << stale.out;
    EXPECT_NE(stale.err.find("no finished file"), std::string::npos) << stale.err;
    // A failure text ("!" in front) that stands in the log fails the line with the program's words.
    std::ofstream(log) << "[0.5 s] error: no material for body 2\n";
    const auto failed = folder.run("wait-file " + log + " 5 \"] done\" \"!] error:\"\n");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("] error: no material for body 2"), std::string::npos) << failed.err;

    // The second run appends its lines, or writes the log anew, once the first wait has found its text.
    for (const bool anew : {false, true}) {
        SCOPED_TRACE(anew ? "written anew" : "appended");
        std::ofstream(log) << "[1.0 s] done\n";
        std::filesystem::remove(folder.path("stdout"));
        std::thread secondRun([&] {
            for (int i = 0; i < 600 && found(HostRunFolder::read(folder.path("stdout"))) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ofstream(log, anew ? std::ios::trunc : std::ios::app) << "[2.5 s] done\n";
        });
        const auto run = folder.run(twice);
        secondRun.join();
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(found(run.out), 2) << run.out;
    }
}

TEST_F(HostSession, BadLinesAndFailedChecksStopTheRunWithTheirLineNumber) {
    struct Case {
        std::string script;
        int line;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"open $KOLVANE_SAMPLES/beam.step\nfrobnicate 3\nmenu 101\n", 2, "unknown verb"},
        {"open $KOLVANE_SAMPLES/beam.step\nselect face:7\n", 2, "no face 7"},
        {"open $KOLVANE_SAMPLES/beam.step\nmenu 101\nexpect-state 112 2\n", 3, "has state 1"},
        {"open $KOLVANE_SAMPLES/beam.step\nmenu 101\nin Loadcase\n", 3, "no open dialog"},
        {"open /no/such/part.step\n", 1, "no such file"},
        {"open $KOLVANE_SAMPLES/beam.step units=yards\n", 1, "unknown unit"},
        {"point 1 2\n", 1, "usage: point X Y Z"},
        {"type 'unterminated\n", 1, "unterminated"},
        {"on-modal \"Modify Data\"\naccept\n", 1, "without \"end\""},
        {"fail IQDSession::GetKind\n", 1, "no operation named IQDSession::GetKind"},
        {"fail IQDSession::get_Kind 0\n", 1, "not a call number"},
        // A failing check inside an on-modal block stops the run at its own line.
        {treeEdits("face;pressure=9"), 18, "control 11 shows \"face;pressure=1\", not \"face;pressure=9\""},
        // The same message is not matched twice.
        {"open $KOLVANE_SAMPLES/beam.step\n" + kLoadcase + "menu \"Add Reactions\"\nclick APPLY\n" + kExpect +
             kExpect,
         10, "no message"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const auto run = folder.run(c.script);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(std::to_string(kFirstLine - 1 + c.line) + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("script finished"), std::string::npos);
    }
}

TEST_F(HostSession, PicturesShowThePartAndTheRunningCommandsMarks) {
    const auto run = folder.run("open $KOLVANE_SAMPLES/bracket.step\n" + kLoadcase +
                                "render plain.png 400 300\n"
                                "menu \"Add Reactions\"\n"
                                "choose 11032 \"XYZ fully fixed\"\n"
                                "select face:1\n"
                                "click APPLY\n"
                                "render marks.png 400 300\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string plain = folder.path("out/plain.png"), marks = folder.path("out/marks.png");
    const int background = pixelsOf(plain, 0xFFFFFF);
    EXPECT_GT(background, 0);
    EXPECT_LT(background, 400 * 300) << "the part covers some of the background";
    EXPECT_EQ(pixelsOf(plain, 0xFF0000), 0);
    EXPECT_GT(pixelsOf(marks, 0xFF0000), 20) << "the reactions are marked in red";
}

}  // namespace
