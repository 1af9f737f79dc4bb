// The step table of the device tab: the nine instruction steps of the current aspect, each
// with its instruction, fade, four parameters and step time, under headings that follow the
// instruction of the row shown last. The step dialog and the help tools open from its rows.
#pragma once

#include <QWidget>
#include <array>

#include "ui/window_context.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class EditStepDialog;
class EventMapToolDialog;
class LevelToolDialog;
class PatternToolDialog;
class TimeToolDialog;

class StepTable : public QWidget {
  Q_OBJECT

 public:
  StepTable(WindowContext& context, QWidget* parent = nullptr);

  // The width with every row shown, so the page need not jump when the aspect mode changes.
  int FullWidth() const { return full_width_; }

  // The commit rules of the rows shown, before the aspect or the pin changes.
  void CommitShownRows();

  // The help tools, created on first use (exposed so tests can drive them).
  TimeToolDialog& TimeTool();
  PatternToolDialog& PatternTool();
  EventMapToolDialog& EventMapTool();
  LevelToolDialog& LevelTool();

 private:
  // The controls of one step row.
  struct StepRow {
    ClickLabel* number = nullptr;
    QComboBox* instruction = nullptr;
    QCheckBox* fade = nullptr;
    CommitLineEdit* par0 = nullptr;
    CommitLineEdit* par1 = nullptr;
    CommitLineEdit* par2 = nullptr;
    CommitLineEdit* par3 = nullptr;
    ClickLabel* time = nullptr;
  };

  void BuildHeadings(QGridLayout* grid);
  void BuildRow(QGridLayout* grid, int r);
  void AddRowMenus(int r);

  BoardConfig& Config() { return context_.Config(); }
  StepRecord& StepAt(int row);
  bool AspectsShown();

  void ShowPin();
  // The rows the current pin's aspect mode shows, each from the model.
  void ShowAspectMode();
  void ShowHeadings();
  void ShowStepRow(int row);
  void ShowParameterTexts(int row);
  void SetParameterBox(CommitLineEdit* box, bool used);
  void NameParameterBoxes(int row, const InstructionRecord& record);

  void CommitPar0(int row);
  void CommitPar1(int row);
  void CommitPar2(int row);
  void CommitPar3(int row);
  void OnInstructionChosen(int row, int index);
  void OnParameterDoubleClicked(int row, int box);
  void OpenTimeTool(int row);
  void OpenPatternTool(int row, int bits);
  void OpenEventMapTool(int row);
  void OpenLevelTool(int row);
  void OpenStepDialog(int row);

  WindowContext& context_;
  QLabel* head_step_ = nullptr;
  QLabel* head_instruction_ = nullptr;
  QLabel* head_fade_ = nullptr;
  std::array<QLabel*, 4> head_par_{};
  std::array<StepRow, 9> rows_{};
  int full_width_ = 0;

  TimeToolDialog* time_tool_ = nullptr;
  PatternToolDialog* pattern_tool_ = nullptr;
  EventMapToolDialog* event_map_tool_ = nullptr;
  LevelToolDialog* level_tool_ = nullptr;
  EditStepDialog* step_dialog_ = nullptr;
};

}  // namespace vela::ui
