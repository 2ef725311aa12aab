#pragma once
// Results as the analyses hand them on: the fields of one printed step, load step or mode, in
// global axes, given to a ResultSink (the result file, the VTK files) that writes them its own way.
// A new field is a new NodeQuantity with its row in nodeQuantityInfo; the sinks take it from there.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fem/model_share.h"
#include "formats/result_writer.h"

namespace tarvsolv {

enum class NodeQuantity {
    Displacement,
    ModeShape,
    Velocity,
    Temperature,
    Pressure,
    Vorticity,
    HeatFlux,
    Density,
    MachNumber,
    ErrorEstimate
};

struct NodeQuantityInfo {
    const char* keyword;  // the result file's block keyword
    const char* name;     // the VTK array's name
    int width;            // values per node
};

constexpr NodeQuantityInfo nodeQuantityInfo(NodeQuantity quantity) {
    switch (quantity) {
        case NodeQuantity::Displacement:
            return {"DISP", "Displacement", 3};
        case NodeQuantity::ModeShape:
            return {"EIGE", "Mode shape", 3};
        case NodeQuantity::Velocity:
            return {"VELO", "Velocity", 3};
        case NodeQuantity::Temperature:
            return {"TEMP", "Temperature", 1};
        case NodeQuantity::Pressure:
            return {"PRES", "Pressure", 1};
        case NodeQuantity::Vorticity:
            return {"VORT", "Vorticity", 3};
        case NodeQuantity::HeatFlux:
            return {"FLUX", "heat flux", 3};
        case NodeQuantity::Density:
            return {"DENS", "Density", 1};
        case NodeQuantity::MachNumber:
            return {"MACH", "Mach number", 1};
        case NodeQuantity::ErrorEstimate:
            return {"ERRE", "Error estimate", 1};
    }
    return {"", "", 1};
}

// `width` values per node, in node order.
struct NodeField {
    NodeQuantity quantity;
    std::vector<double> values;
};

// Values at the four corners of every element: the stresses an element's points extrapolate to,
// and the equivalent plastic strain. Empty vectors: the step has no such field.
struct CornerFields {
    std::vector<std::int32_t> nodes;  // 1-based node numbers, four per element
    std::vector<results::CornerStress> stresses;
    std::vector<double> plasticStrains;
};

struct StepResult {
    int number = 1;                     // the step's (or mode's) number in the result file
    double time = 0;                    // the time, load factor or mode value the step stands for
    std::vector<NodeField> nodeFields;  // in the order the result file lists them
    CornerFields corners;
    // Each element's estimated error in per cent of the mean (fem/error_estimate.h), beside the
    // node means of the "ERRE" field; empty: the step has no estimate.
    std::vector<double> elementErrors;
    // Each element's share of the solution's energy, eta_e^2 / |u_h|^2, which adaptive refinement
    // sizes the next mesh by; empty: the step has no estimate.
    std::vector<double> errorShares;
    // The part of the model this process's fields cover. None: the whole model, as a run on one
    // process and an analysis whose results the first process gathers hand it to the first process
    // (and nothing, or the same whole model, to the others). An analysis that shares its results
    // hands every process the step with its share (fem/model_share.h): the node fields hold the
    // values of the share's nodes, the corner fields, the element errors and the error shares those
    // of its elements, each in the share's order. The shares of all processes together are the
    // model, each node and element in one of them.
    std::shared_ptr<const ModelShare> share;

    void add(NodeQuantity quantity, std::vector<double> values) {
        nodeFields.push_back({quantity, std::move(values)});
    }
    // The result file's keywords of the step's blocks, as "DISP, VELO, STRES".
    std::string keywords() const {
        std::string out;
        const auto append = [&out](const char* keyword) {
            out += (out.empty() ? "" : ", ") + std::string(keyword);
        };
        for (const NodeField& field : nodeFields) append(nodeQuantityInfo(field.quantity).keyword);
        if (!corners.stresses.empty()) append("STRES");
        if (!corners.plasticStrains.empty()) append("STRAI");
        return out;
    }
};

class ResultSink {
  public:
    virtual ~ResultSink() = default;
    // The values of the modes whose shapes follow (natural frequencies or buckling load factors),
    // once, before the first mode.
    virtual void modeValues(std::span<const double> values) = 0;
    virtual void step(const StepResult& step) = 0;
};

// Hands everything on to each of several sinks; with none (the processes that do not write), it
// takes the results and drops them.
class ResultSinks : public ResultSink {
  public:
    void add(ResultSink& sink) { sinks_.push_back(&sink); }
    void modeValues(std::span<const double> values) override {
        for (ResultSink* sink : sinks_) sink->modeValues(values);
    }
    void step(const StepResult& step) override {
        for (ResultSink* sink : sinks_) sink->step(step);
    }

  private:
    std::vector<ResultSink*> sinks_;
};

}  // namespace tarvsolv
