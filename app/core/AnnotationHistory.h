#pragma once
// Undo and redo of the annotation window: every freehand stroke and every
// printed text is one step. The window keeps the picture it was opened on and
// redraws it with the steps still applied, so a step records what drawing it
// needs (points, pen, font), never pixels.
//
// Recording a step after an undo drops the steps that were undone: they can
// no longer be redone.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "base/Geometry.h"

namespace px {

// A freehand line: from points[0] through every later point, in one pen.
struct StrokeStep {
    uint32_t color = 0;  // red in the low byte
    int width = 1;
    std::vector<Point> points;
    friend bool operator==(const StrokeStep&, const StrokeStep&) = default;
};

// Text printed at `at` (lines under one another), in one font and colour.
struct TextStep {
    Point at;
    uint32_t color = 0;
    std::wstring text;
    std::wstring fontName;
    double fontSize = 8;
    int fontStyle = 0;  // px::FontStyleBit
    friend bool operator==(const TextStep&, const TextStep&) = default;
};

using AnnotationStep = std::variant<StrokeStep, TextStep>;

class AnnotationHistory {
public:
    // A press starts a stroke at `start`; it becomes a step only once it has
    // drawn a segment (a click without a move draws nothing).
    void BeginStroke(Point start, uint32_t color, int width);
    void ExtendStroke(Point to);
    // The release ends it; true when a step was recorded.
    bool EndStroke();
    bool StrokeOpen() const noexcept { return open_.has_value(); }

    void AddText(TextStep text);

    bool CanUndo() const noexcept { return applied_ > 0; }
    bool CanRedo() const noexcept { return applied_ < steps_.size(); }
    // An open stroke is ended first, so it is the step undone. False when
    // there was nothing to undo (or redo).
    bool Undo();
    bool Redo();

    // The steps in effect, oldest first: the picture is the original with these drawn on it.
    std::span<const AnnotationStep> Applied() const noexcept { return {steps_.data(), applied_}; }
    size_t Recorded() const noexcept { return steps_.size(); }
    void Clear();

private:
    void Record(AnnotationStep step);

    std::vector<AnnotationStep> steps_;
    size_t applied_ = 0;
    std::optional<StrokeStep> open_;
};

// The window's editing keys: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo;
// Alt held, or any other key, is no editing key.
enum class EditKey { None, Undo, Redo };
EditKey EditKeyFor(unsigned virtualKey, bool ctrl, bool shift, bool alt);

}  // namespace px
