#include "mesh_solve/solve_command.h"

#include "mesh_solve/solve_dialog.h"

CSolve* CSolveCommand::solveDialog() const {
    return static_cast<CSolve*>(dialog());
}

void CSolveCommand::Start() {
    auto dialog = std::make_unique<CSolve>(this);
    CSolve* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}
