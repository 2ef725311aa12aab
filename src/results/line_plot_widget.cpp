#include "results/line_plot_widget.h"

std::optional<widgets::CanvasWidget::EditBox> LinePlotWidget::editBox() const {
    const auto& edit = plot_.limitEdit();
    if (!edit) return std::nullopt;
    const auto box = plot_.limitLabelBox(edit->limit);
    return EditBox{edit->text, {box[0], box[1], box[2], box[3]}};
}

bool LinePlotWidget::finishEdit(const std::string& text) {
    const bool taken = plot_.finishLimitEdit(text);
    changed();
    return taken;
}

void LinePlotWidget::cancelEdit() {
    plot_.cancelLimitEdit();
    changed();
}
