#include "formats/size_field.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace formats {

namespace {

struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class FieldReader {
  public:
    explicit FieldReader(std::istream& in) : in_(in) {}

    void expect(const std::string& word) {
        std::string got;
        if (!(in_ >> got) || got != word) throw Refusal("expected " + word + ", found '" + got + "'");
    }
    std::string word() {
        std::string w;
        if (!(in_ >> w)) throw Refusal("the file ends early");
        return w;
    }
    // A count small enough that the file could hold it: a damaged one must not reserve memory.
    std::size_t count() {
        long long n = -1;
        if (!(in_ >> n) || n < 0 || n > std::numeric_limits<int>::max())
            throw Refusal("a count is missing or out of range");
        return static_cast<std::size_t>(n);
    }
    double real() {
        double value = 0;
        if (!(in_ >> value) || !std::isfinite(value)) throw Refusal("a number is missing or unreadable");
        return value;
    }
    int node(std::size_t nodeCount) {
        long long n = 0;
        if (!(in_ >> n)) throw Refusal("a node number is missing or unreadable");
        if (n < 1 || static_cast<unsigned long long>(n) > nodeCount)
            throw Refusal("a tetrahedron names a node the field does not have");
        return static_cast<int>(n);
    }

  private:
    std::istream& in_;
};

void readField(FieldReader& r, SizeField& field) {
    for (const char* word : {"KOLVANE", "SIZE", "FIELD", "1", "UNIT"}) r.expect(word);
    field.unitText = r.word();
    r.expect("NODES");
    for (std::size_t n = r.count(); n > 0; --n) {
        const std::array<double, 3> p{r.real(), r.real(), r.real()};
        const double size = r.real();
        if (size <= 0)
            throw Refusal("node " + std::to_string(field.sizes.size() + 1) + " has a size of 0 or less");
        field.positions.push_back(p);
        field.sizes.push_back(size);
    }
    r.expect("TETRAHEDRA");
    for (std::size_t m = r.count(); m > 0; --m) {
        std::array<int, 4> tet{};
        for (int& node : tet) node = r.node(field.positions.size());
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
    FieldReader reader(in);
    try {
        readField(reader, field);
    } catch (const Refusal& refusal) {
        field = SizeField{};
        return "the size field \"" + path + "\" is damaged: " + refusal.what();
    }
    return {};
}

}  // namespace formats
