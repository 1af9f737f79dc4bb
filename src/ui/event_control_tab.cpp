#include "ui/event_control_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/event_control_rules.h"
#include "operations/event_commands.h"
#include "ui/edit_controls.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

void SetText(QLineEdit* box, const QString& text) {
  if (box->text() == text) return;
  QSignalBlocker block(box);
  box->setText(text);
}

// The shared box-and-spin pair, kept at its own size so that the columns line up.
QWidget* FixedBoxWithSpin(QLineEdit* box, UpDown* spin, QWidget* parent) {
  QWidget* pair = BoxWithSpin(box, spin, parent);
  pair->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  return pair;
}

}  // namespace

EventControlTab::EventControlTab(WindowContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildPinFrame());
  layout->addWidget(BuildAllPinsFrame());
  layout->addStretch();

  ModelEvents& events = context_.Events();
  for (auto signal : {&ModelEvents::eventControlChanged, &ModelEvents::numberingChanged,
                      &ModelEvents::expertModeChanged}) {
    connect(&events, signal, this, &EventControlTab::Refresh);
  }
  Refresh();
}

// The selected pin with its Read and Write, its actions, "Copy to All" and the enable rows.
QGroupBox* EventControlTab::BuildPinFrame() {
  auto* pin_frame = new QGroupBox("Event Actions", this);
  pin_frame->setObjectName("FrameECpin");
  auto* grid = new QGridLayout(pin_frame);
  QLabel* pin_label = MakeLabel("LabelECpin", "Pin", pin_frame);
  grid->addWidget(pin_label, 0, 0);
  pin_ = MakeBox("TextECpin", "1", pin_frame, 3);
  pin_spin_ = MakeUpDown("UpDownECpin", pin_, 1, 32, pin_frame);
  grid->addWidget(FixedBoxWithSpin(pin_, pin_spin_, pin_frame), 0, 1);
  LabelFor(pin_label, pin_);
  QPushButton* read_single = MakeButton("CommandECReadSingle", "Read");
  QPushButton* write_single = MakeButton("CommandECWriteSingle", "Write");
  auto* single_row = new QHBoxLayout;
  single_row->addWidget(read_single);
  single_row->addWidget(write_single);
  single_row->addStretch();
  grid->addLayout(single_row, 0, 2, 1, 4);

  BuildActionGrid(grid, pin_frame);
  QPushButton* copy = MakeButton("CommandECcopy", "Copy to All");
  grid->addWidget(copy, 4, 1, 1, 2, Qt::AlignLeft);
  BuildEnableRows(grid, pin_frame);
  QPushButton* init_read = MakeButton("CommandECInitRead", "Read Enable Map");
  QPushButton* init_write = MakeButton("CommandECInitWrite", "Write Enable Map");
  auto* init_row = new QHBoxLayout;
  init_row->addWidget(init_read);
  init_row->addWidget(init_write);
  init_row->addStretch();
  grid->addLayout(init_row, 8, 0, 1, 6);
  grid->setColumnStretch(5, 1);

  // A single pin's Read and Write, and the enable map, are direct.
  ConnectBoardButton(read_single, ReadSinglePinEvents);
  ConnectBoardButton(write_single, WriteSinglePinEvents);
  ConnectBoardButton(init_read, ReadEnableMap);
  ConnectBoardButton(init_write, WriteEnableMap);
  ConnectInput(context_, copy, &QPushButton::clicked, this, &EventControlTab::CopyToAll);
  ConnectInput(context_, pin_, &CommitLineEdit::committed, this, &EventControlTab::CommitPin);
  ConnectInput(context_, pin_spin_, &UpDown::valueChanged, this, &EventControlTab::OnPinSpin);
  return pin_frame;
}

// The event-on and event-off rows of the four inputs, under their headings.
void EventControlTab::BuildActionGrid(QGridLayout* grid, QWidget* pin_frame) {
  grid->addWidget(MakeLabel("LabelECon", kEventRowCaptions[kEventOn], pin_frame), 2, 0);
  grid->addWidget(MakeLabel("LabelECoff", kEventRowCaptions[kEventOff], pin_frame), 3, 0);
  for (int input = 0; input < 4; ++input) {
    auto* header =
        MakeLabel(QString("LabelECinput_%1").arg(input), QString("Input %1").arg(input), pin_frame);
    grid->addWidget(header, 1, input + 1);
    for (int event = 0; event < 2; ++event) {
      const QString prefix = event == kEventOn ? "ECon" : "ECoff";
      CommitLineEdit* box =
          MakeBox(QString("Text%1_%2").arg(prefix).arg(input), "-1", pin_frame, 3);
      UpDown* spin = MakeUpDown(QString("UpDown%1_%2").arg(prefix).arg(input), box, kNoAction,
                                kMaxEditedAction, pin_frame);
      actions_[event][input] = box;
      action_spins_[event][input] = spin;
      grid->addWidget(FixedBoxWithSpin(box, spin, pin_frame), event + 2, input + 1);
      // The row caption ("ON:") and the column heading together say what the box is.
      const QString name = QString("Input %1 %2 action")
                               .arg(input)
                               .arg(QString(kEventRowCaptions[event]).remove(':'));
      box->setAccessibleName(name);
      box->setToolTip(name + ", -1 = none");
      ConnectInput(context_, box, &CommitLineEdit::committed, this,
                   [this, event, input] { CommitAction(event, input); });
      ConnectInput(context_, spin, &UpDown::valueChanged, this,
                   [this, event, input] { OnActionSpin(event, input); });
    }
  }
}

// The initial event enables, four boxes a row.
void EventControlTab::BuildEnableRows(QGridLayout* grid, QWidget* pin_frame) {
  for (int k = 0; k < 8; ++k) {
    const bool first = k % 4 == 0;
    auto* check = new QCheckBox(first ? kInitialEnableCaptions[k / 4] : QString(), pin_frame);
    check->setObjectName(QString("CheckInitEE_%1").arg(k));
    // Only the first box of a row has a caption; each says its row and its input.
    const QString name =
        QString("%1, Input %2").arg(QString(kInitialEnableCaptions[k / 4]).trimmed()).arg(k % 4);
    check->setAccessibleName(name);
    if (!first) check->setToolTip(name);
    const int row = k < 4 ? 6 : 7;
    const int input = k % 4;
    // Each box stands at the right edge of its input's column; the first of a row carries the
    // row's caption before it.
    if (first) {
      check->setLayoutDirection(Qt::RightToLeft);
      grid->addWidget(check, row, 0, 1, 2, Qt::AlignRight | Qt::AlignAbsolute);
    } else {
      grid->addWidget(check, row, input + 1, Qt::AlignRight);
    }
    init_enable_[k] = check;
    ConnectInput(context_, check, &QCheckBox::clicked, this,
                 [this, k](bool checked) { context_.Config().General.InitEE[k] = checked; });
  }
}

// The all-pins operations, queued like the other long operations.
QGroupBox* EventControlTab::BuildAllPinsFrame() {
  auto* all_frame = new QGroupBox("All Pins", this);
  all_frame->setObjectName("FrameECall");
  auto* all_row = new QHBoxLayout(all_frame);
  QPushButton* read_all = MakeButton("CommandECRead", "Read All Events");
  QPushButton* write_all = MakeButton("CommandECWrite", "Write All Events");
  verify_ = MakeButton("CommandECVerify", "Verify Event Control");
  all_row->addWidget(read_all);
  all_row->addWidget(write_all);
  all_row->addWidget(verify_);
  all_row->addStretch();
  const std::pair<QPushButton*, const char*> queued[] = {
      {read_all, "ECReadAll"}, {write_all, "ECWriteAll"}, {verify_, "ECVerify"}};
  for (auto [button, operation] : queued) {
    ConnectInput(context_, button, &QPushButton::clicked, this,
                 [this, operation] { context_.QueueOperation(operation); });
  }
  return all_frame;
}

QPushButton* EventControlTab::MakeButton(const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  return button;
}

void EventControlTab::ConnectBoardButton(QPushButton* button, bool (*routine)(Session&)) {
  connect(button, &QPushButton::clicked, this, [this, button, routine] {
    context_.RunOnBoard(button->text(), [routine](Session& session) { routine(session); });
  });
}

void EventControlTab::Refresh() {
  const BoardConfig& config = context_.Config();
  const int nb = config.NumberBase;
  pin_spin_->setRange(nb, nb + kPinCount - 1);
  SetText(pin_, QString::number(config.ECSelectedPin + nb));
  for (int event = 0; event < 2; ++event) {
    for (int input = 0; input < 4; ++input) {
      SetText(Action(event, input),
              QString::number(config.Events.At(config.ECSelectedPin, event, input)));
      ColourActionCell(event, input);
    }
  }
  for (int k = 0; k < 8; ++k) {
    QSignalBlocker block(init_enable_[k]);
    init_enable_[k]->setChecked(config.General.InitEE[k]);
  }
  verify_->setVisible(config.ExpertMode);
}

void EventControlTab::CommitPin() {
  BoardConfig& config = context_.Config();
  PinFieldEntry entry = CommitEventPinText(S(pin_->text()), config.NumberBase);
  SetText(pin_, QString::fromStdString(entry.text));
  config.ECSelectedPin = entry.pin;
  Refresh();
}

void EventControlTab::OnPinSpin() {
  BoardConfig& config = context_.Config();
  // The spinner's range keeps the number on the board.
  config.ECSelectedPin = RoundHalfEven(NumericValue(S(pin_->text())) - config.NumberBase);
  Refresh();
}

void EventControlTab::CommitAction(int event, int input) {
  BoardConfig& config = context_.Config();
  BoxEntry entry = CommitActionText(S(Action(event, input)->text()));
  SetText(Action(event, input), QString::fromStdString(entry.text));
  ColourActionCell(event, input);
  config.Events.At(config.ECSelectedPin, event, input) = static_cast<int16_t>(entry.value);
}

void EventControlTab::OnActionSpin(int event, int input) {
  BoardConfig& config = context_.Config();
  ColourActionCell(event, input);
  config.Events.At(config.ECSelectedPin, event, input) =
      static_cast<int16_t>(ActionValueOf(S(Action(event, input)->text())));
}

void EventControlTab::ColourActionCell(int event, int input) {
  CommitLineEdit* box = Action(event, input);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, ActionCellIsGrey(S(box->text()))
                                       ? QColor(QRgb(kNoActionColour))
                                       : QApplication::palette(box).color(QPalette::Base));
  box->setPalette(palette);
}

void EventControlTab::CopyToAll() {
  std::array<int, 4> on{};
  std::array<int, 4> off{};
  for (int input = 0; input < 4; ++input) {
    on[input] = ActionValueOf(S(Action(kEventOn, input)->text()));
    off[input] = ActionValueOf(S(Action(kEventOff, input)->text()));
  }
  CopyActionsToAll(context_.Config().Events, on, off);
}

}  // namespace vela::ui
