#include "fem/quadrature.h"

#include <cmath>

namespace tarvsolv {
namespace {

// Every permutation of (a, a, a, b) in volume coordinates, as (xi, eta, zeta) = (L1, L2, L3).
void addGroup4(std::vector<QuadPoint>& rule, double a, double w) {
    const double b = 1 - 3 * a;
    rule.push_back({{a, a, a}, w});
    rule.push_back({{b, a, a}, w});
    rule.push_back({{a, b, a}, w});
    rule.push_back({{a, a, b}, w});
}

// Every permutation of (a, a, b, b).
void addGroup6(std::vector<QuadPoint>& rule, double a, double w) {
    const double b = 0.5 - a;
    rule.push_back({{a, a, b}, w});
    rule.push_back({{a, b, a}, w});
    rule.push_back({{b, a, a}, w});
    rule.push_back({{b, b, a}, w});
    rule.push_back({{b, a, b}, w});
    rule.push_back({{a, b, b}, w});
}

std::vector<QuadPoint> tet1() {
    return {{{0.25, 0.25, 0.25}, 1.0 / 6}};
}

std::vector<QuadPoint> tet4() {
    std::vector<QuadPoint> rule;
    addGroup4(rule, 0.1381966011250105, 1.0 / 24);
    return rule;
}

// 14-point rule, degree 5.
std::vector<QuadPoint> tet14() {
    std::vector<QuadPoint> rule;
    addGroup4(rule, 0.0927352503108912, 0.01224884051939366);
    addGroup4(rule, 0.3108859192633006, 0.01878132095300264);
    addGroup6(rule, 0.0455037041256496, 0.007091003462846911);
    return rule;
}

// 7-point rule, degree 5.
std::vector<QuadPoint> tri7() {
    std::vector<QuadPoint> rule;
    rule.push_back({{1.0 / 3, 1.0 / 3, 0}, 0.225 / 2});
    const double a1 = 0.470142064105115, w1 = 0.132394152788506 / 2;
    const double a2 = 0.101286507323456, w2 = 0.125939180544827 / 2;
    for (auto [a, w] : {std::pair{a1, w1}, std::pair{a2, w2}}) {
        const double b = 1 - 2 * a;
        rule.push_back({{a, a, 0}, w});
        rule.push_back({{b, a, 0}, w});
        rule.push_back({{a, b, 0}, w});
    }
    return rule;
}

std::vector<QuadPoint> tri3() {
    return {
        {{1.0 / 6, 1.0 / 6, 0}, 1.0 / 6}, {{2.0 / 3, 1.0 / 6, 0}, 1.0 / 6}, {{1.0 / 6, 2.0 / 3, 0}, 1.0 / 6}};
}

}  // namespace

const std::vector<QuadPoint>& tetRule(int degree) {
    static const std::vector<QuadPoint> r1 = tet1(), r2 = tet4(), r5 = tet14();
    if (degree <= 1) return r1;
    if (degree <= 2) return r2;
    return r5;
}

const std::vector<QuadPoint>& triangleRule(int degree) {
    static const std::vector<QuadPoint> r2 = tri3(), r5 = tri7();
    return degree <= 2 ? r2 : r5;
}

const std::vector<QuadPoint>& lineRule() {
    static const std::vector<QuadPoint> rule = [] {
        const double s = std::sqrt(0.6) / 2;
        return std::vector<QuadPoint>{
            {{0.5 - s, 0, 0}, 5.0 / 18}, {{0.5, 0, 0}, 8.0 / 18}, {{0.5 + s, 0, 0}, 5.0 / 18}};
    }();
    return rule;
}

}  // namespace tarvsolv
