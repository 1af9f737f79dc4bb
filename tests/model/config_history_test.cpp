#include "model/config_history.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

BoardConfig WithDescription(const std::string& text) {
  BoardConfig c;
  c.Pins[4].Description = text;
  return c;
}

TEST(ConfigHistory, UndoRedo_ReturnEachConfigurationWithItsLabel) {
  ConfigHistory history;
  const BoardConfig a = WithDescription("a");
  const BoardConfig b = WithDescription("b");
  const BoardConfig c = WithDescription("c");
  EXPECT_EQ(history.UndoText(), "Undo");
  EXPECT_EQ(history.RedoText(), "Redo");
  history.Record(a, "Load Device Signal 3");
  history.Record(b, "Description");
  EXPECT_EQ(history.UndoText(), "Undo Description");

  std::optional<BoardConfig> shown = history.Undo(c);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->Pins[4].Description, "b");
  EXPECT_EQ(history.UndoText(), "Undo Load Device Signal 3");
  EXPECT_EQ(history.RedoText(), "Redo Description");
  shown = history.Undo(*shown);
  EXPECT_EQ(shown->Pins[4].Description, "a");
  EXPECT_FALSE(history.Undo(*shown));
  EXPECT_EQ(history.RedoText(), "Redo Load Device Signal 3");

  shown = history.Redo(*shown);
  EXPECT_EQ(shown->Pins[4].Description, "b");
  shown = history.Redo(*shown);
  EXPECT_EQ(shown->Pins[4].Description, "c");
  EXPECT_FALSE(history.Redo(*shown));
  EXPECT_EQ(history.UndoText(), "Undo Description");
}

TEST(ConfigHistory, NewChangeAfterUndo_ClearsRedo) {
  ConfigHistory history;
  history.Record(WithDescription("a"), "Read All");
  ASSERT_TRUE(history.Undo(WithDescription("b")));
  EXPECT_TRUE(history.CanRedo());
  history.Record(WithDescription("a"), "Copy to All");
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.RedoText(), "Redo");
  EXPECT_EQ(history.UndoText(), "Undo Copy to All");
}

TEST(ConfigHistory, WindowSettingsAndBoardVersion_AreNotUndone) {
  ConfigHistory history;
  BoardConfig before = WithDescription("before");
  before.NumberBase = 1;
  before.General.VersionText = "Unknown";
  history.Record(before, "Read All");
  BoardConfig now = WithDescription("after");
  now.NumberBase = 0;
  now.ExpertMode = true;
  now.General.VersionText = "3.2.2.0";
  std::optional<BoardConfig> shown = history.Undo(now);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->Pins[4].Description, "before");
  EXPECT_EQ(shown->NumberBase, 0);
  EXPECT_TRUE(shown->ExpertMode);
  EXPECT_EQ(shown->General.VersionText, "3.2.2.0");
}

TEST(ConfigHistory, CleanMarker_FollowsUndoAndRedoBackToTheSavedState) {
  ConfigHistory history;
  EXPECT_TRUE(history.IsClean());
  history.Record(WithDescription("loaded"), "Description");
  EXPECT_FALSE(history.IsClean());
  history.MarkClean();  // saved after the edit
  history.Record(WithDescription("saved"), "Clear Pin");
  EXPECT_FALSE(history.IsClean());
  std::optional<BoardConfig> shown = history.Undo(WithDescription("cleared"));
  EXPECT_TRUE(history.IsClean());
  shown = history.Undo(*shown);
  EXPECT_FALSE(history.IsClean());
  shown = history.Redo(*shown);
  EXPECT_TRUE(history.IsClean());
  shown = history.Redo(*shown);
  EXPECT_FALSE(history.IsClean());
}

TEST(ConfigHistory, ChangeWithdrawn_LeavesHistoryAndCleanStateAsBefore) {
  ConfigHistory history;
  history.Record(WithDescription("a"), "Load File");
  EXPECT_FALSE(history.IsClean());
  history.Withdraw();  // the file was refused
  EXPECT_TRUE(history.IsClean());
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.Bytes(), 0u);
}

TEST(ConfigHistory, Commit_RecordsOnlyARealChange) {
  ConfigHistory history;
  BoardConfig before;
  BoardConfig after = before;
  after.NumberBase = 0;  // a window setting, not content
  after.General.VersionText = "3.2.2.0";
  EXPECT_FALSE(history.Commit(before, after, "Start numbering at 1"));
  after.Pins[31].Aspects[11].Steps[8].Par3 = 7;
  EXPECT_TRUE(history.Commit(before, after, "Par3"));
  EXPECT_EQ(history.UndoText(), "Undo Par3");
}

TEST(ConfigHistory, ManyChanges_KeepTheNewestStepsWithinTheBound) {
  ConfigHistory history;
  const std::size_t total = ConfigHistory::kMaxSteps + 30;
  for (std::size_t i = 0; i < total; ++i) {
    history.Record(WithDescription("step " + std::to_string(i)), "Edit " + std::to_string(i));
  }
  EXPECT_GE(ConfigHistory::kMaxSteps, 100u);
  EXPECT_EQ(history.UndoCount(), ConfigHistory::kMaxSteps);
  EXPECT_EQ(history.UndoText(), "Undo Edit " + std::to_string(total - 1));
  BoardConfig shown = WithDescription("now");
  while (history.CanUndo()) shown = *history.Undo(shown);
  EXPECT_EQ(shown.Pins[4].Description, "step 30");
  EXPECT_EQ(history.RedoCount(), ConfigHistory::kMaxSteps);
  EXPECT_LE(history.Bytes(), ConfigHistory::kMaxBytes);
  // A whole configuration is tens of kilobytes, so the count bound holds the memory.
  EXPECT_LT(ConfigHistory::SnapshotBytes(BoardConfig{}), 64u * 1024);
}

TEST(ConfigHistory, HugeTexts_DropOldStepsByBytesButKeepTheNewest) {
  ConfigHistory history;
  const std::string big(ConfigHistory::kMaxBytes / 3, 'x');
  for (int i = 0; i < 5; ++i) history.Record(WithDescription(big + std::to_string(i)), "Paste");
  EXPECT_LE(history.Bytes(), ConfigHistory::kMaxBytes);
  EXPECT_EQ(history.UndoCount(), 2u);
  const std::string giant(ConfigHistory::kMaxBytes + 10, 'y');
  history.Record(WithDescription(giant), "Paste");
  EXPECT_EQ(history.UndoCount(), 1u);
  std::optional<BoardConfig> shown = history.Undo(BoardConfig{});
  EXPECT_EQ(shown->Pins[4].Description, giant);
}

}  // namespace
}  // namespace vela
