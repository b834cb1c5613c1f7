#include <gtest/gtest.h>

#include <variant>

#include "app/core/AnnotationHistory.h"

namespace px {

namespace {

// Records a stroke of `n` segments whose points all carry `id`, so each step is recognisable.
void DrawStroke(AnnotationHistory& h, int id, int segments = 2) {
    h.BeginStroke({id, 0}, static_cast<uint32_t>(id), 1);
    for (int i = 1; i <= segments; ++i) h.ExtendStroke({id, i});
    h.EndStroke();
}

std::vector<int> AppliedIds(const AnnotationHistory& h) {
    std::vector<int> ids;
    for (const AnnotationStep& s : h.Applied()) {
        if (auto* stroke = std::get_if<StrokeStep>(&s)) ids.push_back(stroke->points.front().x);
        else ids.push_back(-std::get<TextStep>(s).at.x);
    }
    return ids;
}

}  // namespace

TEST(AnnotationHistory, TenStrokesFiveUndosTwoRedosLeaveStrokesOneToSeven) {
    AnnotationHistory h;
    for (int id = 1; id <= 10; ++id) DrawStroke(h, id);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(h.Undo());
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(h.Redo());
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(h.Recorded(), 10u);
    EXPECT_TRUE(h.CanRedo());
}

TEST(AnnotationHistory, StrokeKeepsItsPenAndEveryPointInOrder) {
    AnnotationHistory h;
    h.BeginStroke({3, 4}, 0x0000FF, 2);
    h.ExtendStroke({5, 6});
    h.ExtendStroke({7, 9});
    EXPECT_TRUE(h.StrokeOpen());
    EXPECT_TRUE(h.Applied().empty()) << "a stroke is a step only when it ends";
    EXPECT_TRUE(h.EndStroke());
    ASSERT_EQ(h.Applied().size(), 1u);
    EXPECT_EQ(std::get<StrokeStep>(h.Applied()[0]), (StrokeStep{0x0000FF, 2, {{3, 4}, {5, 6}, {7, 9}}}));
}

TEST(AnnotationHistory, ClickWithoutMoveRecordsNothing) {
    AnnotationHistory h;
    h.BeginStroke({1, 1}, 0, 1);
    EXPECT_FALSE(h.EndStroke());
    EXPECT_FALSE(h.EndStroke()) << "a second release ends nothing";
    EXPECT_EQ(h.Recorded(), 0u);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.Undo());
}

TEST(AnnotationHistory, NewPressEndsTheStrokeLeftOpen) {
    AnnotationHistory h;
    h.BeginStroke({1, 0}, 0, 1);
    h.ExtendStroke({1, 1});
    h.BeginStroke({2, 0}, 0, 1);  // the release was lost
    h.ExtendStroke({2, 1});
    h.EndStroke();
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1, 2}));
}

TEST(AnnotationHistory, UndoDuringAStrokeUndoesThatStroke) {
    AnnotationHistory h;
    DrawStroke(h, 1);
    h.BeginStroke({2, 0}, 0, 1);
    h.ExtendStroke({2, 1});
    EXPECT_TRUE(h.Undo());
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1}));
    h.ExtendStroke({2, 2});  // moves after the undo draw no step
    EXPECT_FALSE(h.EndStroke());
    EXPECT_TRUE(h.Redo());
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1, 2}));
}

TEST(AnnotationHistory, RecordingAfterUndoDropsTheUndoneSteps) {
    AnnotationHistory h;
    for (int id = 1; id <= 4; ++id) DrawStroke(h, id);
    h.Undo();
    h.Undo();
    h.AddText(TextStep{{9, 9}, 0xFF0000, L"note", L"Arial", 12, 1});
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1, 2, -9}));
    EXPECT_FALSE(h.CanRedo());
    EXPECT_FALSE(h.Redo());
    EXPECT_EQ(h.Recorded(), 3u);
    const auto& text = std::get<TextStep>(h.Applied()[2]);
    EXPECT_EQ(text.text, L"note");
    EXPECT_EQ(text.fontName, L"Arial");
    EXPECT_EQ(text.fontStyle, 1);
}

TEST(AnnotationHistory, StrokeInProgressDropsRedoAndIsNotRedone) {
    AnnotationHistory h;
    DrawStroke(h, 1);
    DrawStroke(h, 2);
    h.Undo();
    h.BeginStroke({3, 0}, 0, 1);
    h.ExtendStroke({3, 1});
    EXPECT_FALSE(h.Redo()) << "the new stroke replaces what could be redone";
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1, 3}));
}

TEST(AnnotationHistory, UndoAndRedoStopAtTheEnds) {
    AnnotationHistory h;
    DrawStroke(h, 1);
    DrawStroke(h, 2);
    EXPECT_FALSE(h.Redo());
    EXPECT_TRUE(h.Undo());
    EXPECT_TRUE(h.Undo());
    EXPECT_FALSE(h.Undo());
    EXPECT_TRUE(h.Applied().empty());
    EXPECT_TRUE(h.Redo());
    EXPECT_TRUE(h.Redo());
    EXPECT_FALSE(h.Redo());
    EXPECT_EQ(AppliedIds(h), (std::vector<int>{1, 2}));
    h.Clear();
    EXPECT_EQ(h.Recorded(), 0u);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.StrokeOpen());
}

TEST(AnnotationHistory, EditKeys) {
    struct Case {
        unsigned vk;
        bool ctrl, shift, alt;
        EditKey key;
    } cases[] = {
        {'Z', true, false, false, EditKey::Undo},  {'Z', true, true, false, EditKey::Redo},
        {'Y', true, false, false, EditKey::Redo},  {'Y', true, true, false, EditKey::None},
        {'Z', false, false, false, EditKey::None}, {'Y', false, false, false, EditKey::None},
        {'Z', true, false, true, EditKey::None},   {'Y', true, false, true, EditKey::None},
        {'X', true, false, false, EditKey::None},  {'z', true, false, false, EditKey::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditKeyFor(c.vk, c.ctrl, c.shift, c.alt), c.key)
            << c.vk << " ctrl " << c.ctrl << " shift " << c.shift << " alt " << c.alt;
}

}  // namespace px
