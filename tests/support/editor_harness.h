// What the widget suites share: one editor of the window on a FakeWindowContext, and its
// controls found and worked by object name.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "gui/fake_window_context.h"
#include "ui/edit_controls.h"

namespace vela::testing {

template <typename Editor>
class EditorHarness {
 protected:
  std::unique_ptr<FakeWindowContext> context_;
  std::unique_ptr<Editor> editor_;

  // A fresh context and editor; the suite's init() shows it.
  void Open() {
    context_ = std::make_unique<FakeWindowContext>();
    editor_ = std::make_unique<Editor>(*context_);
  }
  // The editor goes before the context it refers to.
  void Close() {
    editor_.reset();
    context_.reset();
  }

  template <typename T>
  T* W(const QString& name) {
    return Find<T>(editor_.get(), name);
  }
  QLineEdit* Box(const QString& name) { return W<QLineEdit>(name); }
  QCheckBox* Check(const QString& name) { return W<QCheckBox>(name); }
  void Click(const QString& button) {
    QTest::mouseClick(W<QAbstractButton>(button), Qt::LeftButton);
  }
  // One click on a spinner's up (delta > 0) or down arrow.
  void Step(const QString& spin, int delta) {
    ui::UpDown* updown = W<ui::UpDown>(spin);
    QTest::mouseClick(updown->findChild<QWidget*>(delta > 0 ? "up" : "down"), Qt::LeftButton);
  }
};

}  // namespace vela::testing
