#include "platform/qt/qt_window_runtime.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QDropEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include "design/program_texts.h"
#include "platform/posix/posix_folder_lock.h"
#include "platform/qt/qt_form_builder.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

// While the program waits, the user's input is dropped, as a disabled window
// would drop it on Windows, and not replayed afterwards. The form's close
// box and Esc close nothing either: they are a press `stopPressed` hears.
class InputBlocker final : public QObject {
 public:
  explicit InputBlocker(QWidget* form = nullptr, std::function<void()> stopPressed = {})
      : form_(form), stopPressed_(std::move(stopPressed)) {
    qApp->installEventFilter(this);
  }
  ~InputBlocker() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) StopPressed();
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::InputMethod:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
        return true;
      case QEvent::Close:
        if (form_ && (watched == form_ || watched == form_->windowHandle())) StopPressed();
        event->ignore();
        return true;
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
        event->ignore();
        return true;
      default:
        return false;
    }
  }

 private:
  void StopPressed() {
    if (stopPressed_) stopPressed_();
  }

  QWidget* form_;
  std::function<void()> stopPressed_;
};

// Items dragged over any part of the window: the paths of their file URLs go
// to the program, which says whether it takes them. A drag without URLs (a
// text into a field) stays the widget's own.
class DropCatcher final : public QObject {
 public:
  DropCatcher(FormEvents*& events, QObject* parent) : QObject(parent), events_(events) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const bool entering = event->type() == QEvent::DragEnter;
    if (!entering && event->type() != QEvent::DragMove && event->type() != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);  // DragEnter and DragMove are drop events too
    if (!drop->mimeData() || !drop->mimeData()->hasUrls()) return false;
    if (entering) welcome_ = events_ && events_->CanDrop(PathsOf(*drop->mimeData()));
    if (!welcome_ || !(drop->possibleActions() & Qt::CopyAction)) {
      drop->ignore();
      return true;
    }
    drop->setDropAction(Qt::CopyAction);  // never a move: the items stay where they are
    drop->accept();
    if (event->type() == QEvent::Drop) events_->Drop(PathsOf(*drop->mimeData()));
    return true;
  }

 private:
  static std::vector<Text> PathsOf(const QMimeData& data) {
    std::vector<Text> paths;
    for (const QUrl& url : data.urls())
      if (url.isLocalFile()) paths.push_back(ToText(url.toLocalFile()));
    return paths;
  }

  FormEvents*& events_;
  bool welcome_ = false;
};

int ValueOf(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    case Qt::Unchecked:
      break;
  }
  return 0;
}

Qt::CheckState CheckStateOf(int value) {
  return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

QString ExecutableFolder() {
  const QFileInfo executable(QStringLiteral("/proc/self/exe"));
  return executable.exists() ? QFileInfo(executable.canonicalFilePath()).absolutePath()
                             : QCoreApplication::applicationDirPath();
}

}  // namespace

QtWindowRuntime::QtWindowRuntime(QtRuntimeSettings settings)
    : settings_(std::move(settings)), icon_(QStringLiteral(":/quernel/quernel.ico")) {}

QtWindowRuntime::~QtWindowRuntime() {
  if (busy_) QApplication::restoreOverrideCursor();
}

QWidget* QtWindowRuntime::Widget(ControlId control) const {
  QWidget* widget = controls_[static_cast<std::size_t>(control)];
  if (!widget) std::abort();  // the form was not created
  return widget;
}

template <class T>
T* QtWindowRuntime::As(ControlId control) const {
  return qobject_cast<T*>(Widget(control));
}

// --- The form -------------------------------------------------------------

Result<void> QtWindowRuntime::CreateForm(FormEvents& events) {
  events_ = &events;
  typedOver_.clear();
  BuiltForm built = BuildForm();
  form_ = std::move(built.window);
  controls_ = built.controls;
  closed_ = false;
  if (!icon_.isNull()) form_->setWindowIcon(icon_);
  ConnectUserEvents();
  form_->setAcceptDrops(true);
  auto* dropCatcher = new DropCatcher(events_, form_.get());
  form_->installEventFilter(dropCatcher);
  for (QWidget* widget : form_->findChildren<QWidget*>()) widget->installEventFilter(dropCatcher);
  QObject::connect(form_.get(), &FormWindow::closed, form_.get(), [this] { closed_ = true; });
  return {};
}

// The user's actions raise Click: a button's click (mouse, space, access key,
// Enter, Esc) and a pick from a list, even of the entry already shown.
void QtWindowRuntime::ConnectUserEvents() {
  for (const ControlDesign& design : ControlDesigns()) {
    const ControlId id = design.id;
    if (auto* button = As<QAbstractButton>(id)) {
      QObject::connect(button, &QAbstractButton::clicked, form_.get(), [this, id, button] {
        if (auto* box = qobject_cast<QCheckBox*>(button); box && box->checkState() != Qt::PartiallyChecked)
          box->setTristate(false);  // greyed only when the program says so
        RaiseClick(id);
      });
    } else if (auto* list = As<QComboBox>(id)) {
      QObject::connect(list, &QComboBox::activated, form_.get(), [this, id] {
        typedOver_.erase(id);
        RaiseClick(id);
      });
      // What the user types selects no entry, even when it spells one.
      if (QLineEdit* field = list->lineEdit())
        QObject::connect(field, &QLineEdit::textEdited, form_.get(), [this, id] { typedOver_.insert(id); });
    }
  }
}

void QtWindowRuntime::RaiseClick(ControlId control) {
  if (events_) events_->Click(control);
}

void QtWindowRuntime::ShowForm() {
  form_->show();
  form_->activateWindow();
  Widget(FocusOrder().front())->setFocus(Qt::ActiveWindowFocusReason);
}

void QtWindowRuntime::RunUntilClosed() {
  if (!closed_) {
    QEventLoop loop;
    QObject::connect(form_.get(), &FormWindow::closed, &loop, &QEventLoop::quit);
    loop.exec();
  }
  controls_ = {};
  form_.reset();
}

void QtWindowRuntime::CloseForm() {
  if (form_) form_->close();
}

// --- Controls ---------------------------------------------------------------

// The text of a field or a list (a pick-only list's chosen entry).
Text QtWindowRuntime::GetText(ControlId control) const {
  if (auto* field = As<QLineEdit>(control)) return ToText(field->text());
  if (auto* list = As<QComboBox>(control)) return ToText(list->currentText());
  return {};
}

// A pick-only list shows only its entries; a label keeps fitting its text.
void QtWindowRuntime::SetText(ControlId control, const Text& text) {
  const QString shown = ToQString(text);
  if (auto* field = As<QLineEdit>(control)) {
    field->setText(shown);
  } else if (auto* list = As<QComboBox>(control); list && list->isEditable()) {
    list->setEditText(shown);
  } else if (auto* label = As<QLabel>(control)) {
    label->setText(shown);
    label->adjustSize();
  }
}

int QtWindowRuntime::GetValue(ControlId control) const {
  if (auto* box = As<QCheckBox>(control)) return ValueOf(box->checkState());
  if (auto* option = As<QRadioButton>(control)) return option->isChecked() ? 1 : 0;
  return 0;
}

void QtWindowRuntime::SetValue(ControlId control, int value) {
  if (GetValue(control) == value) return;
  if (auto* box = As<QCheckBox>(control)) {
    const QSignalBlocker quiet(box);
    box->setTristate(value == 2);
    box->setCheckState(CheckStateOf(value));
  } else if (auto* option = As<QRadioButton>(control)) {
    const QSignalBlocker quiet(option);
    option->setAutoExclusive(value == 1);  // an exclusive group refuses to uncheck its choice
    option->setChecked(value == 1);
    option->setAutoExclusive(true);
  } else {
    return;
  }
  RaiseClick(control);
}

int QtWindowRuntime::GetListIndex(ControlId control) const {
  auto* list = As<QComboBox>(control);
  return list && !typedOver_.contains(control) ? list->currentIndex() : -1;
}

void QtWindowRuntime::SetListIndex(ControlId control, int index) {
  auto* list = As<QComboBox>(control);
  if (!list || GetListIndex(control) == index || index < -1 || index >= list->count()) return;
  typedOver_.erase(control);
  {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(index);
  }
  RaiseClick(control);
}

void QtWindowRuntime::AddItem(ControlId control, const Text& entry) {
  auto* list = As<QComboBox>(control);
  if (!list) return;
  const QSignalBlocker quiet(list);
  const QString editText = list->currentText();
  const int index = list->currentIndex();
  list->addItem(ToQString(entry));
  // The first entry of an empty box would become its choice: it stays none.
  list->setCurrentIndex(index);
  if (list->isEditable()) list->setEditText(editText);
}

bool QtWindowRuntime::IsEnabled(ControlId control) const {
  return !Widget(control)->testAttribute(Qt::WA_ForceDisabled);
}

void QtWindowRuntime::SetEnabled(ControlId control, bool enabled) {
  Widget(control)->setEnabled(enabled);
}

void QtWindowRuntime::SetFontSize(ControlId control, double points) {
  QWidget* widget = Widget(control);
  QFont font = widget->font();
  font.setPointSizeF(points);
  widget->setFont(font);
  if (auto* label = qobject_cast<QLabel*>(widget)) label->adjustSize();
}

// --- Folders -----------------------------------------------------------------

Text QtWindowRuntime::ProgramFolder() const {
  return settings_.programFolder.value_or(ToText(ExecutableFolder()));
}

Text QtWindowRuntime::UserWorkFolder() const {
  QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
  if (!QDir::isAbsolutePath(cache)) cache = QDir::homePath() + QStringLiteral("/.cache");
  return ToText(cache + QStringLiteral("/quernel"));
}

// The package manager's tree.
bool QtWindowRuntime::IsInstalled() const {
  const Text folder = ProgramFolder();
  return folder == "/usr" || folder.starts_with("/usr/");
}

// --- Pointer, messages, programs ------------------------------------------------

void QtWindowRuntime::SetMousePointer(MousePointer pointer) {
  const bool busy = pointer == MousePointer::Hourglass;
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

int QtWindowRuntime::RunMessageBox(const Text& prompt, QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, ToQString(Text(texts::kAppTitle)), ShownWithLineBreaks(prompt), buttons,
                  form_ && form_->isVisible() ? form_.get() : nullptr);
  box.setTextFormat(Qt::PlainText);
  if (buttons & QMessageBox::No) box.setDefaultButton(QMessageBox::No);
  return settings_.runDialog(box);
}

void QtWindowRuntime::ShowMessage(const Text& prompt, MessageStyle style) {
  RunMessageBox(prompt, style == MessageStyle::Error ? QMessageBox::Critical : QMessageBox::Information,
                QMessageBox::Ok);
}

bool QtWindowRuntime::Ask(const Text& prompt) {
  return RunMessageBox(prompt, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The lock is tried again every moment until the patience runs out.
std::unique_ptr<FolderLock> QtWindowRuntime::LockFolder(const Text& folder,
                                                        std::chrono::milliseconds patience) {
  constexpr std::chrono::milliseconds kRetry{50};
  std::unique_ptr<FolderLock> lock = posix::TryToLockFolder(folder);
  if (lock || patience <= std::chrono::milliseconds(0)) return lock;
  const QDeadlineTimer deadline(patience);
  QEventLoop loop;
  QTimer retry;
  QObject::connect(&retry, &QTimer::timeout, &loop, [&] {
    lock = posix::TryToLockFolder(folder);
    if (lock || deadline.hasExpired()) loop.quit();
  });
  retry.start(kRetry);
  const InputBlocker blocker;
  loop.exec();
  return lock;
}

Result<RunEnd> QtWindowRuntime::RunListing(const ListingRun& run, const std::function<bool()>& stopWanted) {
  return launcher_.RunListing(run,
                              [&](QProcess& interpreter) { return WaitForRun(interpreter, stopWanted); });
}

// The close-box rule, all of it: while a listing runs, the window's close box
// and Esc never close it. A press asks `stopWanted` once the press's event is
// over, the user's input passing again for the question (a modal box); a
// press made before the run's end was noticed is asked all the same. Yes
// stops the run: true.
bool QtWindowRuntime::WaitForRun(QProcess& interpreter, const std::function<bool()>& stopWanted) {
  for (bool first = true;; first = false) {
    bool pressed = false;
    {
      QEventLoop loop;
      QObject::connect(&interpreter, &QProcess::finished, &loop, &QEventLoop::quit);
      const InputBlocker blocker(form_.get(), [&] {
        pressed = true;
        loop.quit();
      });
      if (first && settings_.whileRunWaited && form_) settings_.whileRunWaited(*form_);
      if (!pressed && interpreter.state() != QProcess::NotRunning) loop.exec();
    }
    if (!pressed) return false;
    if (stopWanted()) return true;
  }
}

Result<void> QtWindowRuntime::OpenListing(const Text& listing) {
  return launcher_.Open(listing);
}

Result<void> QtWindowRuntime::OpenHelp(const Text& page) {
  return launcher_.Open(page);
}

Text QtWindowRuntime::ViewerName() const {
  return Text(texts::kTextEditorName);
}

}  // namespace quernel::qt
