#include "model/material_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/paths.h"

namespace model {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

enum class LineRead { Line, End, Error };

// Reads one line without its line ending; only its first kMaterialLineLength characters are kept,
// so an overlong line is cut but never spills into the next value.
LineRead readLine(std::FILE* f, std::string& line) {
    line.clear();
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() < kMaterialLineLength) line += static_cast<char>(c);
    }
    if (std::ferror(f)) return LineRead::Error;
    if (!any) return LineRead::End;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return LineRead::Line;
}

std::string descriptionOf(const std::string& line) {
    const auto semicolon = line.find(';');
    if (semicolon != std::string::npos) return line.substr(semicolon + 1);
    const auto start = line.find_first_not_of(" \t", unitLetterCount(line));
    return start == std::string::npos ? std::string() : line.substr(start);
}

}  // namespace

double leadingNumber(std::string_view line) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string_view::npos) return 0.0;
    if (line[at] == '+') ++at;
    double value = 0.0;
    const auto [end, error] = std::from_chars(line.data() + at, line.data() + line.size(), value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

int materialSlotCount(loadcase::AnalysisClass cls) {
    switch (cls) {
        case loadcase::AnalysisClass::Thermal:
            return kThermalSlots;
        case loadcase::AnalysisClass::Fluid:
            return kFluidSlots;
        default:
            return kMechanicalSlots;
    }
}

MaterialFile readMaterialFile(const std::string& path, loadcase::AnalysisClass cls) {
    MaterialFile out;
    File f(std::fopen(path.c_str(), "r"));
    if (!f) return out;
    out.outcome = MaterialFile::Outcome::Read;
    std::string line;
    LineRead read = readLine(f.get(), line);
    if (read == LineRead::Error) {
        out.outcome = MaterialFile::Outcome::ReadError;
        return out;
    }
    if (read == LineRead::End) return out;
    out.units = unitSystemOf(line);
    out.description = descriptionOf(line);
    out.hasDescription = true;
    const int slots = materialSlotCount(cls);
    for (int slot = 0; slot < slots; ++slot) {
        read = readLine(f.get(), line);
        if (read == LineRead::Error) {
            out.outcome = MaterialFile::Outcome::ReadError;
            return out;
        }
        if (read == LineRead::End) break;
        out.values[slot] = leadingNumber(line);
    }
    return out;
}

std::string materialLibraryFolder(const std::string& installFolder, loadcase::AnalysisClass cls) {
    const char* folder = cls == loadcase::AnalysisClass::Thermal ? "Thermal"
                         : cls == loadcase::AnalysisClass::Fluid ? "Fluid"
                                                                 : "Mechanical";
    return platform::joinPath(platform::joinPath(installFolder, "Materials"), folder);
}

std::vector<std::string> materialNames(const std::string& libraryFolder) {
    std::vector<std::string> names;
    for (const auto& file : platform::filesWithExtension(libraryFolder, ".txt"))
        names.push_back(platform::fileStem(file));
    return names;
}

}  // namespace model
