// The connection strip at the top of the window: the port list with its state, "Refresh" and
// the bit rate shown on demand; the module address and the extended address; "Bidirectional
// Comm.", "Use Corsan Tunneling", "Activate Transparent Mode"; the release label (expert mode,
// the communication log) and "Start numbering at 1". It shows the link after every job and
// changes it only through board jobs or while no job runs.
#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "ui/window_context.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class UpDown;

class ConnectionStrip : public QWidget {
  Q_OBJECT

 public:
  // `extra_ports` are listed before the platform's ports, which are listed when
  // `list_platform_ports` is set.
  ConnectionStrip(WindowContext& context, std::vector<std::string> extra_ports,
                  bool list_platform_ports, QWidget* parent = nullptr);

  // Opens `name` as if chosen in the list (the port given at start).
  void OpenPort(const std::string& name);
  // NumberBase as "Start numbering at 1" says, announced.
  void ApplyNumbering();
  // What is refused outside expert mode says how to turn it on: the release label's route.
  std::string ExpertModeHowTo() const;
  // What a right-click on the release label does: asks for expert mode.
  void AskExpertMode();
  // "Refresh": closes the port and lists the ports again.
  void OnRefreshPorts();

 signals:
  // A double-click on the release label.
  void communicationLogRequested();

 private:
  void BuildPortFields(QHBoxLayout* row);
  void BuildAddressFields(QHBoxLayout* row);
  void BuildLinkOptions(QHBoxLayout* row, QHBoxLayout* second);

  BoardLink& Link() { return context_.Link(); }
  int NumberBase() { return context_.Config().NumberBase; }

  void ListPorts();
  void ChoosePort(const std::string& name);
  std::string PortNameOf(int index) const;
  void OnBitRate(int index);
  void CommitModuleAddress();
  void CommitXAddress();
  void OnXAddressChecked(bool checked);
  void OnCorsanChecked(bool checked);
  void OnReleasePressed(Qt::MouseButton button);
  void ShowConnection();
  void ShowPortState();

  WindowContext& context_;
  std::vector<std::string> extra_ports_;
  bool list_platform_ports_ = true;

  ClickLabel* port_label_ = nullptr;
  QComboBox* port_list_ = nullptr;
  QLabel* port_state_ = nullptr;
  QGroupBox* bitrate_frame_ = nullptr;
  std::array<QRadioButton*, 3> bitrate_{};
  QLabel* address_label_ = nullptr;
  CommitLineEdit* address_box_ = nullptr;
  UpDown* address_spin_ = nullptr;
  QCheckBox* xaddress_check_ = nullptr;
  QLabel* xaddress_label_ = nullptr;
  CommitLineEdit* xaddress_box_ = nullptr;
  UpDown* xaddress_spin_ = nullptr;
  QCheckBox* bidirectional_ = nullptr;
  QCheckBox* corsan_ = nullptr;
  QPushButton* transparent_ = nullptr;
  QCheckBox* numbering_ = nullptr;
  ClickLabel* release_ = nullptr;
};

}  // namespace vela::ui
