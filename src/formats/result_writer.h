#pragma once
// Result blocks as the solver appends them to the result file: a header line with the keyword and
// the block number, one line per node in node order (or four corner lines per element for stresses,
// after one free caption line), and an empty line after each block. The reader of this library
// takes them back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace results {

// The six stress components of one element corner in file order: sx sy sz txy tyz txz.
using CornerStress = std::array<double, 6>;

// "DISP", "EIGE", "VELO" or "VORT": x, y, z per node.
std::string nodeVectorBlock(const char* keyword, int number, std::span<const double> values);
// "TEMP", "PRES", "DENS" or "MACH": one value per node.
std::string nodeScalarBlock(const char* keyword, int number, std::span<const double> values);
// "TEMP": one value per node.
std::string temperatureBlock(int number, std::span<const double> temperatures);
// "STRES": per element its four corners with element number, node number and the six components.
// `cornerNodes` holds the 1-based node numbers of the four corners of each element, `stresses` the
// components at those corners, both four per element.
std::string stressBlock(int number, std::span<const std::int32_t> cornerNodes,
                        std::span<const CornerStress> stresses);
// "STRAI": per element its four corners with element number, node number and the equivalent
// plastic strain, laid out as the stress block.
std::string plasticStrainBlock(int number, std::span<const std::int32_t> cornerNodes,
                               std::span<const double> strains);

// The same blocks in parts, for a file that several writers fill, each with the lines of its own
// contiguous share of the nodes or elements: the header (with the stress blocks' caption line),
// then every share's lines, numbered from `first` + 1 (the share's first node or element), then the
// empty line that ends the block. The blocks above are these parts in a row.
std::string blockHeader(const char* keyword, int number);
std::string stressHeader(int number);
std::string plasticStrainHeader(int number);
inline constexpr const char* kBlockEnd = "\n";
std::string nodeVectorLines(std::span<const double> values, std::size_t first = 0);
std::string nodeScalarLines(std::span<const double> values, std::size_t first = 0);
std::string stressLines(std::span<const std::int32_t> cornerNodes, std::span<const CornerStress> stresses,
                        std::size_t first = 0);
std::string plasticStrainLines(std::span<const std::int32_t> cornerNodes, std::span<const double> strains,
                               std::size_t first = 0);

// "NATU" and the line of mode values, kept within the 119 characters the reader takes by
// shortening the numbers when there are many.
std::string modeValueBlock(std::span<const double> values);

}  // namespace results
