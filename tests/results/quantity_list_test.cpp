// The quantity list both result dialogs offer and the unit texts of the length unit. The natural
// frequencies' list and its plot position: ResultsWindow.NaturalFrequencies...; the 25 lines of
// the mechanical list: ResultsPanels.OpensWithTheLoadcasesQuantities...
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "results/quantity_list.h"

namespace {

using namespace results;

TEST(QuantityList, ListsByPhysicsAndSolutionType) {
    auto texts = [](int physics, int solution, bool heatFlux = false) {
        std::vector<std::string> out;
        for (const auto& q : offeredQuantities(physics, solution, heatFlux)) out.push_back(q.text);
        return out;
    };
    EXPECT_EQ(texts(kPhysicsThermal, 6), (std::vector<std::string>{"Mesh", "Temperatures"}));
    // Results with a heat flux: its lines after "Temperatures", each plotted at its own position.
    const std::vector<std::string> flux{"X Heat Flux", "Y Heat Flux", "Z Heat Flux", "Heat Flux"};
    auto withFlux = [&flux](std::vector<std::string> list) {
        const auto at = std::find(list.begin(), list.end(), "Temperatures");
        list.insert(at + 1, flux.begin(), flux.end());
        return list;
    };
    EXPECT_EQ(texts(kPhysicsThermal, 6, true), withFlux({"Mesh", "Temperatures"}));
    for (int p = kPositionXHeatFlux; p <= kPositionHeatFlux; ++p)
        EXPECT_EQ(plotPosition(kPhysicsThermal, 6, p), p);
    EXPECT_EQ(texts(kPhysicsMechanical, 0, true).size(), 25u);
    EXPECT_EQ(texts(7, 0), std::vector<std::string>{"Mesh"});
    const auto all = texts(kPhysicsMechanical, kSolutionBuckling);
    ASSERT_EQ(all.size(), 25u) << "the flow's quantities stay out of the mechanical list";
    EXPECT_EQ(all[7], "Von Mises Stress");
    EXPECT_EQ(all[20], "Buckling Load");
    // A flow, steady or transient: its list lines stand for their own positions.
    const std::vector<std::string> flow{"Mesh",  "X Velocity", "Y Velocity", "Z Velocity",
                                        "Speed", "Pressure",   "Vorticity"};
    EXPECT_EQ(texts(kPhysicsFluid, 8), flow);
    auto heated = flow;
    heated.push_back("Temperatures");
    EXPECT_EQ(texts(kPhysicsFluid, kSolutionFlowWithHeat), heated);
    EXPECT_EQ(texts(kPhysicsFluid, kSolutionFlowWithHeat, true), withFlux(heated));
    EXPECT_EQ(plotPosition(kPhysicsFluid, kSolutionFlowWithHeat, kPositionTemperature), kPositionTemperature);
    // A gas: the flow's list, its temperatures, density and Mach number; no heat flux block.
    auto gas = heated;
    gas.insert(gas.end(), {"Density", "Mach number"});
    EXPECT_EQ(texts(kPhysicsFluid, kSolutionCompressibleFlow, true), gas);
    EXPECT_EQ(offeredQuantities(kPhysicsFluid, kSolutionCompressibleFlow, false).back().position,
              kPositionMach);
    // Thermal stress: the mechanical list, its temperatures among it; about a heated state the
    // frequency and the temperatures, each for its own position.
    EXPECT_EQ(texts(kPhysicsMultiphysics, 12), all);
    EXPECT_EQ(texts(kPhysicsMultiphysics, 14),
              (std::vector<std::string>{"Mesh", "Natural frequency", "Temperatures"}));
    EXPECT_EQ(texts(kPhysicsMultiphysics, 14, true), withFlux(texts(kPhysicsMultiphysics, 14)));
    EXPECT_EQ(texts(kPhysicsMultiphysics, 11, true), withFlux(all));
    EXPECT_EQ(plotPosition(kPhysicsMultiphysics, 14, kPositionTemperature), kPositionTemperature);
    EXPECT_TRUE(hasNaturalFrequencies(kPhysicsMultiphysics, 14));
    EXPECT_FALSE(hasNaturalFrequencies(kPhysicsMultiphysics, 13));
    for (const auto& q : offeredQuantities(kPhysicsFluid, 8, true))
        EXPECT_EQ(plotPosition(kPhysicsFluid, 8, q.position), q.position);
    // (What the flow's and the heat flux's lines read and their legends: ResultsPanels.TransientRuns....)
    EXPECT_EQ(quantityAt(kPositionDensity).kind, kKindDensity);
    EXPECT_EQ(quantityAt(kPositionMach).kind, kKindMach);
    EXPECT_EQ(quantityAt(kPositionMach).legendLabel, "Mach number");
    // The time graph takes what each list offers, and nothing of another physics' list.
    for (int p = 0; p < kQuantityCount; ++p) {
        const bool node = p != kPositionMesh && p != kPositionFrequency && p != 24;
        const bool heatFlux = p >= kPositionXHeatFlux && p <= kPositionHeatFlux;
        EXPECT_EQ(hasTimeHistory(p, kPhysicsMechanical), node && p < kMechanicalQuantityCount) << p;
        const bool gasOnly = p == kPositionDensity || p == kPositionMach;
        EXPECT_EQ(hasTimeHistory(p, kPhysicsFluid), (p >= 21 && p != 24 && p < kPositionXHeatFlux) ||
                                                        p == kPositionTemperature || heatFlux || gasOnly)
            << p;
        EXPECT_EQ(hasTimeHistory(p, kPhysicsMultiphysics), hasTimeHistory(p, kPhysicsMechanical) || heatFlux)
            << p;
        EXPECT_EQ(hasTimeHistory(p, kPhysicsThermal), p == kPositionTemperature || heatFlux) << p;
        EXPECT_FALSE(gasOnly && hasTimeHistory(p, kPhysicsMechanical)) << p;
    }
    EXPECT_EQ(plotPosition(kPhysicsThermal, 6, 0), kPositionTemperature);
    EXPECT_EQ(plotPosition(kPhysicsMechanical, 0, 12), 12);
    EXPECT_EQ(quantityAt(15).legendLabel, "Combined Displacement");
    EXPECT_EQ(quantityAt(15).kind, kKindDisplacement);
    EXPECT_EQ(quantityAt(15).item, kItemMagnitude);
    EXPECT_EQ(quantityAt(24).kind, kKindPlasticStrain);
    EXPECT_EQ(quantityAt(99).listText, "Mesh");
    // Results that hold an error estimate offer it last, plotted at its own position even where
    // every other line plots the temperature or the frequency.
    for (const auto& [physics, solution] :
         {std::pair{kPhysicsMechanical, 0}, std::pair{kPhysicsThermal, 6},
          std::pair{kPhysicsMechanical, kSolutionNaturalFrequencies}, std::pair{kPhysicsMultiphysics, 11}}) {
        const auto list = offeredQuantities(physics, solution, true, true);
        EXPECT_EQ(list.back().text, "Error estimate") << physics << " " << solution;
        EXPECT_EQ(list.size(), offeredQuantities(physics, solution, true).size() + 1);
        EXPECT_EQ(plotPosition(physics, solution, list.back().position), kPositionErrorEstimate);
    }
    EXPECT_EQ(offeredQuantities(7, 0, false, true).size(), 1u) << "nothing to estimate, nothing offered";
    EXPECT_EQ(quantityAt(kPositionErrorEstimate).kind, kKindErrorEstimate);
    EXPECT_TRUE(isScalarNodeKind(kKindErrorEstimate));
}

// The stress units of each length unit: ResultsPanels.TheMaxTextCarriesTheQuantitysUnit.
TEST(QuantityList, UnitTexts) {
    EXPECT_EQ(stressUnit("cm"), "N/cm2");
    EXPECT_EQ(temperatureUnit("in"), "deg. F");
    EXPECT_EQ(temperatureUnit("ft"), "deg. C");
    EXPECT_EQ(unitTextForKind(kKindDisplacement, "cm"), "cm");
    EXPECT_EQ(unitTextForKind(kKindStress, "mm"), "N/mm2");
    EXPECT_EQ(unitTextForKind(kKindVelocity, "mm"), "");
    EXPECT_EQ(unitTextForKind(kKindPressure, "in"), "lbf/in2");
    EXPECT_EQ(unitText(quantityAt(19).unit, "in"), "deg. F");
    // Velocities: the length unit per second, without the dot of "m."; a flow's velocity
    // components carry it, a mechanical loadcase's stay without a unit.
    const std::pair<const char*, const char*> velocities[] = {{"mm", "mm/s"}, {"m.", "m/s"},  {"cm", "cm/s"},
                                                              {"in", "in/s"}, {"ft", "ft/s"}, {"", ""}};
    for (const auto& [length, velocity] : velocities)
        EXPECT_EQ(unitText(unitClassAt(kPositionSpeed, kPhysicsFluid), length), velocity) << length;
    for (int p = kPositionXVelocity; p <= kPositionZVelocity; ++p) {
        EXPECT_EQ(unitText(unitClassAt(p, kPhysicsFluid), "m."), "m/s") << p;
        EXPECT_EQ(unitText(unitClassAt(p, kPhysicsMechanical), "m."), "") << p;
    }
    EXPECT_EQ(unitText(unitClassAt(kPositionPressure, kPhysicsFluid), "m."), "N/m2");
    EXPECT_EQ(unitText(unitClassAt(kPositionVorticity, kPhysicsFluid), "in"), "1/s");
    // Heat flux: power per area as the thermal loads take it.
    const std::pair<const char*, const char*> fluxes[] = {
        {"mm", "W/mm2"}, {"m.", "W/m2"}, {"cm", "W/cm2"}, {"in", "Btu/(s-in2)"}, {"ft", ""}};
    for (const auto& [length, unit] : fluxes)
        for (int p = kPositionXHeatFlux; p <= kPositionHeatFlux; ++p)
            EXPECT_EQ(unitText(unitClassAt(p, kPhysicsThermal), length), unit) << length << " " << p;
    EXPECT_EQ(unitTextForKind(kKindHeatFlux, "mm"), "W/mm2");
    // The error estimate is a share of the mean, in per cent whatever the unit.
    for (const char* length : {"mm", "in", ""}) {
        EXPECT_EQ(unitText(unitClassAt(kPositionErrorEstimate, kPhysicsThermal), length), "%") << length;
        EXPECT_EQ(unitTextForKind(kKindErrorEstimate, length), "%") << length;
    }
    // A gas's density in the material dialog's unit; the Mach number has none.
    const std::pair<const char*, const char*> densities[] = {
        {"mm", "kg/mm3"}, {"m.", "kg/m3"}, {"cm", "kg/cm3"}, {"in", "lbf/in3"}, {"ft", ""}};
    for (const auto& [length, unit] : densities) {
        EXPECT_EQ(unitText(unitClassAt(kPositionDensity, kPhysicsFluid), length), unit) << length;
        EXPECT_EQ(unitTextForKind(kKindDensity, length), unit) << length;
        EXPECT_EQ(unitText(unitClassAt(kPositionMach, kPhysicsFluid), length), "") << length;
    }
}

}  // namespace
