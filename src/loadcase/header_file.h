#pragma once
// The header file a new loadcase starts with (job base path + ".txt"), later replaced by the solver
// input; and reading back the analysis setting and mesh path from either.
#include <istream>
#include <string>
#include <string_view>

#include "loadcase/analysis_code.h"
#include "loadcase/write_result.h"

namespace loadcase {

// What a header file says about its loadcase.
struct HeaderContents {
    bool fileRead = false;     // false when the file could not be opened: the fields are the defaults
    AnalysisSetting analysis;  // from the "HEADER" and "BUCKLE" lines, else the current setting
    std::string meshPath;      // from the "MFILE" section, else job base path + ".meb"
};

// The header text: "HEADER", the units line with `analysisCode`, "MFILE" and `meshPath`.
std::string headerFileText(std::string_view unitText, int analysisCode, std::string_view meshPath);

// Writes the header text to `path`, replacing any file there.
WriteResult writeHeaderFile(const std::string& path, std::string_view unitText, int analysisCode,
                            std::string_view meshPath);

// Reads header lines from `in`; later lines override earlier ones.
HeaderContents readHeader(std::istream& in, std::string defaultMeshPath, AnalysisSetting current);

// Reads the header file `jobBasePath` + ".txt"; a missing file gives the defaults with fileRead false.
HeaderContents readHeaderFile(const std::string& jobBasePath, AnalysisSetting current);

}  // namespace loadcase
