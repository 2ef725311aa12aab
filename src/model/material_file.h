#pragma once
// Material library files: one text file per material; line 1 names the unit system and the
// description ("mm;Structural steel S235"), each further line holds one value.
#include <string>
#include <vector>

#include "loadcase/analysis_code.h"
#include "model/material_conversion.h"

namespace model {

// At most this many characters of a line count; the rest of a longer line is skipped.
inline constexpr std::size_t kMaterialLineLength = 126;

struct MaterialFile {
    enum class Outcome { Read, NotOpened, ReadError };
    Outcome outcome = Outcome::NotOpened;
    UnitSystem units = UnitSystem::None;
    // Set once line 1 was read: with a ";" the text after the first ";", otherwise the whole line
    // after the unit letters without its leading blanks.
    bool hasDescription = false;
    std::string description;
    // 5 slots for a thermal or a fluid loadcase, 13 for a mechanical one; slots the file does not
    // reach are 0.
    MaterialValues values{};
};

// The value slots a material file holds for a loadcase of class `cls`.
int materialSlotCount(loadcase::AnalysisClass cls);

// Reads `path` for a loadcase of class `cls`; no conversion is done here.
MaterialFile readMaterialFile(const std::string& path, loadcase::AnalysisClass cls);

// A line's number, read from its start as a decimal floating-point number ("2.1e5 N/mm2" is
// 210000); text that is no finite decimal number counts as 0.
double leadingNumber(std::string_view line);

// The library folder of a loadcase of class `cls` under the install folder: Materials/Mechanical,
// Materials/Thermal or Materials/Fluid.
std::string materialLibraryFolder(const std::string& installFolder, loadcase::AnalysisClass cls);

// The library's material names: its ".txt" files without the text from their last "." on.
std::vector<std::string> materialNames(const std::string& libraryFolder);

}  // namespace model
