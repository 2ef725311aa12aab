#pragma once
// Result files for the tests: text written to a scratch folder, and small meshes to read them with.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/scratch_folder.h"
#include "results/result_reader.h"

namespace results_test {

// A mesh of `nodes` nodes and the given connectivity (1-based, `perElement` nodes per element).
struct TestMesh {
    std::int32_t nodes = 0;
    std::int32_t perElement = 4;
    std::vector<std::int32_t> connectivity;

    results::ResultMesh view() const {
        return {nodes, static_cast<std::int32_t>(connectivity.size() / static_cast<std::size_t>(perElement)),
                perElement, connectivity};
    }
};

// The lines every result file begins with.
inline std::string meshFileLines() { return "MESHFILE\n/projects/Bracket/Case.meb\n"; }

// A node block: header, then one line per node with the node number and the values of `rows`.
inline std::string nodeBlock(const std::string& header, const std::vector<std::vector<double>>& rows) {
    std::string text = header + "\n";
    char buffer[64];
    for (std::size_t n = 0; n < rows.size(); ++n) {
        text += std::to_string(n + 1);
        for (double v : rows[n]) {
            std::snprintf(buffer, sizeof buffer, " %.6e", v);
            text += buffer;
        }
        text += "\n";
    }
    return text + "\n";
}

class ResultFileTest {
public:
    // Writes `text` as the result file and reads (kind, item, step) of it into `out`.
    results::ReadStatus read(const std::string& text, const TestMesh& mesh, int kind, int item, int step = 1,
                             int solutionType = 0) {
        writeFile(path(), text);
        return results::readResult(path(), mesh.view(), {kind, item, step, solutionType}, out);
    }
    std::string path() const { return scratch.file("Case.out"); }

    ScratchFolder scratch;
    results::NodeResults out;
};

}  // namespace results_test
