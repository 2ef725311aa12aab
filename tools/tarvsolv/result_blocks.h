#pragma once
// Result blocks in the layout the add-on's result reader expects: a header line with the keyword
// and the block number, one line per node in node order (or four corner lines per element for
// stresses, after one free caption line), and an empty line after each block.
#include <string>
#include <vector>

#include "element_kernels.h"
#include "fe_mesh.h"

namespace tarvsolv {

// "DISP", "EIGE" or "VELO": x, y, z per node.
std::string nodeVectorBlock(const char* keyword, int number, const std::vector<double>& values);
// "TEMP": one value per node.
std::string temperatureBlock(int number, const std::vector<double>& temperatures);
// "STRES": per element the four corners (local 0..3) with element number, node number and the six
// stress components.
std::string stressBlock(int number, const FeMesh& mesh, const std::vector<std::array<Stress6, 4>>& stresses);
// "NATU" and the line of mode values, kept within the 119 characters the reader takes by
// shortening the numbers when there are many.
std::string modeValueBlock(const std::vector<double>& values);

}  // namespace tarvsolv
