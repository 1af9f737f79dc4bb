#include "ui/board_buttons.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

#include "files/data_file.h"
#include "ui/editor_widgets.h"

namespace vela::ui {

BoardButtons::BoardButtons(WindowContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
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
  recent_button_->setToolTip("Files saved or loaded in this session");
  recent_button_->setPopupMode(QToolButton::InstantPopup);
  recent_menu_ = new QMenu(recent_button_);
  recent_button_->setMenu(recent_menu_);
  recent_button_->setVisible(false);
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
  if (context_.ConfirmReplace("loading " + name.toStdString())) LoadFile(path);
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
  recent_files_.erase(std::remove(recent_files_.begin(), recent_files_.end(), path),
                      recent_files_.end());
  recent_files_.insert(recent_files_.begin(), path);
  if (recent_files_.size() > 8) recent_files_.resize(8);
  recent_menu_->clear();
  for (const std::string& file : recent_files_) {
    QAction* action = recent_menu_->addAction(QString::fromStdString(file));
    ConnectInput(context_, action, &QAction::triggered, this,
                 [this, file] { OpenRecentFile(file); });
  }
  recent_button_->setVisible(true);
}

}  // namespace vela::ui
