#include "ui/board_buttons.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "files/data_file.h"
#include "ui/editor_widgets.h"
#include "ui/window_settings.h"

namespace vela::ui {

BoardButtons::BoardButtons(WindowContext& context, WindowSettings& settings, QWidget* parent)
    : QWidget(parent), context_(context), settings_(settings) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  auto* read_all = MakeButton("CommandReadAll", "Read All", this);
  auto* write_all = MakeButton("CommandWriteAll", "Write All", this);
  auto* verify_all = MakeButton("CommandVerifyAll", "Verify All", this);
  auto* save = new PressButton("CommandSave", "Save File", this);
  save->setToolTip("Shift+Save File to save compact");
  auto* load = MakeButton("CommandLoad", "Load File", this);
  load->setToolTip("Read from file");
  recent_button_ = new QToolButton(this);
  recent_button_->setObjectName("CommandRecentFiles");
  recent_button_->setText("Recent");
  recent_button_->setToolTip("Files last saved or loaded");
  recent_button_->setPopupMode(QToolButton::InstantPopup);
  recent_menu_ = new QMenu(recent_button_);
  recent_menu_->setObjectName("MenuRecentFiles");
  recent_button_->setMenu(recent_menu_);
  row->addWidget(read_all);
  row->addWidget(write_all);
  row->addWidget(verify_all);
  row->addSpacing(12);
  row->addWidget(save);
  row->addWidget(load);
  row->addWidget(recent_button_);

  const std::pair<QPushButton*, const char*> queued[] = {
      {read_all, "ReadAll"}, {write_all, "WriteAll"}, {verify_all, "VerifyAll"}};
  for (auto [button, operation] : queued) {
    ConnectInput(context_, button, &QPushButton::clicked, this,
                 [this, operation] { context_.QueueOperation(operation); });
  }
  ConnectInput(context_, save, &PressButton::pressedWith, this, &BoardButtons::OnSaveFile);
  ConnectInput(context_, load, &QPushButton::clicked, this, &BoardButtons::ChooseAndLoadFile);
  ShowRecentFiles();
}

void BoardButtons::OnSaveFile(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  if (modifiers == Qt::ShiftModifier) {
    SaveFile(SaveKind::kCompact);
  } else if (modifiers == Qt::NoModifier) {
    SaveFile(SaveKind::kAs);
  }
}

bool BoardButtons::SaveFile(SaveKind kind) {
  // A shortcut leaves the focus in a box that is still being typed in.
  context_.CommitPendingEdits();
  UserDialogs& dialogs = context_.Dialogs();
  std::string path = kind == SaveKind::kCurrent ? current_file_ : std::string();
  if (path.empty()) path = dialogs.SaveFileName(kDataFileFilter, current_file_);
  if (path.empty()) return false;
  if (!SaveDataFile(context_.Config(), path, kind == SaveKind::kCompact, dialogs)) return false;
  RememberFile(path);
  emit saved();
  return true;
}

void BoardButtons::ChooseAndLoadFile() {
  if (!context_.ConfirmReplace("loading a file")) return;
  LoadFile(context_.Dialogs().OpenFileName(kDataFileFilter, ""));
}

void BoardButtons::OpenRecentFile(const std::string& path) {
  const QString name = QFileInfo(QString::fromStdString(path)).fileName();
  if (!context_.ConfirmReplace("loading " + name.toStdString())) return;
  LoadFile(path);
  // A file moved or deleted since: the load said so, and the list lets it go.
  if (!QFileInfo::exists(QString::fromStdString(path))) {
    settings_.RemoveRecentFile(path);
    ShowRecentFiles();
  }
}

void BoardButtons::LoadFile(const std::string& path) {
  if (path.empty()) return;
  if (LoadDataFile(context_.Config(), path, context_.Dialogs())) {
    context_.NameNextChange("Load File " + QFileInfo(QString::fromStdString(path)).fileName());
    RememberFile(path);
    emit loaded();
  }
  context_.ConfigReplaced();
}

void BoardButtons::RememberFile(const std::string& path) {
  current_file_ = path;
  settings_.AddRecentFile(path);
  ShowRecentFiles();
}

void BoardButtons::ShowRecentFiles() {
  recent_menu_->clear();
  for (const std::string& file : settings_.RecentFiles()) {
    QAction* action = recent_menu_->addAction(QString::fromStdString(file));
    ConnectInput(context_, action, &QAction::triggered, this,
                 [this, file] { OpenRecentFile(file); });
  }
  recent_button_->setVisible(!settings_.RecentFiles().empty());
  recent_menu_->menuAction()->setEnabled(!settings_.RecentFiles().empty());
}

}  // namespace vela::ui
