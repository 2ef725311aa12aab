#include "refinement_field.h"

#include <algorithm>
#include <cstdio>

#include "formats/size_field.h"
#include "gmsh_api.h"
#include "size_setup.h"
#include "velgrin_error.h"

namespace velgrin {

namespace {

// A list-based view's data of scalar tetrahedra: per element the four x, the four y, the four z,
// then the four values.
std::vector<double> viewData(const formats::SizeField& field, double displayPerMillimetre,
                             const ModelSizes& sizes) {
    std::vector<double> data;
    data.reserve(16 * field.tetrahedra.size());
    for (const auto& tet : field.tetrahedra) {
        for (int axis = 0; axis < 3; ++axis)
            for (int node : tet) data.push_back(field.positions[node - 1][axis] / displayPerMillimetre);
        for (int node : tet)
            data.push_back(
                std::clamp(field.sizes[node - 1] / displayPerMillimetre, sizes.lower, sizes.upper));
    }
    return data;
}

}  // namespace

int addRefinementField(const std::string& path, double displayPerMillimetre, const ModelSizes& sizes,
                       std::vector<std::string>& notes) {
    formats::SizeField field;
    if (const std::string why = formats::readSizeField(path, field); !why.empty())
        throw VelgrinError(ExitCode::BadInput, why + ".");
    if (field.tetrahedra.empty())
        throw VelgrinError(ExitCode::BadInput, "The size field \"" + path + "\" holds no elements.");
    const auto [smallest, largest] = std::minmax_element(field.sizes.begin(), field.sizes.end());
    char line[200];
    std::snprintf(line, sizeof line, "refinement size field: %zu elements, sizes %g to %g",
                  field.tetrahedra.size(), *smallest, *largest);
    notes.emplace_back(line);

    const int view = gmsh::view::add("refinement sizes");
    gmsh::view::addListData(view, "SS", static_cast<int>(field.tetrahedra.size()),
                            viewData(field, displayPerMillimetre, sizes));
    const int postView = gmsh::model::mesh::field::add("PostView");
    gmsh::model::mesh::field::setNumber(postView, "ViewTag", view);
    return postView;
}

}  // namespace velgrin
