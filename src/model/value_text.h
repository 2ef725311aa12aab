#pragma once
// Checks of the value texts typed into the actions and interactions dialogs before they are
// stored: the solver reads a number, the name of a table of the loadcase, or a formula of numbers,
// those names, the variables x, y, z (position), t (time), T (temperature) and the usual functions.
#include <string>
#include <vector>

#include "loadcase/entry_list.h"

namespace model {

// The names of the loadcase's tables ("tabl3", "tabm0", "tabl3_2"), in list order.
std::vector<std::string> storedTableNames(const loadcase::EntryList& entries);

// Why the solver could not read `text` as a value; empty when it can. The reason quotes the text.
std::string valueTextProblem(const std::string& text, const std::vector<std::string>& tableNames);

}  // namespace model
