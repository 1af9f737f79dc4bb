// The differences between the open configuration and the board or a data file, grouped by
// pin, with a filter, a way to keep them in a text file, and a double-click that shows the
// pin and aspect of a difference in the editor.
#pragma once

#include <QDialog>
#include <vector>

#include "dialogs/user_dialogs.h"
#include "model/config_compare.h"

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace vela::ui {

class CompareWindow : public QDialog {
  Q_OBJECT

 public:
  explicit CompareWindow(UserDialogs& dialogs, QWidget* parent = nullptr);

  // Shows the differences of the other configuration from the open one: its column is headed
  // other_heading ("Board", a file name), sentences call it other_name ("the board").
  void ShowDifferences(const std::vector<ConfigDifference>& differences,
                       const QString& other_heading, const QString& other_name);

  // Writes the lines shown before filtering to the file the user picks, one per line.
  void SaveDifferences();

  // The lines the filter leaves, in order (for tests and the clipboard).
  QStringList VisibleLines() const;

 signals:
  // A difference was double-clicked: pin 0..31, aspect 0..11 or -1.
  void pinChosen(int pin, int aspect);

 private:
  void ApplyFilter(const QString& text);
  void OnItemDoubleClicked(QTreeWidgetItem* item);

  UserDialogs& dialogs_;
  std::vector<ConfigDifference> differences_;
  QLabel* summary_ = nullptr;
  QWidget* filter_row_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTreeWidget* tree_ = nullptr;
};

}  // namespace vela::ui
