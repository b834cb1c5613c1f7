#include "app/core/AnnotationHistory.h"

#include <utility>

namespace px {

void AnnotationHistory::BeginStroke(Point start, uint32_t color, int width) {
    EndStroke();
    open_ = StrokeStep{color, width, {start}};
}

void AnnotationHistory::ExtendStroke(Point to) {
    if (open_) open_->points.push_back(to);
}

bool AnnotationHistory::EndStroke() {
    if (!open_) return false;
    std::optional<StrokeStep> done = std::exchange(open_, std::nullopt);
    if (done->points.size() < 2) return false;
    Record(std::move(*done));
    return true;
}

void AnnotationHistory::AddText(TextStep text) {
    EndStroke();
    Record(std::move(text));
}

void AnnotationHistory::Record(AnnotationStep step) {
    steps_.resize(applied_);  // the undone steps are gone for good
    steps_.push_back(std::move(step));
    applied_ = steps_.size();
}

bool AnnotationHistory::Undo() {
    EndStroke();
    if (!CanUndo()) return false;
    --applied_;
    return true;
}

bool AnnotationHistory::Redo() {
    // A stroke still being drawn is a new step: it drops what could be redone.
    if (EndStroke() || !CanRedo()) return false;
    ++applied_;
    return true;
}

void AnnotationHistory::Clear() {
    steps_.clear();
    applied_ = 0;
    open_.reset();
}

EditKey EditKeyFor(unsigned virtualKey, bool ctrl, bool shift, bool alt) {
    if (!ctrl || alt) return EditKey::None;
    if (virtualKey == 'Z') return shift ? EditKey::Redo : EditKey::Undo;
    if (virtualKey == 'Y' && !shift) return EditKey::Redo;
    return EditKey::None;
}

}  // namespace px
