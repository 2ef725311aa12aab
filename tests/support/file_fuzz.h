#pragma once
// One fuzzer for every file format: mutations of a golden file (every truncation, random byte
// flips, extreme counts, bad numbers, inserted and repeated text) handed to a check that runs one
// reader on the mutant and answers what went wrong, or "" when the reading was sound.
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace fuzz {

struct Plan {
    int rounds = 2000;  // random mutations after the truncations
    std::uint32_t seed = 20240611u;
    std::size_t truncationStep = 1;     // every n-th length is tried
    std::size_t headerBytes = 0;        // binary files: half of the byte flips land in this head
    std::vector<std::size_t> countsAt;  // binary files: offsets of int32 counts to set to extremes
    bool text = false;                  // text files: numbers are replaced and lines inserted
};

// Answers the fault the check found for a mutant, or "".
using Check = std::function<std::string(const std::string& mutant)>;

inline constexpr std::int32_t kExtremeCounts[] = {INT_MIN, -1,           0,           1,      2, 3, 4, 10, 20,
                                                  65536,   INT_MAX / 24, INT_MAX / 3, INT_MAX};
// Numbers a text reader must refuse or read as something sane, split at the blanks.
inline constexpr const char* kBadNumbers =
    "1e999 -1e999 nan -inf - . + ; 1e 1e+ 99999999999 4294967297 -7 0 -0 1.#INF "
    "123456789012345678901234567890";

namespace detail {

inline std::size_t pick(std::mt19937& random, std::size_t size) {
    return size == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
}

// Replaces one number of the text (a run of digits, '.', '-', 'e', '+') by a bad one.
inline void replaceNumber(std::string& text, std::mt19937& random) {
    const std::size_t start = text.find_first_of("0123456789", pick(random, text.size()));
    if (start == std::string::npos) return;
    std::size_t first = start, last = start;
    while (first > 0 && std::strchr("0123456789.-e+", text[first - 1])) --first;
    while (last < text.size() && std::strchr("0123456789.-e+", text[last])) ++last;
    static const std::vector<std::string> bad = [] {
        std::istringstream in(kBadNumbers);
        return std::vector<std::string>(std::istream_iterator<std::string>(in), {});
    }();
    text.replace(first, last - first, bad[pick(random, bad.size())]);
}

inline std::string mutate(std::string bytes, const Plan& plan, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
        switch (random() % 6) {
            case 0:  // byte flips, half of them in the head where the counts are
                for (int k = 1 + static_cast<int>(random() % 8); k > 0; --k) {
                    const bool head = plan.headerBytes > 0 && random() % 2;
                    bytes[pick(random, head ? std::min(plan.headerBytes, bytes.size()) : bytes.size())] =
                        static_cast<char>(random());
                }
                break;
            case 1:
                bytes.resize(pick(random, bytes.size() + 40));
                break;
            case 2:  // extreme counts, or a bad number in a text file
                if (plan.text) {
                    replaceNumber(bytes, random);
                } else {
                    // Any mix of the counts at once: a count that fits only with another's help.
                    for (const std::size_t at : plan.countsAt) {
                        const std::int32_t value = kExtremeCounts[pick(random, std::size(kExtremeCounts))];
                        if (random() % 2 && at + sizeof value <= bytes.size())
                            std::memcpy(bytes.data() + at, &value, sizeof value);
                    }
                }
                break;
            case 3: {  // a stretch repeated elsewhere
                const std::size_t from = pick(random, bytes.size());
                bytes.insert(pick(random, bytes.size() + 1), bytes.substr(from, pick(random, 200)));
                break;
            }
            case 4:
                bytes.erase(pick(random, bytes.size()), pick(random, 50));
                break;
            default:  // a run of one character, or a header line with wild numbers
                if (plan.text && random() % 2)
                    bytes.insert(pick(random, bytes.size() + 1),
                                 "\nSTRESS -7\n99999999999 4294967297 1e308 1e308\n");
                else
                    bytes.insert(pick(random, bytes.size() + 1),
                                 std::string(pick(random, 400), "0;-+ \n.e9\r\t"[random() % 11]));
                break;
        }
    }
    return bytes;
}

}  // namespace detail

// Runs `check` on every truncation of `golden`, on `golden` with each count at each extreme, and on
// `plan.rounds` random mutations. Answers the first fault with the mutation that caused it, or "".
inline std::string firstFault(const std::string& golden, const Plan& plan, const Check& check) {
    for (std::size_t length = 0; length < golden.size();
         length += std::max<std::size_t>(plan.truncationStep, 1))
        if (std::string fault = check(golden.substr(0, length)); !fault.empty())
            return fault + " (truncated to " + std::to_string(length) + " bytes)";
    for (const std::size_t at : plan.countsAt)
        for (const std::int32_t value : kExtremeCounts) {
            std::string bytes = golden;
            std::memcpy(bytes.data() + at, &value, sizeof value);
            if (std::string fault = check(bytes); !fault.empty())
                return fault + " (count at byte " + std::to_string(at) + " set to " + std::to_string(value) +
                       ")";
        }
    std::mt19937 random(plan.seed);
    for (int round = 0; round < plan.rounds; ++round)
        if (std::string fault = check(detail::mutate(golden, plan, random)); !fault.empty())
            return fault + " (random mutation " + std::to_string(round) + ")";
    return {};
}

// A fresh folder for the mutants. It lives in memory (/dev/shm) where there is such a folder:
// creating a file on the disk costs milliseconds, which the fuzz loops repeat thousands of times.
inline std::filesystem::path memoryRoot() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                            : std::filesystem::temp_directory_path();
}

}  // namespace fuzz
