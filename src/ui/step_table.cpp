#include "ui/step_table.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "model/aspect_editor_rules.h"
#include "model/help_tool_rules.h"
#include "model/number_text.h"
#include "ui/clipboard_dialogs.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/help_tools.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

constexpr const char* kHelpToolTip = "Double-click for help-tool";
constexpr const char* kHelpToolEntry = "Help Tool...";
constexpr const char* kStepTimeToolEntry = "Step Time Help Tool...";
constexpr const char* kStepDialogEntry = "Edit Step (Insert/Delete/Copy/Paste)...";

}  // namespace

StepTable::StepTable(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(2);
  BuildHeadings(grid);
  for (int r = 0; r < 9; ++r) BuildRow(grid, r);
  grid->setColumnStretch(8, 1);
  full_width_ = sizeHint().width();

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::pinChanged, this, &StepTable::ShowPin);
  connect(&events, &ModelEvents::aspectModeChanged, this, &StepTable::ShowAspectMode);
  connect(&events, &ModelEvents::detailsShownChanged, this, &StepTable::ShowHeadings);
  connect(&events, &ModelEvents::expertModeChanged, this, &StepTable::ShowHeadings);
  ShowAspectMode();
}

void StepTable::BuildHeadings(QGridLayout* grid) {
  auto header = [&](const char* name, const char* caption, int column) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    grid->addWidget(label, 0, column);
    return label;
  };
  head_step_ = header("LabelPAspHStep", "#", 0);
  head_instruction_ = header("LabelPAspHInst", "Instruction", 1);
  head_fade_ = header("LabelPAspHFade", "Fade", 2);
  head_par_[0] = header("LabelPAspOffset", "Par 0", 3);
  head_par_[1] = header("LabelPAspHParam1", "Par 1", 4);
  head_par_[2] = header("LabelPASpHParam2", "Par 2", 5);
  head_par_[3] = header("LabelPAspHParam3", "Base", 6);
  // The captions change with the instruction; keep the columns from jumping.
  for (QLabel* label : head_par_)
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("Chance") + 6);
  head_fade_->setMinimumWidth(head_fade_->fontMetrics().horizontalAdvance("Fade") + 4);
}

void StepTable::BuildRow(QGridLayout* grid, int r) {
  const InstructionSet& set = context_.Instructions();
  StepRow& row = rows_[r];
  row.number = new ClickLabel(QString("LabelPAspStep_%1").arg(r), QString::number(r), this);
  row.number->setToolTip("Click to Insert/Delete step");
  row.number->setCursor(Qt::PointingHandCursor);
  row.number->setAlignment(Qt::AlignCenter);
  row.instruction = new QComboBox(this);
  row.instruction->setObjectName(QString("ComboPAspInst_%1").arg(r));
  for (int code : set.ListOrder()) row.instruction->addItem(Q(set[code].Name), code);
  row.instruction->setMaxVisibleItems(20);
  row.fade = new QCheckBox(this);
  row.fade->setObjectName(QString("CheckPAspFade_%1").arg(r));
  row.par0 = MakeBox(QString("TextPAspOffset_%1").arg(r), "00", this, 3);
  row.par1 = MakeBox(QString("TextPAspPar1_%1").arg(r), "000", this, 3);
  row.par2 = MakeBox(QString("TextPAspPar2_%1").arg(r), "00", this, 3);
  row.par3 = MakeBox(QString("TextPAspPar3_%1").arg(r), "0", this, 3);
  row.instruction->setAccessibleName(QString("Step %1 instruction").arg(r));
  row.fade->setAccessibleName(QString("Step %1 fade").arg(r));
  row.fade->setToolTip(row.fade->accessibleName());
  row.time = new ClickLabel(QString("LabelPAspTime_%1").arg(r), "00:00.00", this);
  row.time->setToolTip(kHelpToolTip);
  grid->addWidget(row.number, r + 1, 0);
  grid->addWidget(row.instruction, r + 1, 1);
  grid->addWidget(row.fade, r + 1, 2, Qt::AlignCenter);
  grid->addWidget(row.par0, r + 1, 3);
  grid->addWidget(row.par1, r + 1, 4);
  grid->addWidget(row.par2, r + 1, 5);
  grid->addWidget(row.par3, r + 1, 6);
  grid->addWidget(row.time, r + 1, 7);

  auto on_input = [this](auto* sender, auto signal, auto handler) {
    ConnectInput(context_, sender, signal, this, std::move(handler));
  };
  on_input(row.number, &ClickLabel::clicked, [this, r] { OpenStepDialog(r); });
  on_input(row.instruction, &QComboBox::activated,
           [this, r](int index) { OnInstructionChosen(r, index); });
  on_input(row.fade, &QCheckBox::clicked, [this, r](bool checked) {
    StepAt(r).Fade = checked ? 1 : 0;
    ShowStepRow(r);
  });
  on_input(row.par0, &CommitLineEdit::committed, [this, r] { CommitPar0(r); });
  on_input(row.par1, &CommitLineEdit::committed, [this, r] { CommitPar1(r); });
  on_input(row.par2, &CommitLineEdit::committed, [this, r] { CommitPar2(r); });
  on_input(row.par3, &CommitLineEdit::committed, [this, r] { CommitPar3(r); });
  on_input(row.par1, &CommitLineEdit::doubleClicked, [this, r] { OnParameterDoubleClicked(r, 1); });
  on_input(row.par2, &CommitLineEdit::doubleClicked, [this, r] { OnParameterDoubleClicked(r, 2); });
  on_input(row.par3, &CommitLineEdit::doubleClicked, [this, r] { OnParameterDoubleClicked(r, 3); });
  on_input(row.time, &ClickLabel::doubleClicked, [this, r] { OnParameterDoubleClicked(r, 4); });
  AddRowMenus(r);
}

// The keyboard routes to what the row's gestures open: each box's help tool (F4), the step
// time's tool and the step dialog, on the context menus of the boxes, which take the focus;
// the labels carry their own entry for the mouse.
void StepTable::AddRowMenus(int r) {
  StepRow& row = rows_[r];
  auto on_entry = [this](QAction* action, auto handler) {
    ConnectInput(context_, action, &QAction::triggered, this, std::move(handler));
  };
  const std::array<CommitLineEdit*, 4> boxes{row.par0, row.par1, row.par2, row.par3};
  for (int box = 1; box <= 3; ++box) {
    on_entry(AddMenuEntry(boxes[box], kHelpToolEntry, QKeySequence(Qt::Key_F4)),
             [this, r, box] { OnParameterDoubleClicked(r, box); });
  }
  on_entry(AddMenuEntry(row.time, kHelpToolEntry), [this, r] { OnParameterDoubleClicked(r, 4); });
  for (CommitLineEdit* box : boxes) {
    on_entry(AddMenuEntry(box, kStepTimeToolEntry), [this, r] { OnParameterDoubleClicked(r, 4); });
  }
  on_entry(AddMenuEntry(row.number, kStepDialogEntry), [this, r] { OpenStepDialog(r); });
  for (CommitLineEdit* box : boxes) {
    on_entry(AddMenuEntry(box, kStepDialogEntry), [this, r] { OpenStepDialog(r); });
  }
}

// ---- showing ----

StepRecord& StepTable::StepAt(int row) {
  return Config().Current().Aspects[Config().CurrentAspect].Steps[row];
}

bool StepTable::AspectsShown() {
  return ViewOfOption(OptionOfAspectMode(Config().Current().AspectMode)).aspect_controls;
}

void StepTable::ShowPin() {
  for (int r = 0; r < 9; ++r) ShowParameterTexts(r);
  ShowAspectMode();
}

void StepTable::ShowAspectMode() {
  const AspectModeView view = ViewOfOption(OptionOfAspectMode(Config().Current().AspectMode));
  ShowHeadings();
  for (int r = 0; r < 9; ++r) {
    const bool shown = r < view.rows;
    StepRow& row = rows_[r];
    for (QWidget* w :
         std::initializer_list<QWidget*>{row.number, row.instruction, row.fade, row.par0, row.par1,
                                         row.par2, row.par3, row.time}) {
      w->setVisible(shown);
    }
    ShowStepRow(r);
  }
}

void StepTable::ShowHeadings() {
  const bool shown = context_.DetailsShown() && AspectsShown();
  head_step_->setVisible(shown);
  head_instruction_->setVisible(shown);
}

void StepTable::ShowParameterTexts(int r) {
  const BoardConfig& config = Config();
  const InstructionSet& set = context_.Instructions();
  const StepRecord& step = StepAt(r);
  rows_[r].par0->setText(
      QString::number(set.ShownPar0(step, config.CurrentPin, config.NumberBase)));
  rows_[r].par1->setText(QString::number(set.ShownPar1(step, config.NumberBase)));
  rows_[r].par2->setText(QString::number(step.Par2));
  rows_[r].par3->setText(QString::number(step.Par3));
}

void StepTable::SetParameterBox(CommitLineEdit* box, bool used) {
  QPalette palette = box->palette();
  const QPalette& standard = QApplication::palette(box);
  palette.setColor(QPalette::Base,
                   used ? standard.color(QPalette::Base) : standard.color(QPalette::Button));
  box->setPalette(palette);
  // A box the instruction does not use holds 0; a used box keeps its text, so that a commit
  // of one box of the row leaves what is typed in the others.
  if (!used) box->setText("0");
}

void StepTable::ShowStepRow(int r) {
  const InstructionSet& set = context_.Instructions();
  StepRecord& step = StepAt(r);
  StepRow& row = rows_[r];
  int index = row.instruction->findData(static_cast<int>(step.Instruction));
  if (index < 0) {
    // An instruction the list does not offer becomes "-".
    index = 0;
    step.Instruction = static_cast<uint8_t>(row.instruction->itemData(0).toInt());
  }
  row.instruction->setCurrentIndex(index);
  set.NormaliseStep(step);
  const InstructionRecord& record = set[step.Instruction];
  SetParameterBox(row.par0, record.Par0Used);
  SetParameterBox(row.par1, record.Par1Used);
  SetParameterBox(row.par2, record.Par2Used);
  SetParameterBox(row.par3, record.Par3Used);
  if (record.FadeUsed) {
    row.fade->setVisible(!row.instruction->isHidden());
    head_fade_->setText("Fade");
  } else {
    row.fade->setVisible(false);
    head_fade_->setText("");
  }
  row.fade->setChecked(step.Fade != 0);
  head_par_[0]->setText(Q(record.Par0Caption));
  head_par_[1]->setText(Q(record.Par1Caption));
  head_par_[2]->setText(Q(record.Par2Caption));
  head_par_[3]->setText(Q(record.Par3Caption));
  NameParameterBoxes(r, record);
  row.time->setText(Q(InstructionSet::StepTimeText(step.Instruction, step.Par2, step.Par3)));
}

// The column captions are terse and follow each row's instruction, so every box carries its
// row, its parameter and the caption its own instruction gives it, spoken and as a tooltip.
void StepTable::NameParameterBoxes(int r, const InstructionRecord& record) {
  const std::pair<CommitLineEdit*, const std::string*> boxes[] = {
      {rows_[r].par0, &record.Par0Caption},
      {rows_[r].par1, &record.Par1Caption},
      {rows_[r].par2, &record.Par2Caption},
      {rows_[r].par3, &record.Par3Caption}};
  for (int k = 0; k < 4; ++k) {
    const QString caption = Q(*boxes[k].second).trimmed();
    QString name = QString("Step %1 parameter %2").arg(r).arg(k);
    if (!caption.isEmpty()) name += QString(" (%1)").arg(caption);
    CommitLineEdit* box = boxes[k].first;
    box->setAccessibleName(name);
    box->setToolTip(k == 0 ? name : name + "\n" + kHelpToolTip);
  }
}

// ---- commits ----

void StepTable::CommitPar0(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = context_.Instructions().CommitPar0(
      step.Instruction, S(rows_[r].par0->text()), Config().CurrentPin, Config().NumberBase);
  rows_[r].par0->setText(Q(entry.text));
  step.Par0 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void StepTable::CommitPar1(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = context_.Instructions().CommitPar1(
      step.Instruction, S(rows_[r].par1->text()), Config().NumberBase);
  rows_[r].par1->setText(Q(entry.text));
  step.Par1 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void StepTable::CommitPar2(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = InstructionSet::CommitPar2(step.Instruction, S(rows_[r].par2->text()));
  rows_[r].par2->setText(Q(entry.text));
  step.Par2 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void StepTable::CommitPar3(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = InstructionSet::CommitPar3(S(rows_[r].par3->text()));
  rows_[r].par3->setText(Q(entry.text));
  step.Par3 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void StepTable::CommitShownRows() {
  for (int r = 0; r < 9; ++r) {
    if (rows_[r].par0->isHidden()) continue;
    CommitPar0(r);
    CommitPar1(r);
    CommitPar2(r);
    CommitPar3(r);
  }
}

// ---- rows ----

void StepTable::OnInstructionChosen(int r, int index) {
  StepAt(r).Instruction = static_cast<uint8_t>(rows_[r].instruction->itemData(index).toInt());
  // The parameters mean something else now; show what the step holds.
  ShowParameterTexts(r);
  ShowStepRow(r);
}

void StepTable::OnParameterDoubleClicked(int r, int box) {
  const InstructionRecord& record = context_.Instructions()[StepAt(r).Instruction];
  const HelpBox which = box == 1   ? HelpBox::kPar1
                        : box == 2 ? HelpBox::kPar2
                        : box == 3 ? HelpBox::kPar3
                                   : HelpBox::kTime;
  switch (ToolForBox(record.HelpTool, which)) {
    case HelpToolKind::kTime:
      OpenTimeTool(r);
      return;
    case HelpToolKind::kPattern:
      OpenPatternTool(r, record.HelpTool);
      return;
    case HelpToolKind::kEventMap:
      OpenEventMapTool(r);
      return;
    case HelpToolKind::kLevel:
      OpenLevelTool(r);
      return;
    case HelpToolKind::kNone:
      break;
  }
  context_.Dialogs().Message(kHelpToolNotAvailable);
}

TimeToolDialog& StepTable::TimeTool() {
  if (!time_tool_) time_tool_ = new TimeToolDialog(this);
  return *time_tool_;
}

PatternToolDialog& StepTable::PatternTool() {
  if (!pattern_tool_) pattern_tool_ = new PatternToolDialog(this);
  return *pattern_tool_;
}

EventMapToolDialog& StepTable::EventMapTool() {
  if (!event_map_tool_) event_map_tool_ = new EventMapToolDialog(this);
  return *event_map_tool_;
}

LevelToolDialog& StepTable::LevelTool() {
  if (!level_tool_) level_tool_ = new LevelToolDialog(this);
  return *level_tool_;
}

void StepTable::OpenTimeTool(int r) {
  TimeToolDialog& tool = TimeTool();
  // Cancel has put back what the dialog opened with, so the row stays as it is.
  if (!tool.Open(rows_[r].par3->text(), RoundHalfEven(NumericValue(S(rows_[r].par2->text())))))
    return;
  // The result goes back through the boxes' own rules, which store it and show the row.
  rows_[r].par3->setText(tool.BaseText());
  rows_[r].par2->setText(QString::number(tool.TimeValue()));
  CommitPar2(r);
  CommitPar3(r);
}

void StepTable::OpenPatternTool(int r, int bits) {
  PatternToolDialog& tool = PatternTool();
  if (!tool.Open(rows_[r].par1->text(), bits)) return;
  rows_[r].par1->setText(tool.ParameterText());
  CommitPar1(r);
}

void StepTable::OpenEventMapTool(int r) {
  EventMapToolDialog& tool = EventMapTool();
  if (!tool.Open(rows_[r].par1->text())) return;
  rows_[r].par1->setText(tool.ParameterText());
  CommitPar1(r);
}

void StepTable::OpenLevelTool(int r) {
  LevelToolDialog& tool = LevelTool();
  if (!tool.Open(rows_[r].par1->text())) return;
  rows_[r].par1->setText(tool.ParameterText());
  CommitPar1(r);
}

void StepTable::OpenStepDialog(int r) {
  Config().SelectedStepRow = r;
  if (!step_dialog_) step_dialog_ = new EditStepDialog(Config(), this);
  step_dialog_->Open();
  context_.PinChanged();
}

}  // namespace vela::ui
