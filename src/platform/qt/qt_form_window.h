#pragma once

#include <QtWidgets/QDialog>

class QAbstractButton;

// The top-level window frmMain. A QDialog, for the native default-button
// handling of Enter, but shown as an ordinary window: Esc clicks the cancel
// button, and the close box closes the form without any Click.
namespace quernel::qt {

class FormWindow final : public QDialog {
  Q_OBJECT

 public:
  FormWindow();
  void SetCancelButton(QAbstractButton* button) { cancel_ = button; }

 signals:
  void closed();

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAbstractButton* cancel_ = nullptr;
};

}  // namespace quernel::qt
