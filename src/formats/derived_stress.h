#pragma once
// Stresses derived from the six components of one result line: von Mises, Tresca, principal
// stresses and their signed forms. Every reader and view computes them here, per element corner,
// before averaging.
namespace results {

struct StressComponents {
    double sx = 0, sy = 0, sz = 0, txy = 0, tyz = 0, txz = 0;
};

// Items of a stress quantity: 0 to 5 the components in file order, then the derived values.
enum StressItem : int {
    kItemSigmaX = 0,
    kItemSigmaY,
    kItemSigmaZ,
    kItemTauXY,
    kItemTauYZ,
    kItemTauXZ,
    kItemVonMises,
    kItemTresca,
    kItemSignedVonMises,
    kItemSignedTresca,
    kItemPrincipal1,
    kItemPrincipal2,
    kItemPrincipal3,
    kItemMaxPrincipal,
};

struct PrincipalStresses {
    double p1 = 0, p2 = 0, p3 = 0;  // largest, middle, smallest
};

// The von Mises (equivalent) stress sqrt(3 J2).
double vonMises(const StressComponents& s);

// The principal stresses from the invariants and the Lode angle (pi taken as 3.14159).
PrincipalStresses principalStresses(const StressComponents& s);

// The value of `item` (0 to 13); 0 for any other item.
double stressValue(const StressComponents& s, int item);

}  // namespace results
