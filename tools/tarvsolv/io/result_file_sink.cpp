#include "io/result_file_sink.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/agree_on_failure.h"

namespace tarvsolv {
namespace {

// An item's byte length in the whole-model array the processes sum, with one count of its holder
// above it: a sum whose count is not 1 is an item no process, or several, hold.
constexpr unsigned long long kHeld = 1ULL << 40;

// The lines of a share's items (`items` ascending, `per` values each in `values`), each run of
// consecutive numbers formatted by `lines(values, first)` as the whole block would number it.
template <class Lines>
std::string linesOfShare(std::span<const int> items, std::size_t per, Lines lines) {
    std::string out;
    for (std::size_t i = 0; i < items.size();) {
        std::size_t end = i + 1;
        while (end < items.size() && items[end] == items[end - 1] + 1) ++end;
        out += lines(i * per, (end - i) * per, static_cast<std::size_t>(items[i]));
        i = end;
    }
    return out;
}

}  // namespace

ResultFileSink::ResultFileSink(std::string path, ResultPreamble preamble, MPI_Comm comm)
    : path_(std::move(path)), preamble_(std::move(preamble)), comm_(comm) {
    MPI_Comm_rank(comm_, &rank_);
}

void ResultFileSink::add(std::string head, std::string lines, const char* end, const std::vector<int>* items,
                         int itemCount, int linesPerItem) {
    const bool first = rank_ == 0;
    blocks_.push_back({first ? std::move(head) : std::string(), std::move(lines), first ? end : "", items,
                       itemCount, linesPerItem});
}

void ResultFileSink::modeValues(std::span<const double> values) {
    add(results::modeValueBlock(values), "", "");
}

void ResultFileSink::step(const StepResult& step) {
    const ModelShare* share = step.share.get();
    if (share) shares_.push_back(step.share);
    const std::vector<int>* nodes = share ? &share->nodes : nullptr;
    const std::vector<int>* elements = share ? &share->elements : nullptr;
    const int nodeCount = share ? share->nodeCount : 0, elementCount = share ? share->elementCount : 0;
    for (const NodeField& field : step.nodeFields) {
        const NodeQuantityInfo info = nodeQuantityInfo(field.quantity);
        const std::span<const double> values = field.values;
        const auto lines = [&](std::size_t at, std::size_t count, std::size_t first) {
            const std::span<const double> run =
                values.subspan(std::min(at, values.size()))
                    .first(std::min(count, values.size() - std::min(at, values.size())));
            return info.width == 3 ? results::nodeVectorLines(run, first)
                                   : results::nodeScalarLines(run, first);
        };
        add(results::blockHeader(info.keyword, step.number),
            share ? linesOfShare(*nodes, static_cast<std::size_t>(info.width), lines)
                  : lines(0, values.size(), 0),
            results::kBlockEnd, nodes, nodeCount, 1);
    }
    const CornerFields& corners = step.corners;
    // Four corner lines per element.
    const auto cornerBlock = [&](auto head, const auto& values, auto format) {
        const std::span<const std::int32_t> cornerNodes = corners.nodes;
        const std::span<const std::remove_cvref_t<decltype(values[0])>> all = values;
        const std::size_t count = std::min(cornerNodes.size(), all.size());
        const auto lines = [&](std::size_t at, std::size_t n, std::size_t first) {
            at = std::min(at, count), n = std::min(n, count - at);
            return format(cornerNodes.subspan(at, n), all.subspan(at, n), first);
        };
        add(head, share ? linesOfShare(*elements, 4, lines) : lines(0, count, 0), results::kBlockEnd,
            elements, elementCount, 4);
    };
    if (!corners.stresses.empty())
        cornerBlock(results::stressHeader(step.number), corners.stresses,
                    [](auto at, auto stresses, std::size_t first) {
                        return results::stressLines(at, stresses, first);
                    });
    if (!corners.plasticStrains.empty())
        cornerBlock(results::plasticStrainHeader(step.number), corners.plasticStrains,
                    [](auto at, auto strains, std::size_t first) {
                        return results::plasticStrainLines(at, strains, first);
                    });
}

bool ResultFileSink::empty() const {
    unsigned long long mine = blocks_.size(), most = 0;
    MPI_Allreduce(&mine, &most, 1, MPI_UNSIGNED_LONG_LONG, MPI_MAX, comm_);
    return most == 0;
}

void ResultFileSink::placeShare(const Block& block, std::size_t count, unsigned long long at,
                                unsigned long long& total, std::vector<FilePiece>& out) const {
    // Every item's length, summed over the processes, gives every item's place in file order; the
    // entry after them counts the processes whose items do not ascend within the model.
    std::vector<unsigned long long> sizes(count + 1, 0);
    std::vector<std::size_t> starts;  // where each of this process's items starts in its lines
    static const std::vector<int> none;
    const std::vector<int>& items = block.items ? *block.items : none;
    std::size_t from = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const auto item = static_cast<std::size_t>(items[k]);
        if (items[k] < 0 || item >= count || (k > 0 && items[k] <= items[k - 1])) {
            sizes[count] = 1;
            break;
        }
        std::size_t end = from;
        for (int l = 0; l < block.linesPerItem && end < block.lines.size(); ++l) {
            const void* feed = std::memchr(block.lines.data() + end, '\n', block.lines.size() - end);
            end = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - block.lines.data()) + 1
                       : block.lines.size();
        }
        sizes[item] = kHeld + (end - from);
        starts.push_back(from);
        from = end;
    }
    starts.push_back(from);
    meetFailures(comm_);
    MPI_Allreduce(MPI_IN_PLACE, sizes.data(), static_cast<int>(count + 1), MPI_UNSIGNED_LONG_LONG, MPI_SUM,
                  comm_);
    const bool covered = sizes[count] == 0 &&
                         std::all_of(sizes.begin(), sizes.end() - 1, [](auto s) { return s / kHeld == 1; });
    if (!covered)
        throw std::runtime_error(
            "the result file cannot be written: the processes' shares do not hold every node or element "
            "once");
    // This process's runs of consecutive items, each one piece.
    std::size_t k = 0;
    total = 0;
    for (std::size_t item = 0; item < count;) {
        if (k < items.size() && static_cast<std::size_t>(items[k]) == item) {
            const std::size_t first = k;
            const unsigned long long offset = at + total;
            while (k < items.size() && static_cast<std::size_t>(items[k]) == item)
                total += sizes[item++] % kHeld, ++k;
            out.push_back(
                {offset, std::string_view(block.lines).substr(starts[first], starts[k] - starts[first])});
        } else {
            total += sizes[item++] % kHeld;
        }
    }
}

std::vector<FilePiece> ResultFileSink::pieces() const {
    int size = 1;
    MPI_Comm_size(comm_, &size);
    // Every process holds the first process's blocks, or none (a step only the first was handed).
    const unsigned long long mine = blocks_.size();
    std::vector<unsigned long long> counts(static_cast<std::size_t>(size));
    meetFailures(comm_);
    MPI_Allgather(&mine, 1, MPI_UNSIGNED_LONG_LONG, counts.data(), 1, MPI_UNSIGNED_LONG_LONG, comm_);
    const std::size_t count = counts.front();
    for (int p = 1; p < size; ++p)
        if (counts[p] != 0 && counts[p] != count)
            throw std::runtime_error("the result file cannot be written: process " + std::to_string(p + 1) +
                                     " holds " + std::to_string(counts[p]) + " result blocks, the first " +
                                     std::to_string(count));
    // The sizes of the first process's parts (the preamble, then each block's head and end), and
    // of the lines of the processes before this one and of all of them, block by block; whether any
    // process holds a share of the block, whether any holds lines of no share, and the share's
    // count of items (nodes or elements).
    std::vector<unsigned long long> frame(1 + 2 * count), lines(count, 0), before(count, 0), all(count, 0);
    std::vector<long long> kinds(3 * count, 0);
    if (rank_ == 0) {
        frame[0] = preamble_.text.size();
        for (std::size_t k = 0; k < count; ++k)
            frame[1 + 2 * k] = blocks_[k].head.size(), frame[2 + 2 * k] = blocks_[k].end.size();
    }
    for (std::size_t k = 0; k < blocks_.size(); ++k) {
        lines[k] = blocks_[k].items ? 0 : blocks_[k].lines.size();
        kinds[3 * k] = blocks_[k].items != nullptr;
        kinds[3 * k + 1] = !blocks_[k].items && !blocks_[k].lines.empty();
        kinds[3 * k + 2] = blocks_[k].itemCount;
    }
    const int n = static_cast<int>(count);
    meetFailures(comm_);
    MPI_Bcast(frame.data(), n * 2 + 1, MPI_UNSIGNED_LONG_LONG, 0, comm_);
    MPI_Exscan(lines.data(), before.data(), n, MPI_UNSIGNED_LONG_LONG, MPI_SUM, comm_);
    MPI_Allreduce(lines.data(), all.data(), n, MPI_UNSIGNED_LONG_LONG, MPI_SUM, comm_);
    MPI_Allreduce(MPI_IN_PLACE, kinds.data(), 3 * n, MPI_LONG_LONG, MPI_MAX, comm_);
    if (rank_ == 0) std::fill(before.begin(), before.end(), 0ULL);  // MPI_Exscan leaves it undefined

    std::vector<FilePiece> out;
    const auto put = [&out](unsigned long long at, const std::string& bytes) {
        if (!bytes.empty()) out.push_back({at, bytes});
    };
    unsigned long long at = frame[0];
    if (rank_ == 0) put(0, preamble_.text);
    for (std::size_t k = 0; k < count; ++k) {
        const unsigned long long head = frame[1 + 2 * k], end = frame[2 + 2 * k];
        const bool shared = kinds[3 * k] != 0;
        if (shared && kinds[3 * k + 1])
            throw std::runtime_error(
                "the result file cannot be written: a block mixes shares and whole lines");
        const Block empty{};
        const Block& block = k < blocks_.size() ? blocks_[k] : empty;
        if (k < blocks_.size()) put(at, block.head);
        if (shared)
            placeShare(block, static_cast<std::size_t>(kinds[3 * k + 2]), at + head, all[k], out);
        else if (k < blocks_.size())
            put(at + head + before[k], block.lines);
        if (k < blocks_.size()) put(at + head + all[k], block.end);
        at += head + all[k] + end;
    }
    return out;
}

void ResultFileSink::write() const {
    // Formatting the pieces allocates between the collective steps: a process that runs out of memory
    // stops every process with its message, and the old file stays.
    failingTogether(comm_, [&] { replaceFileTogether(path_, pieces(), comm_); });
}

}  // namespace tarvsolv
