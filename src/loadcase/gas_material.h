#pragma once
// The gas values of a fluid material's entry text: the ratio of specific heats and the gas constant
// follow the five values every fluid holds ("Air: rho,mu,k,c,beta,gamma,R"). The flow of a gas
// needs both; a liquid holds 0 there, a material stored before gases holds only five values.
#include <string>
#include <vector>

namespace loadcase {

enum class GasValues {
    Missing,  // fewer than seven values
    NotAGas,  // a ratio of specific heats of 1 or less, or a gas constant of 0 or less
    Gas,      // both above their limits, or a table name (checked where the table is read)
};

// The value fields of a material's entry text (after the description's last ':'), split at ','.
std::vector<std::string> materialFields(const std::string& materialText);

GasValues gasValuesOf(const std::string& materialText);

// The message refusing the material of body `body` for the flow of a gas.
std::string gasRefusal(GasValues values, int body);

}  // namespace loadcase
