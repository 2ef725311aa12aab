#include "formats/size_field.h"

#include <cstdio>
#include <fstream>

#include "formats/word_reader.h"

namespace formats {

namespace {

void readField(WordReader& r, SizeField& field) {
    for (const char* word : {"KOLVANE", "SIZE", "FIELD", "1", "UNIT"}) r.expect(word);
    field.unitText = r.word();
    r.expect("NODES");
    for (int n = r.count(); n > 0; --n) {
        const std::array<double, 3> p{r.real(), r.real(), r.real()};
        const double size = r.real();
        if (size <= 0)
            throw WordRefusal("node " + std::to_string(field.sizes.size() + 1) + " has a size of 0 or less");
        field.positions.push_back(p);
        field.sizes.push_back(size);
    }
    r.expect("TETRAHEDRA");
    for (int m = r.count(); m > 0; --m) {
        std::array<int, 4> tet{};
        for (int& node : tet) node = r.node(static_cast<int>(field.positions.size()));
        field.tetrahedra.push_back(tet);
    }
    r.expect("END");
}

bool writeTo(std::FILE* file, const SizeField& f) {
    bool ok = std::fprintf(file, "KOLVANE SIZE FIELD 1\nUNIT %s\nNODES %zu\n", f.unitText.c_str(),
                           f.positions.size()) >= 0;
    for (std::size_t i = 0; ok && i < f.positions.size(); ++i) {
        const auto& p = f.positions[i];
        ok = std::fprintf(file, "%.9g %.9g %.9g %.6g\n", p[0], p[1], p[2], f.sizes[i]) >= 0;
    }
    ok = ok && std::fprintf(file, "TETRAHEDRA %zu\n", f.tetrahedra.size()) >= 0;
    for (std::size_t e = 0; ok && e < f.tetrahedra.size(); ++e) {
        const auto& t = f.tetrahedra[e];
        ok = std::fprintf(file, "%d %d %d %d\n", t[0], t[1], t[2], t[3]) >= 0;
    }
    return ok && std::fprintf(file, "END\n") >= 0;
}

}  // namespace

bool writeSizeField(const std::string& path, const SizeField& field) {
    if (field.sizes.size() != field.positions.size()) return false;
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = writeTo(file, field);
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string readSizeField(const std::string& path, SizeField& field) {
    field = SizeField{};
    std::ifstream in(path);
    if (!in) return "the size field \"" + path + "\" cannot be opened";
    WordReader reader(in);
    try {
        readField(reader, field);
    } catch (const WordRefusal& refusal) {
        field = SizeField{};
        return "the size field \"" + path + "\" is damaged: " + refusal.what();
    }
    return {};
}

}  // namespace formats
