// The connection strip at the top of the window: the port list with its state, "Refresh" and
// the bit rate shown on demand; the module address and the extended address; "Bidirectional
// Comm.", "Use Corsan Tunneling", "Activate Transparent Mode"; the release label (expert mode,
// the communication log) and "Start numbering at 1". It shows the link after every job and
// changes it only through board jobs or while no job runs.
#pragma once

#include <QComboBox>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "ui/window_context.h"

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class UpDown;

// The port list: lists the ports again each time it drops down.
class PortList : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;
  void showPopup() override;

 signals:
  void aboutToDropDown();
};

class ConnectionStrip : public QWidget {
  Q_OBJECT

 public:
  // `extra_ports` are listed before the ports `list_ports` reports (none when it is empty).
  ConnectionStrip(WindowContext& context, std::vector<std::string> extra_ports,
                  std::function<std::vector<PortInfo>()> list_ports, QWidget* parent = nullptr);

  // At start: the bit rate, and `name` opened as if chosen in the list (none when empty).
  void Start(const std::string& name, int bit_rate_index);
  // Whether the list holds the port `name` (by what it opens).
  bool Lists(const std::string& name) const;
  // Puts `name` in the port box without opening it: Return opens it.
  void Suggest(const std::string& name);
  // A bit rate chosen (an index into kLineSettings), as with the bit rate buttons.
  void ChooseBitRate(int index);
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

  // Lists the ports again, keeping the one chosen when it is still there.
  void ListPorts();
  // `bit_rate`: the line's bit rate set first; the one it has when none.
  void ChoosePort(const std::string& name, std::optional<int> bit_rate = {});
  std::string PortNameOf(int index) const;
  void CommitModuleAddress();
  void CommitXAddress();
  void OnXAddressChecked(bool checked);
  void OnCorsanChecked(bool checked);
  void OnReleasePressed(Qt::MouseButton button);
  void ShowConnection();
  void ShowPortState();

  WindowContext& context_;
  std::vector<std::string> extra_ports_;
  std::function<std::vector<PortInfo>()> list_ports_;

  ClickLabel* port_label_ = nullptr;
  PortList* port_list_ = nullptr;
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
