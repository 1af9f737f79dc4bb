#include "ui/compare_window.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "files/file_io.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

constexpr int kIndexRole = Qt::UserRole;    // a difference: its index
constexpr int kPinRole = Qt::UserRole + 1;  // a group: its pin, -1 for the general settings

// "Pin 3" of "Pin 3, Aspect 1, ..."; the board-wide fields form one group.
QString GroupOf(const ConfigDifference& d) {
  if (d.pin < 0) return "General settings";
  const QString field = Q(d.field);
  const int comma = field.indexOf(", ");
  return comma < 0 ? field : field.left(comma);
}

}  // namespace

CompareWindow::CompareWindow(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
  setObjectName("frmVelaCompare");
  setWindowTitle("VelaConfig - Compare");
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName("LabelCompareSummary");
  summary_->setWordWrap(true);
  QFont bold = summary_->font();
  bold.setBold(true);
  summary_->setFont(bold);
  layout->addWidget(summary_);

  filter_row_ = new QWidget(this);
  auto* filter_row = new QHBoxLayout(filter_row_);
  filter_row->setContentsMargins(0, 0, 0, 0);
  auto* filter_label = new QLabel("Filter", filter_row_);
  filter_ = new QLineEdit(filter_row_);
  filter_->setObjectName("TextCompareFilter");
  filter_->setPlaceholderText("show only lines that contain this text");
  filter_->setClearButtonEnabled(true);
  filter_label->setBuddy(filter_);
  filter_row->addWidget(filter_label);
  filter_row->addWidget(filter_, 1);
  layout->addWidget(filter_row_);

  tree_ = new QTreeWidget(this);
  tree_->setObjectName("TreeCompare");
  tree_->setColumnCount(3);
  tree_->setRootIsDecorated(true);
  tree_->setAlternatingRowColors(true);
  tree_->setUniformRowHeights(true);
  tree_->setToolTip("Double-click to show the pin and aspect in the editor");
  layout->addWidget(tree_, 1);
  // Takes the room of the list when there is none, so the summary stays at the top.
  layout->addStretch(0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* save =
      buttons->addButton(QString::fromUtf8("Save\u2026"), QDialogButtonBox::ActionRole);
  save->setObjectName("cmdSaveCompare");
  save->setAutoDefault(false);
  layout->addWidget(buttons);
  resize(860, 520);

  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(save, &QPushButton::clicked, this, &CompareWindow::SaveDifferences);
  connect(filter_, &QLineEdit::textChanged, this, &CompareWindow::ApplyFilter);
  connect(tree_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OnItemDoubleClicked(item); });
}

void CompareWindow::ShowDifferences(const std::vector<ConfigDifference>& differences,
                                    const QString& other_heading, const QString& other_name) {
  differences_ = differences;
  tree_->clear();
  tree_->setHeaderLabels({"Difference", "Open configuration", other_heading});
  if (differences_.empty()) {
    summary_->setText("No difference between the open configuration and " + other_name + ".");
  } else {
    summary_->setText(Q(DifferenceCount(differences_.size())) +
                      " between the open configuration and " + other_name + ".");
  }
  tree_->setVisible(!differences_.empty());
  filter_row_->setVisible(!differences_.empty());

  QTreeWidgetItem* group = nullptr;
  for (size_t i = 0; i < differences_.size(); ++i) {
    const ConfigDifference& d = differences_[i];
    const QString name = GroupOf(d);
    if (!group || group->text(0) != name) {
      group = new QTreeWidgetItem(tree_, {name});
      group->setData(0, kPinRole, d.pin);
      QFont bold = group->font(0);
      bold.setBold(true);
      group->setFont(0, bold);
      group->setFirstColumnSpanned(true);
    }
    QString field = Q(d.field);
    if (d.pin >= 0 && field.startsWith(name + ", ")) field = field.mid(name.size() + 2);
    auto* item = new QTreeWidgetItem(group, {field, Q(d.a), Q(d.b)});
    item->setData(0, kIndexRole, static_cast<int>(i));
    item->setToolTip(0, Q(d.Line()));
  }
  tree_->expandAll();
  tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  tree_->resizeColumnToContents(1);
  ApplyFilter(filter_->text());
}

void CompareWindow::ApplyFilter(const QString& text) {
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree_->topLevelItem(g);
    bool any = false;
    for (int c = 0; c < group->childCount(); ++c) {
      QTreeWidgetItem* item = group->child(c);
      const auto& d = differences_[item->data(0, kIndexRole).toInt()];
      const bool shown = text.isEmpty() || Q(d.Line()).contains(text, Qt::CaseInsensitive);
      item->setHidden(!shown);
      any = any || shown;
    }
    group->setHidden(!any);
  }
}

QStringList CompareWindow::VisibleLines() const {
  QStringList lines;
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    const QTreeWidgetItem* group = tree_->topLevelItem(g);
    for (int c = 0; c < group->childCount(); ++c) {
      const QTreeWidgetItem* item = group->child(c);
      if (!item->isHidden()) lines << Q(differences_[item->data(0, kIndexRole).toInt()].Line());
    }
  }
  return lines;
}

void CompareWindow::SaveDifferences() {
  const std::string path = dialogs_.SaveFileName("Text|*.txt", "VelaCompare.txt");
  if (path.empty()) return;
  std::string text;
  for (const ConfigDifference& d : differences_) text += d.Line() + "\r\n";
  if (differences_.empty()) text = DifferenceCount(0) + "\r\n";
  std::string error;
  if (!SaveFileSafely(path, text, error)) {
    dialogs_.Message("The differences could not be saved to " + path + ": " + error,
                     MessageIcon::kError);
  }
}

void CompareWindow::OnItemDoubleClicked(QTreeWidgetItem* item) {
  if (!item) return;
  if (item->parent() == nullptr) {
    const int pin = item->data(0, kPinRole).toInt();
    if (pin >= 0) emit pinChosen(pin, -1);
    return;
  }
  const ConfigDifference& d = differences_[item->data(0, kIndexRole).toInt()];
  if (d.pin >= 0) emit pinChosen(d.pin, d.aspect);
}

}  // namespace vela::ui
