#pragma once
// Gaps and contact in forced vibrations. Each time step's equation for the new accelerations a,
//     A a = b + f_c(u* + beta dt^2 a),
// with A the step matrix, b its right-hand side without contact and f_c the contact forces at the
// step's displacements, is solved by Newton's method on A + beta dt^2 K_c, K_c the contact
// tangent. The tangent of the penalty is constant while the set of points that carry it stays the
// same, so that matrix is factorised (or handed to the multigrid) again only when the set changes
// and reused otherwise; within one set a single Newton step solves the step exactly.
//
// The penalty, sized for statics, is soft against the mass term of A (the nodes' masses over
// beta dt^2), so a converged step is augmented: the multipliers are set to the pressures and the
// step solved again, until they settle. Without that, a bar standing on a plane sinks into it by
// some per cent of its motion and chatters off it. The converged step then predicts the next
// step's multipliers as a load step does.
//
// The mass makes A nonsingular on its own, so the points that touch at the start do not stiffen
// the tangent before they close (as they must in statics): the tangent is the exact one.
#include <string>
#include <vector>

#include "fem/matrix_pattern.h"
#include "physics/contact_constraints.h"
#include "physics/time_stepping.h"

namespace tarvsolv {

class ContactTimeSteps {
  public:
    // `stepMatrix` comes from a pattern that holds the contact's couplings; `stiffnessFactor` is
    // beta dt^2; `freeMask` is 1 on free unknowns and 0 on prescribed ones. The solver's matrix is
    // set by the first solve.
    ContactTimeSteps(const Job& job, const DofLayout& layout, ContactConstraints& contact, Mat stepMatrix,
                     double stiffnessFactor, Vec freeMask, StepSolver& solver);

    // Adds the contact forces at the displacements `u` to `r`.
    void addForces(Vec u, Vec r);

    struct Outcome {
        bool converged = false;
        int newtonIterations = 0;
        int augmentations = 0;
        int linearIterations = 0;  // summed over the Newton iterations
        double residual = 0;       // relative to the larger of |b| and the first residual
        std::string failure;       // why it did not converge
    };
    // Solves the step of right-hand side `b` and predicted displacements `uStar` for `acc`, which
    // holds the last step's accelerations as the first guess, augmenting the multipliers.
    Outcome solve(Vec b, Vec uStar, Vec acc);

    // The step converged at displacements `u`: logs the contact of each face to `log` when given
    // and predicts the multipliers of the next step.
    void accept(Vec u, RunLog* log);

    // How often the matrix was factorised (or set up) again because the set of points changed.
    int matrixChanges() const { return changes_; }

  private:
    std::vector<double> globalState(Vec u) const;
    double residualAt(Vec b, Vec acc, const std::vector<double>& global);
    void useTangentOf(const std::vector<double>& global);
    bool newton(Vec b, Vec uStar, Vec acc, double& reference, Outcome& out, std::vector<double>& global);

    const DofLayout& layout_;
    ContactConstraints& contact_;
    DofLayout increments_;  // prescribed values 0: contact terms at a state carry no lifting
    MatrixPattern pattern_;
    Mat stepMatrix_;
    double stiffnessFactor_;
    Vec freeMask_;
    StepSolver& solver_;
    MatHandle tangent_, newton_;
    VecHandle forces_, residual_, correction_, state_;
    TangentSet set_;
    bool hasMatrix_ = false;
    int changes_ = 0;
};

}  // namespace tarvsolv
