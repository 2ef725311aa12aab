// Damaged result files: cut, overwritten, spliced and random bytes. Every reading either succeeds or
// fails; nothing reads or writes outside the node arrays. Run under AddressSanitizer by the
// results_fuzz_asan test.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "mesh_solve/mesh_file_builder.h"
#include "results/number_scanner.h"
#include "results/quantity_list.h"
#include "results/result_reader.h"

namespace {

using namespace results;

// One quadratic element on nodes 1 to 10 and a second sharing three of them.
const std::vector<std::int32_t> kConnectivity{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 11, 3, 4, 5, 6, 12, 13, 14, 15};

std::string validFile() {
    std::string text = "MESHFILE\nCase.meb\nNATU\n 1.5 2.5\n";
    for (const char* kind : {"DISP", "EIGE", "VELO", "TEMP"})
        for (int step = 1; step <= 2; ++step) {
            text += std::string(kind) + " " + std::to_string(step) + "\n";
            for (int n = 1; n <= 15; ++n) text += std::to_string(n) + " 1.0e-3 -2.5 ; 4\n";
            text += "\n";
        }
    for (const char* kind : {"STRESS", "STRAIN"})
        for (int step = 1; step <= 2; ++step) {
            text += std::string(kind) + " " + std::to_string(step) + "\n free\n";
            for (int e = 0; e < 2; ++e)
                for (int c : {0, 2, 4, 9})
                    text += std::to_string(e + 1) + " " + std::to_string(kConnectivity[e * 10 + c]) +
                            " 100 -20 3.5e1 7 ; 1e2\n";
            text += "\n";
        }
    return text;
}

std::string damage(std::string text, std::mt19937& random) {
    std::uniform_int_distribution<int> what(0, 5);
    auto at = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size)(random); };
    const int edits = 1 + what(random);
    for (int i = 0; i < edits && !text.empty(); ++i) {
        switch (what(random)) {
            case 0: text.resize(at(text.size())); break;
            case 1: text[at(text.size() - 1)] = static_cast<char>(random()); break;
            case 2: text.insert(at(text.size()), std::string(at(400), static_cast<char>("0;-+ \n.e9"[random() % 9])));
                break;
            case 3: {
                const std::size_t from = at(text.size());
                text.insert(at(text.size()), text.substr(from, at(200)));
                break;
            }
            case 4: text.erase(at(text.size()), at(50)); break;
            default: text.insert(at(text.size()), "\nSTRESS -7\n99999999999 4294967297 1e308 1e308\n"); break;
        }
    }
    return text;
}

TEST(ResultFuzz, DamagedFilesNeverReadOutsideTheArrays) {
    mesh_test::TempFolder folder;
    const std::string path = folder.file("Case.out");
    const std::string valid = validFile();
    std::mt19937 random(20240607);
    const ResultMesh mesh{15, 2, 10, kConnectivity};
    NodeResults out;
    int read = 0;
    for (int round = 0; round < 1500; ++round) {
        const std::string text = round == 0 ? valid : damage(valid, random);
        mesh_test::writeFile(path, mesh_test::Bytes(text.begin(), text.end()));
        for (int kind : {1, 2, 3, 4, 6, 7}) {
            const int item = static_cast<int>(random() % 16) - 1;
            const int step = static_cast<int>(random() % 4);
            if (readResult(path, mesh, {kind, item, step, static_cast<int>(random() % 8)}, out) == ReadStatus::Read)
                ++read;
            ASSERT_EQ(out.values.size(), 15u);
            ASSERT_EQ(out.vectors.size(), 45u);
        }
    }
    EXPECT_GT(read, 1000);  // most damaged files still hold readable blocks
}

TEST(ResultFuzz, MeshesThatDoNotMatchTheFile) {
    mesh_test::TempFolder folder;
    const std::string path = folder.file("Case.out");
    const std::string valid = validFile();
    mesh_test::writeFile(path, mesh_test::Bytes(valid.begin(), valid.end()));
    NodeResults out;
    // Fewer nodes than the file names, a connectivity that names nodes outside the mesh, no nodes.
    const std::vector<std::int32_t> wild{1, 2, 3, 4, 5, 6, 7, 8, 9, 1000};
    for (const ResultMesh& mesh : {ResultMesh{4, 2, 10, kConnectivity}, ResultMesh{10, 1, 10, wild},
                                   ResultMesh{0, 0, 4, {}}, ResultMesh{15, 2, 10, {}}}) {
        for (int kind : {2, 4, 7}) {
            readResult(path, mesh, {kind, 0, 1, 0}, out);
            EXPECT_EQ(out.values.size(), static_cast<std::size_t>(mesh.nodeCount));
        }
    }
}

// What a real must read as: std::from_chars's value, 0 where it fails or gives a non-finite value.
double referenceReal(const std::string& text) {
    double value = 0.0;
    const auto [next, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

// The scanner's own decimal reading must give exactly the double std::from_chars gives, for numbers
// in every format a solver may print and for damaged ones.
TEST(ResultFuzz, RealsReadExactlyAsFromChars) {
    std::mt19937_64 random(77);
    const char* formats[] = {"%.6e", "%.8e", "%.6E", "%.3E", "%.17g", "%g", "%.4f", "%.12e", "%.1e", "%.7e"};
    std::uniform_real_distribution<double> exponent(-30.0, 30.0);
    std::uniform_int_distribution<int> pick(0, 9);
    char text[64];
    for (int i = 0; i < 200000; ++i) {
        const double magnitude = std::pow(10.0, exponent(random)) * (random() % 2 ? -1 : 1);
        std::snprintf(text, sizeof text, formats[pick(random)], magnitude);
        std::string number = text;
        if (i % 5 == 0) number[random() % number.size()] = "0.-e+9x;E"[random() % 9];  // damaged
        if (number[0] == '+' || number[0] == ';' || !(std::isdigit(number[0]) || number[0] == '.' || number[0] == '-'))
            continue;  // the scanner passes over such a first character before a number begins
        const double expected = referenceReal(number);
        const double got = NumberScanner(number).real();
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << number << " read " << got << ", expected " << expected;
    }
    for (const char* edge : {"0", "-0", "0.000e+00", "1.", "1.e5", ".5", "-.5e-3", "1e", "1e+", "1e-x", "9007199254740993",
                             "123456789012345678901234", "1e22", "1e23", "1e-22", "1e-23", "4.9e-324", "1e-400", "-inf",
                             "nan", "-", ".", "1.000000e+100", "-1.00000000e-100", "1.000000e+0", "1.000000e+001", "1.000000e+22",
                             "1.000000e-16", "1.00000000e-15", "9.999999e+99", "1.000000e+05x", "1.0000000e+05", "1.000000"}) {
        const double expected = referenceReal(edge);
        const double got = NumberScanner(edge).real();
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << edge << " read " << got << ", expected " << expected;
    }
}

}  // namespace
