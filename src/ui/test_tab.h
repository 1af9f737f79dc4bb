// The "Test" tab: Kora-format commands, the set-aspect panel, the demonstration matrix signs
// and the message monitor. Every button sends through the worker; the monitor polls it from
// Timer2 while the "Monitor" button keeps the focus.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "link/message_monitor.h"
#include "operations/output_commands.h"
#include "ui/window_context.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vela::ui {

class TestTab : public QWidget {
  Q_OBJECT

 public:
  TestTab(WindowContext& context, QWidget* parent = nullptr);

  // The monitor text; nothing else here is taken from the model.
  void Refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildKoraFrame();
  QWidget* BuildSetAspectFrame();
  QWidget* BuildMatrixFrame();
  QWidget* BuildMonitorFrame();
  QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent);

  void OnMonitorClicked();
  void StopMonitoring();
  void OnTimer2();
  void ShowMonitorText();

  WindowContext& context_;
  TestPanelState state_;
  MessageMonitor monitor_;
  std::string shown_monitor_text_;

  std::array<QLineEdit*, 3> kora_parameters_{};
  QLineEdit* aspect_output_ = nullptr;
  std::array<QCheckBox*, 10> signs_{};
  QPlainTextEdit* monitor_text_ = nullptr;
  QPushButton* monitor_button_ = nullptr;
  QTimer* timer2_ = nullptr;
  bool refocus_monitor_ = false;
};

}  // namespace vela::ui
