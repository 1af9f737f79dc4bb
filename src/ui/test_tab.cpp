#include "ui/test_tab.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace vela::ui {
namespace {

QString ForDisplay(std::string_view text) {
  QString shown = QString::fromStdString(std::string(text));
  shown.remove(QChar('\r'));
  return shown;
}

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TestTab::TestTab(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  auto* layout = new QGridLayout(this);
  layout->addWidget(BuildKoraFrame(), 0, 0);
  layout->addWidget(BuildSetAspectFrame(), 1, 0);
  layout->addWidget(BuildMatrixFrame(), 2, 0);
  layout->addWidget(BuildMonitorFrame(), 0, 1, 3, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  layout->setRowStretch(3, 1);

  timer2_ = new QTimer(this);
  timer2_->setObjectName("Timer2");
  timer2_->setInterval(100);
  connect(timer2_, &QTimer::timeout, this, &TestTab::OnTimer2);
  connect(&context_.Events(), &ModelEvents::configReplaced, this, &TestTab::Refresh);
}

QPushButton* TestTab::MakeButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QWidget* TestTab::BuildKoraFrame() {
  auto* frame = new QGroupBox("Kora Commands", this);
  frame->setObjectName("FrameKora");
  auto* grid = new QGridLayout(frame);

  const char* const resets[2] = {"Reset", "Reset 15"};
  for (int i = 0; i < 2; ++i) {
    QPushButton* button = MakeButton(QString("CommandReset_%1").arg(i), resets[i], frame);
    grid->addWidget(button, 0, i);
    connect(button, &QPushButton::clicked, this, [this, button, i] {
      context_.RunOnBoard(button->text(), [i](Session& session) { KoraReset(session, i); });
    });
  }
  const char* const clears[2] = {"Clear All", "Clear All 0"};
  for (int i = 0; i < 2; ++i) {
    QPushButton* button = MakeButton(QString("Command_Clr_%1").arg(i), clears[i], frame);
    grid->addWidget(button, 1, i);
    connect(button, &QPushButton::clicked, this, [this, button, i] {
      context_.RunOnBoard(button->text(), [i](Session& session) { KoraClearAll(session, i); });
    });
  }
  const char* const lamps[3] = {"Lamp Test", "Lamp Test 0", "Lamp Test 15"};
  for (int i = 0; i < 3; ++i) {
    QPushButton* button = MakeButton(QString("Command_LT_%1").arg(i), lamps[i], frame);
    grid->addWidget(button, 2, i);
    connect(button, &QPushButton::clicked, this, [this, button, i] {
      context_.RunOnBoard(button->text(), [i](Session& session) { KoraLampTest(session, i); });
    });
  }

  const char* const parameters[3] = {"Command", "Output", "Parameter"};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(MakeLabel(QString("LabelKoraParameter_%1").arg(i), parameters[i], frame), 3, i);
    kora_parameters_[i] = new QLineEdit("0", frame);
    kora_parameters_[i]->setObjectName(QString("TextKoraParameter_%1").arg(i));
    kora_parameters_[i]->setMaximumWidth(80);
    grid->addWidget(kora_parameters_[i], 4, i);
  }
  QPushButton* send = MakeButton("CommandSendKora", "KoraSend", frame);
  grid->addWidget(send, 4, 3);
  grid->setColumnStretch(4, 1);
  connect(send, &QPushButton::clicked, this, [this] {
    const std::string command = kora_parameters_[0]->text().toStdString();
    const std::string output = kora_parameters_[1]->text().toStdString();
    const std::string parameter = kora_parameters_[2]->text().toStdString();
    context_.RunOnBoard("KoraSend", [command, output, parameter](Session& session) {
      KoraSend(session, command, output, parameter);
    });
  });
  return frame;
}

QWidget* TestTab::BuildSetAspectFrame() {
  auto* frame = new QGroupBox("Vela Set Aspect", this);
  frame->setObjectName("FrameVelaSetAspect");
  auto* grid = new QGridLayout(frame);
  grid->addWidget(MakeLabel("LabelVelaSendAspectOutput", "Output", frame), 0, 0);
  aspect_output_ = new QLineEdit("0", frame);
  aspect_output_->setObjectName("TextVelaSendAspectOutput");
  aspect_output_->setMaximumWidth(80);
  grid->addWidget(aspect_output_, 0, 1);
  const char* const captions[7] = {"Vela SA0",    "Vela SA1",   "Vela SA2",  "Vela SA3",
                                   "Vela Toggle", "Vela 8xSA0", "Vela 8xSA1"};
  for (int i = 0; i < 7; ++i) {
    QPushButton* button = MakeButton(QString("CommandVelaSetAspect_%1").arg(i), captions[i], frame);
    grid->addWidget(button, 1 + i / 4, i % 4);
    connect(button, &QPushButton::clicked, this, [this, button, i] {
      const std::string output = aspect_output_->text().toStdString();
      context_.RunOnBoard(button->text(), [this, i, output](Session& session) {
        VelaSetAspect(session, state_, i, output);
      });
    });
  }
  grid->setColumnStretch(4, 1);
  return frame;
}

QWidget* TestTab::BuildMatrixFrame() {
  auto* frame = new QGroupBox("Matrix Signs", this);
  frame->setObjectName("FrameMatrix");
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(MakeLabel(
      "LabelMatrix_0", "Demonstration signs MB0 .. MB9 (output addresses 0 .. 9): drive", frame));
  auto* signs = new QHBoxLayout;
  for (int i = 0; i < 10; ++i) {
    signs_[i] = new QCheckBox(QString("MB%1").arg(i), frame);
    signs_[i]->setObjectName(QString("ChkMatrix_%1").arg(i));
    signs->addWidget(signs_[i]);
  }
  signs->addStretch();
  layout->addLayout(signs);
  layout->addWidget(MakeLabel(
      "LabelMatrix_1", "Matrix sign images MB-0 .. MB-31: show that image on the signs", frame));
  auto* grid = new QGridLayout;
  grid->setSpacing(3);
  for (int k = 0; k < 32; ++k) {
    QPushButton* button =
        MakeButton(QString("CmdSetMatrix_%1").arg(k), QString("MB-%1").arg(k), frame);
    grid->addWidget(button, k / 8, k % 8);
    connect(button, &QPushButton::clicked, this, [this, button, k] {
      std::array<bool, 10> checked{};
      for (int i = 0; i < 10; ++i) checked[i] = signs_[i]->isChecked();
      context_.RunOnBoard(button->text(),
                          [k, checked](Session& session) { MatrixSetAspect(session, k, checked); });
    });
  }
  layout->addLayout(grid);
  return frame;
}

QWidget* TestTab::BuildMonitorFrame() {
  auto* frame = new QGroupBox("Message Monitor", this);
  frame->setObjectName("FrameFBM");
  auto* layout = new QVBoxLayout(frame);
  monitor_text_ = new QPlainTextEdit(frame);
  monitor_text_->setObjectName("textFBM");
  monitor_text_->setReadOnly(true);
  monitor_text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  monitor_text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  monitor_text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(monitor_text_, 1);
  auto* buttons = new QHBoxLayout;
  const char* const captions[3] = {"Clear", "Monitor", "Stop"};
  std::array<QPushButton*, 3> fbm{};
  for (int i = 0; i < 3; ++i) {
    fbm[i] = MakeButton(QString("CommandFBM_%1").arg(i), captions[i], frame);
    buttons->addWidget(fbm[i]);
  }
  layout->addLayout(buttons);
  monitor_button_ = fbm[1];
  monitor_button_->installEventFilter(this);
  connect(fbm[0], &QPushButton::clicked, this, [this] {
    monitor_.Clear();
    ShowMonitorText();
  });
  connect(fbm[1], &QPushButton::clicked, this, &TestTab::OnMonitorClicked);
  // "Stop" only takes the focus from "Monitor", which ends monitoring.
  return frame;
}

void TestTab::Refresh() {
  ShowMonitorText();
}

void TestTab::OnMonitorClicked() {
  if (!monitor_.Start(context_.Link())) return;
  ShowMonitorText();
  timer2_->start();
}

void TestTab::StopMonitoring() {
  timer2_->stop();
  monitor_.Stop();
  ShowMonitorText();
}

void TestTab::OnTimer2() {
  // A poll still waiting for its reply would only queue up behind it; the next tick polls.
  if (context_.Busy()) return;
  context_.PollOnBoard([this](Session& session) { monitor_.Tick(session.link); },
                       [this] {
                         // The port went away during the poll: the monitor has stopped itself.
                         if (!monitor_.Running()) timer2_->stop();
                         ShowMonitorText();
                       });
}

void TestTab::ShowMonitorText() {
  const std::string text = monitor_.Text();
  if (text == shown_monitor_text_) return;
  const bool grown = text.size() > shown_monitor_text_.size() &&
                     text.compare(0, shown_monitor_text_.size(), shown_monitor_text_) == 0;
  if (grown) {
    QTextCursor end(monitor_text_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(ForDisplay(std::string_view(text).substr(shown_monitor_text_.size())));
  } else {
    monitor_text_->setPlainText(ForDisplay(text));
  }
  shown_monitor_text_ = text;
  // The newest line in view.
  monitor_text_->moveCursor(QTextCursor::End);
  monitor_text_->ensureCursorVisible();
}

bool TestTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == monitor_button_ && event->type() == QEvent::FocusOut) {
    auto* focus = static_cast<QFocusEvent*>(event);
    if (!monitor_button_->isEnabled()) {
      // The window blocks input while a poll runs, which takes the focus away; that is not
      // the user moving on, and the button gets the focus back when input returns.
      refocus_monitor_ = monitor_.Running();
    } else if (focus->reason() != Qt::ActiveWindowFocusReason &&
               focus->reason() != Qt::PopupFocusReason) {
      // Another window in front (a message box, the log window) is not the user moving on.
      StopMonitoring();
    }
  }
  if (watched == monitor_button_ && event->type() == QEvent::EnabledChange &&
      monitor_button_->isEnabled() && refocus_monitor_) {
    refocus_monitor_ = false;
    if (monitor_.Running()) monitor_button_->setFocus(Qt::OtherFocusReason);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vela::ui
